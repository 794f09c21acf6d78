// PLUMWICK: keep the ball in play for 60 seconds.
//
// Start-up creates every object once, in this order, as locals of main, so
// that they are destroyed in the reverse order whichever way main returns.

#include "app/frame.hpp"
#include "app/scene.hpp"
#include "game/field.hpp"
#include "sfml_compat.hpp"

#include <cstdlib>
#include <ctime>
#include <iostream>

int main() {
    std::cout << "PROGRAMMA AVVIATO!" << std::endl;

    sf::RenderWindow window;
    compat::openWindow(window, static_cast<unsigned>(fieldWidth),
                       static_cast<unsigned>(fieldHeight), "PLUMWICK");
    Soundtrack music;
    openSoundtrack(music);
    FieldArt art;

    PlayState state;
    sf::Clock frameClock;
    state.playClock.restart();
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    const RandomDraw draw = [] { return std::rand(); };
    drawStartDirections(state, draw);

    sf::Font font;
    if (!compat::openFont(font, "pixel_font.ttf")) {
        std::cout << "ERRORE: Font non trovato!" << std::endl;
        return 1;
    }
    ShellState shell;                         // on the menu
    shell.windowFocused = window.hasFocus();  // focus events keep it up to date
    playTrack(music, Track::Menu);
    Texts texts(font);
    LifeHearts hearts;

    Scene scene{window, music, art, frameClock, state, shell, texts, hearts, draw};
    while (window.isOpen()) runFrame(scene);
    return 0;
}
