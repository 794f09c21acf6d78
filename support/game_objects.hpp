#pragma once
// The whole game as its start-up builds it, owned by one object, for tests
// and benchmarks that drive its frames by hand. The game itself keeps these
// as locals of main, so that an early return destroys what exists.

#include "app/frame.hpp"
#include "app/scene.hpp"

#include <SFML/Graphics.hpp>

struct GameObjects {
    // Opens the window, the music and the font (by bare name: run in
    // assets/) and starts the menu music, as the game's start-up does.
    explicit GameObjects(RandomDraw draw);
    GameObjects(const GameObjects&) = delete;
    GameObjects& operator=(const GameObjects&) = delete;

    bool fontOpened = false;
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
