#pragma once
// The whole game as start-up builds it, in a real (Xvfb) window, for tests
// that drive frames by hand. Random draws come from a script.

#include "game_objects.hpp"

#include <deque>

struct GameFixture : GameObjects {
    GameFixture();

    // The draws the game will make next, in order; an empty script draws 1 (odd).
    std::deque<int> draws;

    // One frame after its events: popup, restart, playing update.
    void frame(float dt, HeldKeys keys = {}) { advanceFrame(scene, dt, keys); }
    void press(sf::Keyboard::Key key) { handleKeyPress(scene, key); }
    // Opens the playing screen from the menu, as PLAY does.
    void play();
};
