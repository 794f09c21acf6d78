#include "game/obstacles.hpp"

#include "game/field.hpp"
#include "game/pixel_collision.hpp"
#include "game/speed_up.hpp"
#include "sfml_compat.hpp"

#include <algorithm>
#include <cmath>

namespace {

bool touches(FieldArt& art, std::size_t index) {
    const Picture& obstacle = *art.obstacles()[index];
    if (obstacleRules[index].pixelContact)
        return pixelPerfectCollision(art.ball.sprite, art.ball.image, obstacle.sprite,
                                     obstacle.image);
    return compat::findIntersection(art.ball.sprite.getGlobalBounds(),
                                    obstacle.sprite.getGlobalBounds())
        .has_value();
}

void scoreFirstContact(PlayState& state, FieldArt& art, std::size_t index, sf::Text& popupText) {
    if (state.hitLatch[index]) return;
    state.score += pointsPerHit;
    state.hitLatch[index] = true;
    startScorePopup(state.scorePopup, popupText, art.ball.sprite.getPosition());
}

// Out of the obstacle's bounding rectangle along the axis of least overlap;
// a tie goes vertical, and equal overlaps send the ball right or down.
void pushOut(sf::Sprite& ball, const sf::Sprite& obstacle, sf::Vector2f& velocity) {
    const sf::FloatRect o = obstacle.getGlobalBounds();
    const float oL = obstacle.getPosition().x;
    const float oR = compat::width(o) + oL;
    const float oT = obstacle.getPosition().y;
    const float oB = compat::height(o) + oT;
    const sf::FloatRect b = ball.getGlobalBounds();
    const float bL = ball.getPosition().x;
    const float bT = ball.getPosition().y;
    const float bW = compat::width(b);
    const float bH = compat::height(b);
    const float overlapLeft = bL + bW - oL;
    const float overlapRight = oR - bL;
    const float overlapTop = bT + bH - oT;
    const float overlapBottom = oB - bT;
    const float minX = std::min(overlapLeft, overlapRight);
    const float minY = std::min(overlapTop, overlapBottom);
    if (minY > minX) {
        const bool toLeft = overlapRight > overlapLeft;
        ball.setPosition({toLeft ? oL - bW : oR, bT});
        velocity.x = toLeft ? -std::abs(velocity.x) : std::abs(velocity.x);
    } else {
        const bool above = overlapBottom > overlapTop;
        ball.setPosition({bL, above ? oT - bH : oB});
        velocity.y = above ? -std::abs(velocity.y) : std::abs(velocity.y);
    }
}

}  // namespace

void obstacleMotionStep(PlayState& state, FieldArt& art, float dt) {
    const auto obstacles = art.obstacles();
    for (std::size_t i = 0; i < obstacleCount; ++i)
        obstacles[i]->sprite.move({state.obstacleVelocity[i] * dt, 0.f});
    for (std::size_t i = 0; i < obstacleCount; ++i) {
        sf::Sprite& sprite = obstacles[i]->sprite;
        const float x = sprite.getPosition().x;
        const float y = sprite.getPosition().y;
        const float w = compat::width(sprite.getGlobalBounds());
        float& velocity = state.obstacleVelocity[i];
        if (x <= 0.f) {
            sprite.setPosition({0.f, y});
            velocity = std::abs(velocity);
        } else if (x + w >= fieldWidth) {
            sprite.setPosition({fieldWidth - w, y});
            velocity = -std::abs(velocity);
        }
    }
}

void obstacleHitResponse(PlayState& state, FieldArt& art, std::size_t index, sf::Text& popupText) {
    scoreFirstContact(state, art, index, popupText);
    pushOut(art.ball.sprite, art.obstacles()[index]->sprite, state.ballVelocity);
    speedUp(state.ballVelocity);
    // Gated on the speed measured before the first multiplication.
    if (obstacleRules[index].secondSpeedUpGate && currentSpeed < speedUpLimit)
        state.ballVelocity *= speedUpFactor;
}

void obstacleHitStep(PlayState& state, FieldArt& art, sf::Text& popupText) {
    for (std::size_t i = 0; i < obstacleCount; ++i) {
        if (touches(art, i))
            obstacleHitResponse(state, art, i, popupText);
        else
            state.hitLatch[i] = false;
    }
}
