#pragma once
// The scripted player of the soak, the benchmarks and the window tests: it
// keeps the bar's centre under the ball's and holds Space once a game ends.

#include "app/game.hpp"
#include "game/held_keys.hpp"
#include "game/outcome.hpp"
#include "sfml_compat.hpp"

inline float centreX(const sf::Sprite& sprite) {
    const sf::FloatRect bounds = sprite.getGlobalBounds();
    return compat::left(bounds) + compat::width(bounds) / 2.f;
}

// Left or Right when the ball is more than `slack` to that side of the bar.
inline HeldKeys followBall(float ballCentre, float barCentre, float slack) {
    HeldKeys keys;
    keys.left = ballCentre < barCentre - slack;
    keys.right = ballCentre > barCentre + slack;
    return keys;
}

inline HeldKeys followBall(const Game& game) {
    HeldKeys keys = followBall(centreX(game.art.ball.sprite), centreX(game.art.bar.sprite), 20.f);
    keys.space = !gameInProgress(game.state);
    return keys;
}
