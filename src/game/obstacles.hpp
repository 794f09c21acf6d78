#pragma once
// Four obstacles glide across the field and bounce off the side walls; the
// ball scores on the first frame of each contact and is thrown back.

#include "art/field_art.hpp"
#include "game/play_state.hpp"

#include <SFML/Graphics/Text.hpp>

struct ObstacleRule {
    bool pixelContact;       // by opaque pixels, else by bounds alone
    bool secondSpeedUpGate;  // speeds the ball up once more on contact
};

// By ObstacleIndex.
constexpr std::array<ObstacleRule, obstacleCount> obstacleRules{{
    {false, false},
    {true, false},
    {true, true},
    {true, true},
}};

constexpr int pointsPerHit = 100;

// Moves each obstacle, then sets it against a wall it reached, moving away.
void obstacleMotionStep(PlayState& state, FieldArt& art, float dt);

// Tests the ball against each obstacle in turn and responds to each contact.
void obstacleHitStep(PlayState& state, FieldArt& art, sf::Text& popupText);

// Scores a first contact, pushes the ball out along the axis of least
// overlap and speeds it up.
void obstacleHitResponse(PlayState& state, FieldArt& art, std::size_t index, sf::Text& popupText);
