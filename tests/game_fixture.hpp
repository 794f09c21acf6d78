#pragma once
// The whole game as start-up builds it, in a real (Xvfb) window, for tests
// that drive frames by hand. Random draws come from a script.

#include "app/frame.hpp"
#include "app/scene.hpp"

#include <SFML/Graphics.hpp>

#include <deque>

struct GameFixture {
    GameFixture();

    // The draws the game will make next, in order; an empty script draws 1 (odd).
    std::deque<int> draws;

    sf::RenderWindow window;
    Soundtrack music;
    FieldArt art;
    PlayState state;
    sf::Clock frameClock;
    sf::Font font;
    ShellState shell;
    Texts texts;
    LifeHearts hearts;
    Scene scene;

    // One frame after its events: popup, restart, playing update.
    void frame(float dt, HeldKeys keys = {}) { advanceFrame(scene, dt, keys); }
    void press(sf::Keyboard::Key key) { handleKeyPress(scene, key); }
    // Opens the playing screen from the menu, as PLAY does.
    void play();
};
