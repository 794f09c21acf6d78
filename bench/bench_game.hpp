#pragma once
// The game's objects, made as its start-up makes them, in one window of this
// process, for benchmarks that drive its frames one by one.

#include "app/frame.hpp"
#include "app/scene.hpp"

#include <SFML/Graphics.hpp>

struct BenchGame {
    // Opens the font and the music by bare name: the working directory must
    // be assets/. The random draws are the C library's, as in the game.
    BenchGame();
    BenchGame(const BenchGame&) = delete;
    BenchGame& operator=(const BenchGame&) = delete;

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
};
