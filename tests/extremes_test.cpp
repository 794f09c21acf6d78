// Frames far longer than a game (a laptop waking up) and far shorter than a
// display refresh.

#include "game_fixture.hpp"
#include "sfml_compat.hpp"

#include <gtest/gtest.h>

#include <cmath>

TEST(Extremes, AHundredSecondFrameIsSetRightByTheWalls) {
    GameFixture game;
    game.play();
    game.draws = {1, 1, 1, 1};
    game.state.ballVelocity = {-300.f, -200.f};
    game.state.playClock.holdAt(100.f);
    game.frame(100.f, {true, false, false});

    // The ball flew 30 km left and 20 km up: the walls put it back in a corner.
    EXPECT_EQ(game.art.ball.sprite.getPosition(), sf::Vector2f(0.f, 0.f));
    EXPECT_GT(game.state.ballVelocity.x, 0.f);
    EXPECT_GT(game.state.ballVelocity.y, 0.f);
    // Every obstacle ended at a wall, moving away from it.
    for (std::size_t i = 0; i < obstacleCount; ++i) {
        const sf::Sprite& sprite = game.art.obstacles()[i]->sprite;
        const float x = sprite.getPosition().x;
        const float w = compat::width(sprite.getGlobalBounds());
        EXPECT_TRUE(x == 0.f || x + w == 800.f) << i;
        EXPECT_EQ(game.state.obstacleVelocity[i] > 0.f, x == 0.f) << i;
    }
    // The flower began and ended its showing in that one frame.
    EXPECT_FALSE(game.state.flowerVisible);
    // The bar is not clamped: it stays where one frame's move took it.
    EXPECT_EQ(game.art.bar.sprite.getPosition().x, 325.f - 300.f * 100.f);
    // The play clock read 100 s: the game is won, nothing was lost.
    EXPECT_TRUE(game.state.gameWon);
    EXPECT_EQ(game.state.lives, 3);
    EXPECT_EQ(game.texts.timerText.getString().toAnsiString(), "100s.");

    // A hundred seconds downwards is a drop, and the ball comes back.
    GameFixture falling;
    falling.play();
    falling.state.ballVelocity = {0.f, 120.f};
    falling.frame(100.f);
    EXPECT_EQ(falling.state.lives, 2);
    EXPECT_EQ(falling.art.ball.sprite.getPosition(), sf::Vector2f(384.f, 50.f));
}

TEST(Extremes, NanosecondFramesMoveAlmostNothing) {
    GameFixture game;
    game.play();
    const sf::Vector2f ball = game.art.ball.sprite.getPosition();
    for (int i = 0; i < 100000; ++i) game.frame(1e-9f, {false, true, false});
    const sf::Vector2f moved = game.art.ball.sprite.getPosition();
    EXPECT_NEAR(moved.x, ball.x, 0.1f);
    EXPECT_NEAR(moved.y, ball.y, 0.1f);
    EXPECT_TRUE(std::isfinite(moved.x) && std::isfinite(moved.y));
    EXPECT_EQ(game.state.lives, 3);
    EXPECT_FALSE(game.state.flowerVisible);
    EXPECT_LT(game.state.flowerTimer, 1e-3f);
}
