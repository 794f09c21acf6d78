// The ball's flight, its drops, the walls with their speed-up, the bar.

#include "game/ball.hpp"
#include "game/bar.hpp"
#include "game/speed_up.hpp"
#include "game_fixture.hpp"
#include "image_counts.hpp"
#include "sfml_compat.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace {

float speedOf(sf::Vector2f v) { return std::sqrt(v.x * v.x + v.y * v.y); }

// The ball placed and aimed, then one ball step.
void stepBall(GameFixture& game, sf::Vector2f position, sf::Vector2f velocity, float dt = 0.f) {
    game.art.ball.sprite.setPosition(position);
    game.state.ballVelocity = velocity;
    ballStep(game.state, game.art, game.hearts, dt);
}

sf::Vector2f ballAt(GameFixture& game) { return game.art.ball.sprite.getPosition(); }

}  // namespace

TEST(SpeedUp, ChainFromTheStartVelocityStopsAfterTheTwentyThird) {
    sf::Vector2f v{120.f, 120.f};
    for (int i = 1; i <= 22; ++i) speedUp(v);
    EXPECT_NEAR(speedOf(v), 496.4f, 0.05f);
    speedUp(v);  // measured below 500: one more step, past the limit
    EXPECT_NEAR(currentSpeed, 496.4f, 0.05f);
    EXPECT_NEAR(speedOf(v), 521.3f, 0.05f);
    const sf::Vector2f fastest = v;
    speedUp(v);
    EXPECT_EQ(v, fastest);
    EXPECT_NEAR(currentSpeed, 521.3f, 0.05f);
    EXPECT_EQ(v.x, v.y);  // the direction never changes

    sf::Vector2f atLimit{300.f, 400.f};  // exactly 500: no longer sped up
    speedUp(atLimit);
    EXPECT_EQ(atLimit, sf::Vector2f(300.f, 400.f));
    EXPECT_EQ(currentSpeed, 500.f);
}

TEST(Ball, WallsBounceAtTheirExactEdges) {
    GameFixture game;
    stepBall(game, {0.f, 300.f}, {-100.f, 0.f});
    EXPECT_EQ(ballAt(game), sf::Vector2f(0.f, 300.f));
    EXPECT_FLOAT_EQ(game.state.ballVelocity.x, 105.f);

    stepBall(game, {768.f, 300.f}, {100.f, 0.f});  // right edge exactly at 800
    EXPECT_EQ(ballAt(game), sf::Vector2f(768.f, 300.f));
    EXPECT_FLOAT_EQ(game.state.ballVelocity.x, -105.f);
    stepBall(game, {767.5f, 300.f}, {100.f, 0.f});
    EXPECT_EQ(game.state.ballVelocity.x, 100.f);

    stepBall(game, {810.f, 300.f}, {100.f, 0.f});  // past the wall: set back at 768
    EXPECT_EQ(ballAt(game), sf::Vector2f(768.f, 300.f));

    stepBall(game, {300.f, 0.f}, {0.f, -100.f});
    EXPECT_EQ(ballAt(game), sf::Vector2f(300.f, 0.f));
    EXPECT_FLOAT_EQ(game.state.ballVelocity.y, 105.f);

    // A ball at a wall already moving away is turned back towards it.
    stepBall(game, {0.f, 300.f}, {100.f, 0.f});
    EXPECT_FLOAT_EQ(game.state.ballVelocity.x, -105.f);
}

TEST(Ball, CornerBounceSpeedsUpTwice) {
    GameFixture game;
    stepBall(game, {1.f, 1.f}, {-200.f, -200.f}, 0.01f);
    EXPECT_EQ(ballAt(game), sf::Vector2f(0.f, 0.f));
    EXPECT_FLOAT_EQ(game.state.ballVelocity.x, 200.f * 1.05f * 1.05f);
    EXPECT_FLOAT_EQ(game.state.ballVelocity.y, 200.f * 1.05f * 1.05f);
    // The second speed-up measured what the first left.
    EXPECT_NEAR(currentSpeed, std::sqrt(2.f) * 210.f, 0.01f);
}

TEST(Ball, DropsOnlyPastTheBottomAndCostsALife) {
    GameFixture game;
    game.art.bar.sprite.setPosition({10.f, 550.f});
    stepBall(game, {100.f, 600.f}, {50.f, 300.f});
    EXPECT_EQ(game.state.lives, 3);
    EXPECT_EQ(ballAt(game), sf::Vector2f(100.f, 600.f));

    stepBall(game, {100.f, 599.f}, {-250.f, 300.f}, 0.01f);  // y 602
    EXPECT_EQ(game.state.lives, 2);
    EXPECT_EQ(ballAt(game), sf::Vector2f(384.f, 50.f));
    EXPECT_EQ(game.art.bar.sprite.getPosition(), sf::Vector2f(325.f, 550.f));
    EXPECT_EQ(game.state.ballVelocity, sf::Vector2f(-250.f, 120.f));  // vx keeps its speed-ups
    EXPECT_EQ(textureOf(game.hearts.lifeIcon[2]), &game.hearts.lifeEmptyTexture);
    EXPECT_EQ(textureOf(game.hearts.lifeIcon[1]), &game.hearts.lifeFullTexture);
    EXPECT_FALSE(game.state.gameOver);

    stepBall(game, {100.f, 601.f}, {0.f, 0.f});
    EXPECT_EQ(textureOf(game.hearts.lifeIcon[1]), &game.hearts.lifeEmptyTexture);
    EXPECT_EQ(textureOf(game.hearts.lifeIcon[0]), &game.hearts.lifeFullTexture);
    EXPECT_EQ(game.state.ballVelocity, sf::Vector2f(0.f, 120.f));
}

