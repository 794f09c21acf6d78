// The flower's showings, the play clock's win, the end panels and Space.

#include "app/render.hpp"
#include "game/flower.hpp"
#include "game/outcome.hpp"
#include "game_fixture.hpp"
#include "image_counts.hpp"
#include "sfml_compat.hpp"

#include <gtest/gtest.h>

namespace {

const HeldKeys space{false, false, true};

bool shown(GameFixture& game) {
    const bool visible = game.state.flowerVisible;
    EXPECT_EQ(game.art.flower.sprite.getScale().x, visible ? 40.f : 0.f);
    return visible;
}

}  // namespace

TEST(Flower, ShowsForThreeSecondsEveryFifteenOfPlay) {
    GameFixture game;
    sf::Sprite& flower = game.art.flower.sprite;
    int frame = 0;
    auto playFor = [&](int frames) {
        for (int i = 0; i < frames; ++i, ++frame) flowerStep(game.state, flower, 0.5f);
    };
    playFor(29);  // 14.5 s
    EXPECT_FALSE(shown(game));
    playFor(1);  // 15 s: the showing begins, this frame's dt counts towards its 3 s
    EXPECT_TRUE(shown(game));
    EXPECT_EQ(game.state.flowerTimer, 0.f);
    EXPECT_EQ(game.state.flowerShownTimer, 0.5f);
    playFor(4);  // 17 s
    EXPECT_TRUE(shown(game));
    playFor(1);  // 17.5 s: 3 s shown
    EXPECT_FALSE(shown(game));
    EXPECT_EQ(game.state.flowerTimer, 2.5f);  // it kept counting through the showing
    playFor(24);                              // 29.5 s
    EXPECT_FALSE(shown(game));
    playFor(1);  // 30 s: 15 s after the previous showing began
    EXPECT_TRUE(shown(game));

    // A frame of 3 s or more that begins a showing also ends it.
    game.state = PlayState{};
    flower.setScale({0.f, 0.f});
    flowerStep(game.state, flower, 14.f);
    flowerStep(game.state, flower, 3.f);
    EXPECT_FALSE(shown(game));
    EXPECT_EQ(game.state.flowerTimer, 0.f);
    EXPECT_EQ(game.state.flowerShownTimer, 3.f);
}

TEST(Flower, CountsOnlyPlayingTime) {
    GameFixture game;
    game.play();
    game.frame(10.f);
    game.press(sf::Keyboard::Key::Escape);
    game.frame(10.f);  // on the menu: not playing time
    game.play();
    game.frame(4.f);
    EXPECT_FALSE(shown(game));
    EXPECT_EQ(game.state.flowerTimer, 14.f);
    game.frame(1.f);
    EXPECT_TRUE(shown(game));
    // While shown the ball goes on: a drop still costs a life, and the ball
    // put back at its start still scores on the block waiting there.
    game.art.ball.sprite.setPosition({100.f, 599.f});
    game.state.ballVelocity = {0.f, 200.f};
    game.art.blockObstacle.sprite.setPosition({384.f, 60.f});
    game.state.obstacleVelocity[0] = 0.f;
    const PlayState before = game.state;
    game.frame(0.01f);
    EXPECT_TRUE(shown(game));
    EXPECT_EQ(game.state.lives, before.lives - 1);
    EXPECT_EQ(game.state.score, before.score + 100);
}

TEST(Outcome, WonAtSixtyWholeSecondsNeverAtFiftyNine) {
    GameFixture game;
    game.state.playClock.holdAt(59.999f);
    EXPECT_EQ(clockStep(game.state), 59);
    EXPECT_FALSE(game.state.gameWon);
    game.state.playClock.holdAt(60.f);
    EXPECT_EQ(clockStep(game.state), 60);
    EXPECT_TRUE(game.state.gameWon);

    // In a frame: the HUD still takes 60s., but the win panel is drawn.
    GameFixture played;
    played.play();
    played.state.playClock.holdAt(60.2f);
    played.frame(0.01f);
    EXPECT_TRUE(played.state.gameWon);
    EXPECT_EQ(played.texts.timerText.getString().toAnsiString(), "60s.");
    EXPECT_EQ(*composeFrame(played).begin(), &played.texts.winText);
    // Won games hold still.
    const sf::Vector2f ball = played.art.ball.sprite.getPosition();
    played.frame(0.2f);
    EXPECT_EQ(played.art.ball.sprite.getPosition(), ball);
}

TEST(Outcome, LastDropAndSixtySecondsInOneFrameShowGameOver) {
    GameFixture game;
    game.play();
    game.state.lives = 1;
    game.art.ball.sprite.setPosition({100.f, 599.f});
    game.state.ballVelocity = {0.f, 200.f};
    game.state.playClock.holdAt(60.f);
    // Space held as the game ends: the end panel still gets its one frame.
    game.frame(0.01f, space);
    EXPECT_TRUE(game.state.gameOver);
    EXPECT_TRUE(game.state.gameWon);
    const DrawList list = composeFrame(game);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(*list.begin(), &game.texts.gameOverText);

    game.draws = {0, 0, 0, 0, 0};
    game.frame(0.01f, space);  // cleared both, and the new game's first update ran
    EXPECT_FALSE(game.state.gameOver);
    EXPECT_FALSE(game.state.gameWon);
    EXPECT_EQ(game.state.lives, 3);
    EXPECT_EQ(composeFrame(game).size(), 12u);  // the field, its three hearts full
    for (const sf::Sprite& icon : game.hearts.lifeIcon)
        EXPECT_EQ(textureOf(icon), &game.hearts.lifeFullTexture);
    EXPECT_FLOAT_EQ(game.art.ball.sprite.getPosition().y, 51.2f);
    EXPECT_EQ(game.texts.scoreText.getString().toAnsiString(), "PUNTI: 0");
}

TEST(Outcome, SpaceRestartsOnlyAnEndedGameOnAnyScreen) {
    GameFixture game;
    game.play();
    game.state.score = 500;
    game.frame(0.01f, space);  // a running game: nothing happens
    EXPECT_EQ(game.state.score, 500);

    game.state.gameOver = true;
    game.press(sf::Keyboard::Key::Escape);
    game.frame(0.01f);  // the panel is left for the menu; nothing restarts without Space
    EXPECT_TRUE(game.state.gameOver);
    game.frame(0.01f, space);
    EXPECT_FALSE(game.state.gameOver);
    EXPECT_EQ(game.state.score, 0);
    EXPECT_EQ(game.shell.currentScreen, Screen::Menu);  // the new game waits for PLAY
    EXPECT_EQ(game.music.gameMusic.value().getStatus(), sf::SoundSource::Status::Playing);
    const sf::Vector2f ball = game.art.ball.sprite.getPosition();
    game.frame(0.5f);
    EXPECT_EQ(game.art.ball.sprite.getPosition(), ball);

    // An ended game comes back to its panel with PLAY.
    game.state.gameWon = true;
    game.play();
    EXPECT_EQ(*composeFrame(game).begin(), &game.texts.winText);
}
