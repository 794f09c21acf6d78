#include "app/game.hpp"

#include "app/data_file.hpp"
#include "game/field.hpp"
#include "sfml_compat.hpp"

#include <cstdlib>
#include <ctime>
#include <iostream>

namespace {

bool writeLine(const char* line) {
    std::cout << line << std::endl;
    return true;
}

bool openGameWindow(sf::RenderWindow& window) {
    compat::openWindow(window, static_cast<unsigned>(fieldWidth),
                       static_cast<unsigned>(fieldHeight), "PLUMWICK");
    return true;  // the library is trusted to open it
}

RandomDraw seededUnlessGiven(RandomDraw draw) {
    if (draw) return draw;
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    return [] { return std::rand(); };
}

bool openFontOrSay(sf::Font& font) {
    const char* file = "pixel_font.ttf";
    if (isRegularFile(file) && compat::openFont(font, file)) return true;
    writeLine("ERRORE: Font non trovato!");
    return false;
}

// The menu music starts only on the way to the frame loop.
bool startMenuMusic(Soundtrack& music, bool fontOpened) {
    if (fontOpened) playTrack(music, Track::Menu);
    return fontOpened;
}

}  // namespace

Game::Game(RandomDraw draw)
    : startLineWritten(writeLine("PROGRAMMA AVVIATO!")),
      windowOpened(openGameWindow(window)),
      soundtrackOpened((openSoundtrack(music), true)),
      randomDraw(seededUnlessGiven(std::move(draw))),
      startDirectionsDrawn((drawStartDirections(state, randomDraw), true)),
      fontOpened(openFontOrSay(font)),
      menuMusicStarted(startMenuMusic(music, fontOpened)),
      texts(font, fontOpened) {
    // Focus events keep it up to date from here.
    shell.windowFocused = window.hasFocus();
}
