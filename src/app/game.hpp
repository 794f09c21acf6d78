#pragma once
// The whole game: every object the start-up makes is a member, declared in
// the order in which the start-up fills it, so that the objects go in the
// reverse order. Each is made empty (a closed window, silent tracks, blank
// pictures and texts); the constructor is the start-up, step by step.

#include "app/screens.hpp"
#include "app/soundtrack.hpp"
#include "art/field_art.hpp"
#include "art/life_hearts.hpp"
#include "game/play_state.hpp"
#include "ui/texts.hpp"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/System/Clock.hpp>

struct Game {
    // Runs the start-up. Without a draw given, the C library's generator is
    // seeded with the time and drawn from; tests and benchmarks give their own.
    explicit Game(RandomDraw draw = {});
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // False when the font could not be opened: the console has said so, no
    // music was started, and the game ends with status 1 without a frame.
    bool started() const { return fontOpened; }

    sf::RenderWindow window;
    Soundtrack music;
    FieldArt art;
    sf::Clock frameClock;
    PlayState state;  // its playClock restarts after frameClock
    RandomDraw randomDraw;
    sf::Font font;
    bool fontOpened = false;
    ShellState shell;
    Texts texts;
    LifeHearts hearts;
};
