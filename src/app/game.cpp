#include "app/game.hpp"

#include "app/data_file.hpp"
#include "art/game_icon.hpp"
#include "game/field.hpp"
#include "platform.hpp"
#include "sfml_compat.hpp"

#include <cstdlib>
#include <ctime>
#include <iostream>
#include <utility>

namespace {

void openGameWindow(sf::RenderWindow& window) {
    // The library is trusted to open it.
    compat::openWindow(window, static_cast<unsigned>(fieldWidth),
                       static_cast<unsigned>(fieldHeight), "PLUMWICK");
}

// The heart in the title bar and the task switcher, as on the desktop: on
// Windows the .exe's own icons, elsewhere the same picture painted here.
void showGameIcon(sf::RenderWindow& window) {
    if (platform::showExeIcon(compat::nativeHandle(window))) return;
    compat::setIcon(window, paintGameIcon(windowIconSize));
}

RandomDraw seededUnlessGiven(RandomDraw draw) {
    if (draw) return draw;
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    return [] { return std::rand(); };
}

bool openFontOrSay(sf::Font& font) {
    const char* file = "pixel_font.ttf";
    if (isRegularFile(file) && compat::openFont(font, file)) return true;
    std::cout << "ERRORE: Font non trovato!" << std::endl;
    return false;
}

}  // namespace

Game::Game(RandomDraw draw) : texts(blankTexts(font)) {
    std::cout << "PROGRAMMA AVVIATO!" << std::endl;
    openGameWindow(window);  // shown from now on, before anything is loaded
    showGameIcon(window);
    openSoundtrack(music);
    buildFieldArt(art);
    // The clocks count from here, as if made now.
    frameClock.restart();
    state.playClock.restart();
    randomDraw = seededUnlessGiven(std::move(draw));
    drawStartDirections(state, randomDraw);
    fontOpened = openFontOrSay(font);
    if (!fontOpened) return;  // no music started; main ends the game
    playTrack(music, Track::Menu);
    buildTexts(texts, font);
    buildLifeHearts(hearts);
    // Focus events keep it up to date from here.
    shell.windowFocused = window.hasFocus();
}
