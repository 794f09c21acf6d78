#pragma once
// The whole game as its start-up builds it, in a real (Xvfb) window, for
// tests that drive frames by hand. Random draws come from a script.

#include "app/frame.hpp"
#include "app/game.hpp"

#include <deque>

// The draws the game will make next, in order; an empty script draws 1 (odd).
// A base of the fixture, so that the script exists before the start-up draws.
struct DrawScript {
    std::deque<int> draws;
    int next();
};

struct GameFixture : DrawScript, Game {
    // The start-up's draws leave every direction at its start value: the
    // obstacles (odd draws) and the ball (an even one) keep moving right.
    explicit GameFixture(std::deque<int> startDraws = {1, 1, 1, 1, 0});

    // One frame after its events: popup, restart, playing update.
    void frame(float dt, HeldKeys keys = {}) { advanceFrame(*this, dt, keys); }
    void press(sf::Keyboard::Key key) { handleKeyPress(*this, key); }
    // Opens the playing screen from the menu, as PLAY does.
    void play();
};
