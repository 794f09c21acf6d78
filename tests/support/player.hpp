#pragma once
// The scripted player of the soak and the benchmarks: it keeps the bar under
// the ball and holds Space once a game ends.

#include "app/game.hpp"
#include "follow_ball.hpp"
#include "game/outcome.hpp"
#include "sfml_compat.hpp"

inline float centreX(const sf::Sprite& sprite) {
    const sf::FloatRect bounds = sprite.getGlobalBounds();
    return compat::left(bounds) + compat::width(bounds) / 2.f;
}

inline HeldKeys followBall(const Game& game) {
    HeldKeys keys = followBall(centreX(game.art.ball.sprite), centreX(game.art.bar.sprite), 20.f);
    keys.space = !gameInProgress(game.state);
    return keys;
}
