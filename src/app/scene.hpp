#pragma once
// Everything the start-up creates, by reference, for the frame loop. The
// objects themselves are owned by main, in their order of creation.

#include "game/play_state.hpp"
#include "app/screens.hpp"
#include "app/soundtrack.hpp"
#include "art/field_art.hpp"
#include "art/life_hearts.hpp"
#include "ui/texts.hpp"

#include <SFML/Graphics/RenderWindow.hpp>

struct Scene {
    sf::RenderWindow& window;
    Soundtrack& music;
    FieldArt& art;
    sf::Clock& frameClock;
    PlayState& state;
    ShellState& shell;
    Texts& texts;
    LifeHearts& hearts;
    RandomDraw draw;
};
