// Start values, the start-up and restart draws, and what a restart resets.

#include "game/speed_up.hpp"
#include "game_fixture.hpp"
#include "image_counts.hpp"
#include "sfml_compat.hpp"

#include <gtest/gtest.h>

#include <iostream>
#include <new>
#include <sstream>

TEST(PlayState, StartUpWritesItsLineThenDrawsObstaclesFirstThenTheBall) {
    testing::internal::CaptureStdout();
    GameFixture game({2, 3, 4, 5, 6, 9});  // even, odd, even, odd; ball even; one left over
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "PROGRAMMA AVVIATO!\n");
    EXPECT_EQ(game.draws, std::deque<int>{9});
    PlayState& state = game.state;
    EXPECT_EQ(state.obstacleVelocity, (std::array<float, 4>{-80.f, 100.f, -90.f, 70.f}));
    EXPECT_EQ(state.ballVelocity, sf::Vector2f(120.f, 120.f));  // even: rightwards, always down
    EXPECT_EQ(game.music.menuMusic.value().getStatus(), sf::SoundSource::Status::Playing);

    // The line is out before the window opens: the console's flush looks at
    // the window of the game being made.
    struct Console : std::stringbuf {
        const Game* made = nullptr;
        bool windowOpenAtTheLine = true;
        int sync() override {
            if (str() == "PROGRAMMA AVVIATO!\n") windowOpenAtTheLine = made->window.isOpen();
            return 0;
        }
    } console;
    alignas(Game) unsigned char storage[sizeof(Game)];
    console.made = reinterpret_cast<const Game*>(storage);
    std::streambuf* const stdoutBuffer = std::cout.rdbuf(&console);
    Game* const made = new (storage) Game([] { return 1; });
    std::cout.rdbuf(stdoutBuffer);
    EXPECT_FALSE(console.windowOpenAtTheLine);
    made->~Game();
}

TEST(PlayState, RestartDrawsTheBallFirstAndResetsTheGame) {
    GameFixture game;
    // A game in the middle of things.
    game.state.lives = 0;
    game.state.score = 1200;
    game.hearts.greyOut(0);
    game.hearts.greyOut(2);
    game.state.gameOver = true;
    game.state.gameWon = true;
    game.art.bar.sprite.setPosition({12.f, 550.f});
    game.art.ball.sprite.setPosition({700.f, -3.f});
    game.state.ballVelocity = {-400.f, -300.f};
    for (Picture* obstacle : game.art.obstacles()) obstacle->sprite.move({33.f, 0.f});
    game.state.obstacleVelocity = {-1.f, -1.f, -1.f, -1.f};
    game.state.flowerTimer = 7.f;
    game.state.flowerShownTimer = 2.f;
    game.state.flowerVisible = true;
    game.art.flower.sprite.setScale({40.f, 40.f});
    game.state.hitLatch = {true, false, true, false};
    game.state.scorePopup = {true, 0.2f, 1.8f, {5.f, 6.f}};
    game.state.playClock.holdAt(42.f);
    game.shell = {Screen::Instructions, 2, false};
    currentSpeed = 321.f;

    game.draws = {3, 2, 3, 3, 2};  // ball odd: leftwards; then block even, trapezoid odd, ...
    restartGame(game.state, game.art, game.hearts, game.randomDraw);

    EXPECT_TRUE(game.draws.empty());
    EXPECT_EQ(game.state.lives, 3);
    EXPECT_EQ(game.state.score, 0);
    for (const sf::Sprite& icon : game.hearts.lifeIcon) {
        EXPECT_EQ(textureOf(icon), &game.hearts.lifeFullTexture);
        EXPECT_EQ(compat::width(icon.getGlobalBounds()), 32.f);
    }
    EXPECT_FALSE(game.state.gameOver);
    EXPECT_FALSE(game.state.gameWon);
    EXPECT_EQ(game.art.bar.sprite.getPosition(), sf::Vector2f(325.f, 550.f));
    EXPECT_EQ(game.art.ball.sprite.getPosition(), sf::Vector2f(384.f, 50.f));
    EXPECT_EQ(game.state.ballVelocity, sf::Vector2f(-120.f, 120.f));
    EXPECT_EQ(game.art.blockObstacle.sprite.getPosition(), sf::Vector2f(364.f, 110.f));
    EXPECT_EQ(game.art.trapezoidObstacle.sprite.getPosition(), sf::Vector2f(130.f, 400.f));
    EXPECT_EQ(game.art.diamondObstacle.sprite.getPosition(), sf::Vector2f(570.f, 400.f));
    EXPECT_EQ(game.art.heartObstacle.sprite.getPosition(), sf::Vector2f(340.f, 250.f));
    EXPECT_EQ(game.state.obstacleVelocity, (std::array<float, 4>{-80.f, 100.f, 90.f, -70.f}));
    EXPECT_EQ(game.state.flowerTimer, 0.f);
    EXPECT_EQ(game.state.flowerShownTimer, 0.f);
    EXPECT_FALSE(game.state.flowerVisible);
    EXPECT_EQ(game.art.flower.sprite.getScale(), sf::Vector2f(0.f, 0.f));
    EXPECT_LT(game.state.playClock.elapsedSeconds(), 1.f);

    // Left alone: latches, the running popup, the screen and menu, the music,
    // the program-wide speed.
    EXPECT_EQ(game.state.hitLatch, (std::array<bool, 4>{true, false, true, false}));
    EXPECT_TRUE(game.state.scorePopup.active);
    EXPECT_EQ(game.state.scorePopup.elapsed, 0.2f);
    EXPECT_EQ(game.state.scorePopup.anchor, sf::Vector2f(5.f, 6.f));
    EXPECT_EQ(game.shell.currentScreen, Screen::Instructions);
    EXPECT_EQ(game.shell.menuSelection, 2);
    EXPECT_FALSE(game.shell.volumeOn);
    EXPECT_EQ(game.music.menuMusic.value().getStatus(), sf::SoundSource::Status::Playing);
    EXPECT_EQ(game.music.gameMusic.value().getStatus(), sf::SoundSource::Status::Stopped);
    EXPECT_EQ(currentSpeed, 321.f);
}
