#include "game/play_state.hpp"

#include "art/field_art.hpp"
#include "art/life_hearts.hpp"

namespace {

bool isEven(int draw) { return (draw & 1) == 0; }

void drawObstacleDirections(PlayState& state, const RandomDraw& draw) {
    for (std::size_t i = 0; i < obstacleCount; ++i) {
        state.obstacleVelocity[i] = obstacleStartSpeeds[i];
        if (isEven(draw())) state.obstacleVelocity[i] = -state.obstacleVelocity[i];
    }
}

// An even draw sends the ball right, an odd one left; it always starts down.
void drawBallDirection(PlayState& state, const RandomDraw& draw) {
    state.ballVelocity.x = isEven(draw()) ? ballStartSpeed : -ballStartSpeed;
    state.ballVelocity.y = ballStartSpeed;
}

}  // namespace

void drawStartDirections(PlayState& state, const RandomDraw& draw) {
    drawObstacleDirections(state, draw);
    drawBallDirection(state, draw);
}

void restartGame(PlayState& state, FieldArt& art, LifeHearts& hearts, const RandomDraw& draw) {
    state.lives = startLives;
    state.score = 0;
    hearts.fill();
    state.gameOver = false;
    state.gameWon = false;
    art.bar.sprite.setPosition(barStart);
    art.ball.sprite.setPosition(ballStart);
    drawBallDirection(state, draw);
    const auto obstacles = art.obstacles();
    for (std::size_t i = 0; i < obstacleCount; ++i)
        obstacles[i]->sprite.setPosition(obstacleStarts[i]);
    drawObstacleDirections(state, draw);
    state.flowerTimer = 0.f;
    state.flowerShownTimer = 0.f;
    state.flowerVisible = false;
    art.flower.sprite.setScale({0.f, 0.f});
    state.playClock.restart();
}
