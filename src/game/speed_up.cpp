#include "game/speed_up.hpp"

#include <cmath>

float currentSpeed = 0.f;

void speedUp(sf::Vector2f& ballVelocity) {
    currentSpeed = std::sqrt(ballVelocity.x * ballVelocity.x + ballVelocity.y * ballVelocity.y);
    if (currentSpeed < speedUpLimit) ballVelocity *= speedUpFactor;
}
