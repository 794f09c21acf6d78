#pragma once
// Walls and obstacles make the ball faster until it is measured at 500 px/s.

#include <SFML/System/Vector2.hpp>

constexpr float speedUpFactor = 1.05f;
constexpr float speedUpLimit = 500.f;

// The ball speed measured by the latest speed-up, for the whole program run.
// Nothing resets it, not even a new game.
extern float currentSpeed;

// Measures the ball's speed into currentSpeed and, below the limit, scales
// the velocity by speedUpFactor. No clamp afterwards: 499 leaves at ~524.
void speedUp(sf::Vector2f& ballVelocity);
