// The obstacles' glide and wall bounces, and the ball's hits on them.

#include "game/obstacles.hpp"
#include "game/speed_up.hpp"
#include "game_fixture.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace {

float speedOf(sf::Vector2f v) { return std::sqrt(v.x * v.x + v.y * v.y); }

sf::Sprite& obstacle(GameFixture& game, std::size_t i) { return game.art.obstacles()[i]->sprite; }

// Obstacles parked out of the ball's way, except those a test places.
void parkObstacles(GameFixture& game) {
    for (std::size_t i = 0; i < obstacleCount; ++i) obstacle(game, i).setPosition({0.f, 700.f});
}

void hit(GameFixture& game, sf::Vector2f ball, sf::Vector2f velocity) {
    game.art.ball.sprite.setPosition(ball);
    game.state.ballVelocity = velocity;
    obstacleHitStep(game.state, game.art, game.texts.popupText);
}

sf::Vector2f ballAt(GameFixture& game) { return game.art.ball.sprite.getPosition(); }

}  // namespace

TEST(Obstacles, GlideAndBounceOffTheSideWallsWithForcedSigns) {
    GameFixture game;
    const float rightWallX[] = {728.f, 716.f, 722.f, 680.f};
    const float startY[] = {110.f, 400.f, 400.f, 250.f};
    for (std::size_t i = 0; i < obstacleCount; ++i) {
        obstacle(game, i).setPosition({rightWallX[i], startY[i]});
        game.state.obstacleVelocity[i] = obstacleStartSpeeds[i];
    }
    obstacleMotionStep(game.state, game.art, 0.f);
    for (std::size_t i = 0; i < obstacleCount; ++i) {
        EXPECT_EQ(obstacle(game, i).getPosition(), sf::Vector2f(rightWallX[i], startY[i]));
        EXPECT_EQ(game.state.obstacleVelocity[i], -obstacleStartSpeeds[i]);
    }
    // Just short of the wall: no bounce. Past it in a long frame: set at the wall.
    obstacle(game, 0).setPosition({727.f, 110.f});
    game.state.obstacleVelocity[0] = 80.f;
    obstacle(game, 3).setPosition({600.f, 250.f});
    game.state.obstacleVelocity[3] = 70.f;
    obstacleMotionStep(game.state, game.art, 0.01f);
    EXPECT_FLOAT_EQ(obstacle(game, 0).getPosition().x, 727.8f);
    EXPECT_EQ(game.state.obstacleVelocity[0], 80.f);
    obstacleMotionStep(game.state, game.art, 10.f);
    EXPECT_EQ(obstacle(game, 3).getPosition(), sf::Vector2f(680.f, 250.f));
    EXPECT_EQ(game.state.obstacleVelocity[3], -70.f);

    // At x = 0 the sign is forced, not flipped.
    for (std::size_t i = 0; i < obstacleCount; ++i) {
        obstacle(game, i).setPosition({0.f, startY[i]});
        game.state.obstacleVelocity[i] = i % 2 ? obstacleStartSpeeds[i] : -obstacleStartSpeeds[i];
    }
    obstacleMotionStep(game.state, game.art, 0.f);
    for (std::size_t i = 0; i < obstacleCount; ++i) {
        EXPECT_EQ(obstacle(game, i).getPosition(), sf::Vector2f(0.f, startY[i]));
        EXPECT_EQ(game.state.obstacleVelocity[i], obstacleStartSpeeds[i]);
    }
}

TEST(Obstacles, TwoHitsInOneFrameScoreInTableOrder) {
    GameFixture game;
    parkObstacles(game);
    obstacle(game, 0).setPosition({100.f, 100.f});  // block 100..172 x 100..136
    obstacle(game, 1).setPosition({100.f, 100.f});  // trapezoid 100..184 x 100..172
    hit(game, {120.f, 120.f}, {30.f, -200.f});
    // The block pushes the ball below itself to y 136, where its lowest drawn
    // row meets the trapezoid's wide rows; that pushes it below 172.
    EXPECT_EQ(game.state.score, 200);
    EXPECT_EQ(game.state.hitLatch, (std::array<bool, 4>{true, true, false, false}));
    EXPECT_EQ(game.state.scorePopup.anchor, sf::Vector2f(120.f, 136.f));
    EXPECT_EQ(ballAt(game), sf::Vector2f(120.f, 172.f));
    EXPECT_GT(game.state.ballVelocity.y, 0.f);
    EXPECT_FLOAT_EQ(game.state.ballVelocity.x, 30.f * 1.05f * 1.05f);
}

