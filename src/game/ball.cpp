#include "game/ball.hpp"

#include "game/field.hpp"
#include "game/speed_up.hpp"
#include "sfml_compat.hpp"

#include <algorithm>
#include <cmath>

namespace {

constexpr float barDeflection = 0.8f;

void dropBall(PlayState& state, FieldArt& art, LifeHearts& hearts) {
    state.lives -= 1;
    art.ball.sprite.setPosition(ballStart);
    art.bar.sprite.setPosition(barStart);
    state.ballVelocity.y = ballStartSpeed;  // vx keeps every speed-up gained
    hearts.greyOut(state.lives);
    if (state.lives <= 0) state.gameOver = true;
}

// The walls negate rather than force a sign: a ball already moving away is
// turned back and set right again next frame.
void bounceOffWalls(sf::Sprite& ball, sf::Vector2f& velocity) {
    const float w = compat::width(ball.getGlobalBounds());
    if (ball.getPosition().x <= 0.f) {
        ball.setPosition({0.f, ball.getPosition().y});
        velocity.x = -velocity.x;
        speedUp(velocity);
    }
    if (ball.getPosition().x + w >= fieldWidth) {
        ball.setPosition({fieldWidth - w, ball.getPosition().y});
        velocity.x = -velocity.x;
        speedUp(velocity);
    }
    if (ball.getPosition().y <= 0.f) {
        ball.setPosition({ball.getPosition().x, 0.f});
        velocity.y = -velocity.y;
        speedUp(velocity);
    }
}

// The ball leaves upwards at its own speed, at an angle set by where it met
// the bar: straight up from its centre, 53° from upright above either end.
void bounceOffBar(sf::Sprite& ball, const sf::Sprite& bar, sf::Vector2f& velocity) {
    const sf::FloatRect barBounds = bar.getGlobalBounds();
    if (!compat::findIntersection(ball.getGlobalBounds(), barBounds)) return;
    velocity.y = -std::abs(velocity.y);
    ball.setPosition(
        {ball.getPosition().x, bar.getPosition().y - compat::height(ball.getGlobalBounds())});
    const float barHalfWidth = compat::width(barBounds) / 2.f;
    const float barCentre = barHalfWidth + bar.getPosition().x;
    const float ballCentre = compat::width(ball.getGlobalBounds()) / 2.f + ball.getPosition().x;
    const float offset = (ballCentre - barCentre) / barHalfWidth;
    const float speed = std::sqrt(velocity.x * velocity.x + velocity.y * velocity.y);
    velocity.x = barDeflection * (offset * speed);
    velocity.y = -std::sqrt(std::max(0.f, speed * speed - velocity.x * velocity.x));
}

}  // namespace

void ballStep(PlayState& state, FieldArt& art, LifeHearts& hearts, float dt) {
    sf::Sprite& ball = art.ball.sprite;
    ball.move(state.ballVelocity * dt);
    if (ball.getPosition().y > fieldHeight) dropBall(state, art, hearts);
    bounceOffWalls(ball, state.ballVelocity);
    bounceOffBar(ball, art.bar.sprite, state.ballVelocity);
}