TEST(Ball, ThirdDropEndsTheGameAndTheFrameRunsOn) {
    GameFixture game;
    game.play();
    game.state.lives = 1;
    game.hearts.greyOut(2);
    game.hearts.greyOut(1);
    game.art.ball.sprite.setPosition({100.f, 599.f});
    game.state.ballVelocity = {0.f, 200.f};
    game.state.playClock.holdAt(12.5f);
    game.frame(0.01f, {false, true, false});

    EXPECT_EQ(game.state.lives, 0);
    EXPECT_TRUE(game.state.gameOver);
    for (const sf::Sprite& icon : game.hearts.lifeIcon)
        EXPECT_EQ(textureOf(icon), &game.hearts.lifeEmptyTexture);
    // The bar step, the clock and the HUD still ran in that frame.
    EXPECT_FLOAT_EQ(game.art.bar.sprite.getPosition().x, 328.f);
    EXPECT_EQ(game.texts.timerText.getString().toAnsiString(), "12s.");
    EXPECT_EQ(ballAt(game), sf::Vector2f(384.f, 50.f));

    // Nothing moves once the game is over; a drop below zero lives greys nothing.
    game.frame(0.5f, {false, true, false});
    EXPECT_EQ(ballAt(game), sf::Vector2f(384.f, 50.f));
    stepBall(game, {100.f, 601.f}, {0.f, 0.f});
    EXPECT_EQ(game.state.lives, -1);
    EXPECT_TRUE(game.state.gameOver);
}

TEST(Ball, BarBounceAngleFollowsWhereTheBallMeetsTheBar) {
    GameFixture game;
    // Centre on centre: straight up at the same speed, resting on the bar.
    stepBall(game, {384.f, 519.f}, {0.f, 300.f});
    EXPECT_EQ(ballAt(game), sf::Vector2f(384.f, 518.f));
    EXPECT_EQ(game.state.ballVelocity, sf::Vector2f(0.f, -300.f));

    // Centre above the right end: 0.8 of the speed sideways, 0.6 up.
    stepBall(game, {459.f, 519.f}, {-180.f, 240.f});
    EXPECT_FLOAT_EQ(game.state.ballVelocity.x, 240.f);
    EXPECT_FLOAT_EQ(game.state.ballVelocity.y, -180.f);
    stepBall(game, {309.f, 519.f}, {0.f, 300.f});  // left end
    EXPECT_FLOAT_EQ(game.state.ballVelocity.x, -240.f);
    EXPECT_FLOAT_EQ(game.state.ballVelocity.y, -180.f);
    // Centre past the end, the ball still over it: beyond 0.8, unclamped.
    stepBall(game, {474.f, 519.f}, {0.f, 300.f});
    EXPECT_FLOAT_EQ(game.state.ballVelocity.x, 288.f);
    EXPECT_FLOAT_EQ(game.state.ballVelocity.y, -84.f);

    // From the side or below: lifted onto the top edge and sent up.
    stepBall(game, {300.f, 560.f}, {100.f, -50.f});
    EXPECT_EQ(ballAt(game), sf::Vector2f(300.f, 518.f));
    EXPECT_LT(game.state.ballVelocity.y, 0.f);
    EXPECT_NEAR(speedOf(game.state.ballVelocity), speedOf({100.f, -50.f}), 1e-3f);

    // Touching the bar's edge only is no contact.
    stepBall(game, {384.f, 518.f}, {0.f, 300.f});
    EXPECT_EQ(game.state.ballVelocity, sf::Vector2f(0.f, 300.f));
}

TEST(Bar, MovesWithHeldKeysAndOvershootsItsLimitsOnce) {
    sf::Texture texture;
    sf::Sprite bar(texture);
    const float dt = 5.f / 300.f;  // a 5-pixel move
    const HeldKeys left{true, false, false}, right{false, true, false}, both{true, true, false};

    bar.setPosition({0.f, 550.f});
    barStep(bar, left, dt);
    EXPECT_EQ(bar.getPosition().x, 0.f);
    bar.setPosition({0.5f, 550.f});
    barStep(bar, left, dt);
    EXPECT_FLOAT_EQ(bar.getPosition().x, -4.5f);
    barStep(bar, left, dt);
    EXPECT_FLOAT_EQ(bar.getPosition().x, -4.5f);
    barStep(bar, both, dt);  // beyond the left limit only Right acts
    EXPECT_FLOAT_EQ(bar.getPosition().x, 0.5f);

    bar.setPosition({650.f, 550.f});
    barStep(bar, right, dt);
    EXPECT_EQ(bar.getPosition().x, 650.f);
    bar.setPosition({649.5f, 550.f});
    barStep(bar, right, dt);
    EXPECT_FLOAT_EQ(bar.getPosition().x, 654.5f);
    // Left runs first and brings it back under 650, so Right moves it out again.
    barStep(bar, both, dt);
    EXPECT_FLOAT_EQ(bar.getPosition().x, 654.5f);
    barStep(bar, left, dt);
    EXPECT_FLOAT_EQ(bar.getPosition().x, 649.5f);

    bar.setPosition({100.f, 550.f});
    barStep(bar, both, dt);
    EXPECT_FLOAT_EQ(bar.getPosition().x, 100.f);
}