TEST(Obstacles, LatchScoresOncePerContact) {
    GameFixture game;
    parkObstacles(game);
    obstacle(game, 0).setPosition({100.f, 100.f});
    // The first hit from the left side, in a whole frame: the popup's phase
    // comes before the playing update, so the "+100" shows at full size.
    game.play();
    game.state.obstacleVelocity[0] = 0.f;
    game.art.ball.sprite.setPosition({70.f, 110.f});
    game.state.ballVelocity = {100.f, 0.f};
    game.frame(0.1f);
    EXPECT_EQ(game.texts.popupText.getScale(), sf::Vector2f(2.5f, 2.5f));
    EXPECT_EQ(game.state.score, 100);
    EXPECT_EQ(ballAt(game), sf::Vector2f(68.f, 110.f));
    EXPECT_FLOAT_EQ(game.state.ballVelocity.x, -105.f);
    EXPECT_EQ(game.state.ballVelocity.y, 0.f);
    EXPECT_TRUE(game.state.scorePopup.active);
    EXPECT_EQ(game.state.scorePopup.anchor, sf::Vector2f(80.f, 110.f));  // before the push

    game.state.scorePopup.active = false;
    hit(game, {80.f, 110.f}, {-100.f, 0.f});  // caught again: pushed and sped up, no score
    EXPECT_EQ(game.state.score, 100);
    EXPECT_FLOAT_EQ(game.state.ballVelocity.x, -105.f);
    EXPECT_FALSE(game.state.scorePopup.active);

    hit(game, {68.f, 110.f}, {100.f, 0.f});  // touching the edge only: the latch clears
    EXPECT_FALSE(game.state.hitLatch[0]);
    EXPECT_EQ(game.state.ballVelocity, sf::Vector2f(100.f, 0.f));
    hit(game, {80.f, 110.f}, {100.f, 0.f});
    EXPECT_EQ(game.state.score, 200);
}

TEST(Obstacles, PushOutTiesAndContactRules) {
    GameFixture game;
    parkObstacles(game);
    sf::Sprite& block = obstacle(game, 0);
    block.setPosition({100.f, 100.f});
    // minX == minY (10 and 10): vertical, above.
    hit(game, {78.f, 78.f}, {50.f, 50.f});
    EXPECT_EQ(ballAt(game), sf::Vector2f(78.f, 68.f));
    EXPECT_FLOAT_EQ(game.state.ballVelocity.y, -52.5f);
    EXPECT_FLOAT_EQ(game.state.ballVelocity.x, 52.5f);

    // Equal left and right overlaps, pushed sideways: to the right, vx > 0.
    // (A tall block makes minY the larger.)
    block.setScale({1.f, 6.f});  // 24 x 72
    hit(game, {96.f, 120.f}, {-50.f, 10.f});
    EXPECT_EQ(ballAt(game), sf::Vector2f(124.f, 120.f));
    EXPECT_FLOAT_EQ(game.state.ballVelocity.x, 52.5f);
    EXPECT_FLOAT_EQ(game.state.ballVelocity.y, 10.5f);
    block.setScale({3.f, 3.f});

    // Equal top and bottom overlaps: below, vy > 0 (the heart, centred).
    parkObstacles(game);
    obstacle(game, 3).setPosition({340.f, 250.f});
    hit(game, {384.f, 288.f}, {0.f, 40.f});  // already moving down: it stays so
    EXPECT_EQ(ballAt(game), sf::Vector2f(384.f, 358.f));
    EXPECT_GT(game.state.ballVelocity.y, 0.f);

    // The block counts any overlap of its bounds, even where the ball's own
    // corner is empty; the other three's empty top-left corners are no contact.
    parkObstacles(game);
    block.setPosition({364.f, 110.f});
    game.state.score = 0;
    hit(game, {364.f - 31.5f, 110.f - 31.5f}, {10.f, 10.f});
    EXPECT_EQ(game.state.score, 100);
    for (std::size_t i = 1; i < obstacleCount; ++i) {
        parkObstacles(game);
        obstacle(game, i).setPosition(obstacleStarts[i]);
        hit(game, obstacleStarts[i] - sf::Vector2f(20.f, 20.f), {10.f, 10.f});  // 12 x 12 px
        EXPECT_EQ(game.state.score, 100) << i;
    }
}

TEST(Obstacles, SpeedUpGatesByShape) {
    GameFixture game;
    // Ball at 480 px/s into each obstacle from above.
    const float expected[] = {504.f, 504.f, 529.2f, 529.2f};
    const sf::Vector2f topCentre[] = {{364.f + 36.f - 16.f, 110.f - 30.f},
                                      {130.f + 42.f - 16.f, 400.f - 20.f},
                                      {570.f + 39.f - 16.f, 400.f - 26.f},
                                      {340.f + 60.f - 16.f, 250.f - 10.f}};
    for (std::size_t i = 0; i < obstacleCount; ++i) {
        SCOPED_TRACE(i);
        parkObstacles(game);
        obstacle(game, i).setPosition(obstacleStarts[i]);
        game.state.hitLatch = {};
        hit(game, topCentre[i], {0.f, 480.f});
        ASSERT_TRUE(game.state.hitLatch[i]);
        EXPECT_NEAR(speedOf(game.state.ballVelocity), expected[i], 0.01f);
        EXPECT_LT(game.state.ballVelocity.y, 0.f);
        EXPECT_EQ(currentSpeed, 480.f);

        // Measured at 500 or more: the direction changes, the speed does not.
        parkObstacles(game);
        obstacle(game, i).setPosition(obstacleStarts[i]);
        hit(game, topCentre[i], {0.f, 500.f});
        EXPECT_EQ(game.state.ballVelocity, sf::Vector2f(0.f, -500.f));
    }
}
