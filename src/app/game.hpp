#pragma once
// The whole game: every object the start-up creates is a member, declared in
// the order of creation, so that the objects go in the reverse order. The
// flags between them are the start-up's steps that act on what is already
// there.

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

    bool startLineWritten;
    sf::RenderWindow window;
    bool windowOpened;
    Soundtrack music;
    bool soundtrackOpened;
    FieldArt art;
    sf::Clock frameClock;
    PlayState state;  // its playClock starts after frameClock
    RandomDraw randomDraw;
    bool startDirectionsDrawn;
    sf::Font font;
    bool fontOpened;
    ShellState shell;
    bool menuMusicStarted;
    Texts texts;
    LifeHearts hearts;
};
