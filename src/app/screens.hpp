#pragma once
// The three screens and the key presses that move between them.

#include <SFML/Window/Keyboard.hpp>

struct Game;

enum class Screen { Menu = 0, Instructions = 1, Playing = 2 };

// The menu items, top to bottom.
constexpr int playItem = 0;
constexpr int howToPlayItem = 1;
constexpr int volumeItem = 2;
constexpr int exitItem = 3;

struct ShellState {
    Screen currentScreen = Screen::Menu;
    int menuSelection = playItem;
    bool volumeOn = true;
    // Followed from the window's focus events, so that no frame has to ask
    // the X server; held keys count only while the window has the focus.
    bool windowFocused = false;
};

// Handles every pending window event in order, each against the screen the
// events before it left. A close request closes the window; the frame still
// runs to its end. Focus changes are noted; every other event is ignored.
void handleEvents(Game& game);

// One key press on the current screen; keys a screen does not use do nothing.
void handleKeyPress(Game& game, sf::Keyboard::Key key);
