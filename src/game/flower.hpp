#pragma once
// Every 15 s of play the flower blooms over the whole field for 3 s and
// hides the ball.

#include "game/play_state.hpp"

#include <SFML/Graphics/Sprite.hpp>

constexpr float flowerShownScale = 40.f;  // 960 px across: more than the field
constexpr float flowerInterval = 15.f;    // from the start of one showing to the next
constexpr float flowerShowTime = 3.f;

// Counts playing time; a frame long enough both begins and ends a showing.
void flowerStep(PlayState& state, sf::Sprite& flower, float dt);
