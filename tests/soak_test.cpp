// Hours of play in random frames, with every invariant checked after each.

#include "art/life_hearts.hpp"
#include "game_fixture.hpp"
#include "image_counts.hpp"
#include "player.hpp"
#include "sfml_compat.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

// Speed-ups apply only below 500 px/s and multiply by at most 1.05², so no
// bounce leaves the ball at 551.25 or more; the bar keeps the speed; a drop
// keeps vx and sets vy to 120. Hence the bound sqrt(551.25² + 120²) ≈ 564.2.
const float speedBound = std::sqrt(551.25f * 551.25f + 120.f * 120.f);

bool finite(sf::Vector2f v) { return std::isfinite(v.x) && std::isfinite(v.y); }

void expectInvariants(GameFixture& game, const std::array<float, 4>& startY) {
    const PlayState& s = game.state;
    ASSERT_TRUE(finite(game.art.ball.sprite.getPosition()));
    ASSERT_TRUE(finite(game.art.bar.sprite.getPosition()));
    ASSERT_TRUE(finite(s.ballVelocity));
    ASSERT_TRUE(std::isfinite(s.flowerTimer) && std::isfinite(s.flowerShownTimer));
    ASSERT_GE(s.lives, 0);
    ASSERT_LE(s.lives, 3);
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(textureOf(game.hearts.lifeIcon[i]),
                  s.lives > i ? &game.hearts.lifeFullTexture : &game.hearts.lifeEmptyTexture);
    ASSERT_GE(s.score, 0);
    ASSERT_EQ(s.score % 100, 0);
    ASSERT_LT(std::hypot(s.ballVelocity.x, s.ballVelocity.y), speedBound);
    const auto obstacles = game.art.obstacles();
    for (std::size_t i = 0; i < obstacleCount; ++i) {
        const sf::Sprite& sprite = obstacles[i]->sprite;
        ASSERT_TRUE(std::isfinite(s.obstacleVelocity[i]));
        ASSERT_GE(sprite.getPosition().x, 0.f);
        ASSERT_LE(sprite.getPosition().x + compat::width(sprite.getGlobalBounds()), 800.f);
        ASSERT_EQ(sprite.getPosition().y, startY[i]);
    }
    const float flowerScale = game.art.flower.sprite.getScale().x;
    ASSERT_TRUE(flowerScale == 0.f || flowerScale == 40.f);
    ASSERT_EQ(flowerScale == 40.f, s.flowerVisible);
}

}  // namespace

TEST(Soak, HoursOfRandomFramesKeepEveryInvariant) {
    GameFixture game;
    std::mt19937 random(20261207);
    game.randomDraw = [&random] { return static_cast<int>(random() & 0x7fffffff); };
    std::uniform_real_distribution<float> logDt(std::log(1e-5f), std::log(0.25f));
    std::bernoulli_distribution change(0.05);

    std::array<float, 4> startY;
    for (std::size_t i = 0; i < obstacleCount; ++i) startY[i] = obstacleStarts[i].y;

    game.play();
    double gameTime = 0, sinceRestart = 0;
    long frames = 0, restarts = 0, wins = 0, losses = 0;
    HeldKeys keys;
    while (gameTime < 3 * 3600.0) {
        if (restarts % 2 == 0) {
            // Every other game a careful player follows the ball, so that
            // games are won as well as lost.
            keys = followBall(game);
        } else {
            if (change(random)) keys.left = !keys.left;
            if (change(random)) keys.right = !keys.right;
        }
        const bool ended = game.state.gameOver || game.state.gameWon;
        keys.space = ended;  // start a new game whenever one ends
        if (ended) {
            wins += game.state.gameWon && !game.state.gameOver;
            losses += game.state.gameOver;
            ++restarts;
            sinceRestart = 0;
        }
        const float dt = std::exp(logDt(random));
        sinceRestart += dt;
        game.state.playClock.holdAt(static_cast<float>(sinceRestart));
        game.frame(dt, keys);
        gameTime += dt;
        ++frames;
        expectInvariants(game, startY);
        if (testing::Test::HasFatalFailure()) {
            ADD_FAILURE() << "after frame " << frames << " at " << gameTime << " s";
            return;
        }
    }
    std::cout << "soak: " << frames << " frames, " << gameTime << " s of play, " << restarts
              << " restarts (" << wins << " won, " << losses << " lost), speed bound " << speedBound
              << " px/s\n";
    EXPECT_GT(wins, 0);
    EXPECT_GT(losses, 0);
}
