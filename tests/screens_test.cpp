// The key table of every screen, the volume switch and which music plays.

#include "app/render.hpp"
#include "game_fixture.hpp"
#include "sfml_compat.hpp"
#include "x_events.hpp"

#include <SFML/System/Time.hpp>

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

using Key = sf::Keyboard::Key;
using Status = sf::SoundSource::Status;

namespace {

// Which tracks are playing: (menu, game).
std::pair<bool, bool> playing(const GameFixture& game) {
    return {game.music.menuMusic.value().getStatus() == Status::Playing,
            game.music.gameMusic.value().getStatus() == Status::Playing};
}

// Whether `move` starts `track`, already playing well into itself, again from
// its beginning.
template <typename Move>
bool fromItsBeginning(sf::Music& track, Move move) {
    track.setPlayingOffset(sf::seconds(10.f));
    move();
    return track.getStatus() == Status::Playing && track.getPlayingOffset() < sf::seconds(1.f);
}

}  // namespace

TEST(Screens, MenuSelectionWrapsBothWays) {
    GameFixture game;
    EXPECT_EQ(game.shell.currentScreen, Screen::Menu);
    EXPECT_EQ(game.shell.menuSelection, 0);
    const std::pair<Key, int> steps[] = {{Key::Down, 1},   {Key::Down, 2}, {Key::Down, 3},
                                         {Key::Down, 0},   {Key::Up, 3},   {Key::Up, 2},
                                         {Key::Escape, 2}, {Key::Left, 2}, {Key::Space, 2}};
    for (const auto& [key, selection] : steps) {
        game.press(key);
        EXPECT_EQ(game.shell.menuSelection, selection);
        EXPECT_EQ(game.shell.currentScreen, Screen::Menu);  // Escape does nothing here
    }
}

TEST(Screens, InstructionsAndPlayingOnlyAnswerEscape) {
    GameFixture game;
    game.shell.menuSelection = howToPlayItem;
    game.press(Key::Enter);
    EXPECT_EQ(game.shell.currentScreen, Screen::Instructions);
    for (Key key : {Key::Enter, Key::Up, Key::Down}) game.press(key);
    EXPECT_EQ(game.shell.currentScreen, Screen::Instructions);
    EXPECT_EQ(game.shell.menuSelection, howToPlayItem);
    game.press(Key::Escape);
    EXPECT_EQ(game.shell.currentScreen, Screen::Menu);
    EXPECT_EQ(game.shell.menuSelection, howToPlayItem);  // the highlight stays

    game.play();
    for (Key key : {Key::Enter, Key::Up, Key::Down}) game.press(key);
    EXPECT_EQ(game.shell.currentScreen, Screen::Playing);
    EXPECT_EQ(game.shell.menuSelection, playItem);
    // Escape and Enter in one frame: back on the menu, Enter plays again.
    game.press(Key::Escape);
    EXPECT_EQ(game.shell.currentScreen, Screen::Menu);
    game.press(Key::Enter);
    EXPECT_EQ(game.shell.currentScreen, Screen::Playing);
    EXPECT_TRUE(game.window.isOpen());
}

TEST(Screens, PlayResumesTheGameAndRestartsOnlyItsClock) {
    GameFixture game;
    game.play();
    game.frame(0.02f, {false, true, false});
    game.state.score = 700;
    game.state.lives = 2;
    game.state.flowerTimer = 9.f;
    game.state.obstacleVelocity[2] = -90.f;
    game.state.playClock.holdAt(30.f);
    const sf::Vector2f ball = game.art.ball.sprite.getPosition();
    const sf::Vector2f bar = game.art.bar.sprite.getPosition();
    const sf::Vector2f velocity = game.state.ballVelocity;
    std::array<sf::Vector2f, obstacleCount> obstacles;
    for (std::size_t i = 0; i < obstacleCount; ++i)
        obstacles[i] = game.art.obstacles()[i]->sprite.getPosition();
    const std::array<float, 4> obstacleVelocity = game.state.obstacleVelocity;

    game.press(Key::Escape);
    game.frame(0.5f);  // the game holds still on the menu
    game.press(Key::Enter);
    EXPECT_EQ(game.state.score, 700);
    EXPECT_EQ(game.state.lives, 2);
    EXPECT_EQ(game.state.flowerTimer, 9.f);
    EXPECT_EQ(game.art.ball.sprite.getPosition(), ball);
    EXPECT_EQ(game.art.bar.sprite.getPosition(), bar);
    EXPECT_EQ(game.state.ballVelocity, velocity);
    for (std::size_t i = 0; i < obstacleCount; ++i)
        EXPECT_EQ(game.art.obstacles()[i]->sprite.getPosition(), obstacles[i]) << i;
    EXPECT_EQ(game.state.obstacleVelocity, obstacleVelocity);
    EXPECT_LT(game.state.playClock.elapsedSeconds(), 1.f);
}

TEST(Screens, VolumeSwitchesLevelsAndLabelOnly) {
    GameFixture game;
    const sf::Vector2f origin = game.texts.volumeItemText.getOrigin();
    game.shell.menuSelection = volumeItem;
    game.press(Key::Enter);
    EXPECT_FALSE(game.shell.volumeOn);
    EXPECT_EQ(game.texts.volumeItemText.getString().toAnsiString(), "VOLUME: OFF");
    EXPECT_EQ(game.music.menuMusic.value().getVolume(), 0.f);
    EXPECT_EQ(game.music.gameMusic.value().getVolume(), 0.f);
    EXPECT_EQ(playing(game), std::make_pair(true, false));  // still playing, silently
    EXPECT_EQ(game.texts.volumeItemText.getOrigin(), origin);
    EXPECT_EQ(game.shell.currentScreen, Screen::Menu);

    game.press(Key::Enter);
    EXPECT_TRUE(game.shell.volumeOn);
    EXPECT_EQ(game.texts.volumeItemText.getString().toAnsiString(), "VOLUME: ON");
    EXPECT_FLOAT_EQ(game.music.menuMusic.value().getVolume(), 40.f);
    EXPECT_FLOAT_EQ(game.music.gameMusic.value().getVolume(), 50.f);
    EXPECT_EQ(playing(game), std::make_pair(true, false));

    // Volume off, then PLAY: the game music starts, silently.
    game.press(Key::Enter);
    game.play();
    EXPECT_EQ(playing(game), std::make_pair(false, true));
    EXPECT_EQ(game.music.gameMusic.value().getVolume(), 0.f);
}

TEST(Screens, MusicFollowsTheMoves) {
    GameFixture game;
    EXPECT_EQ(playing(game), std::make_pair(true, false));  // start-up
    game.play();
    EXPECT_EQ(playing(game), std::make_pair(false, true));
    game.press(Key::Escape);  // the game music plays on over the menu
    EXPECT_EQ(playing(game), std::make_pair(false, true));
    game.shell.menuSelection = howToPlayItem;
    game.press(Key::Enter);
    EXPECT_EQ(playing(game), std::make_pair(false, true));
    game.press(Key::Escape);
    EXPECT_EQ(playing(game), std::make_pair(true, false));
    // HOW TO PLAY again, then back: the playing menu music starts again from
    // its beginning; so does the game music at PLAY after Escape.
    game.press(Key::Enter);
    EXPECT_TRUE(fromItsBeginning(game.music.menuMusic.value(), [&] { game.press(Key::Escape); }));
    EXPECT_EQ(playing(game), std::make_pair(true, false));
    game.play();
    game.press(Key::Escape);
    EXPECT_TRUE(fromItsBeginning(game.music.gameMusic.value(), [&] { game.play(); }));
    // A restart with Space changes no music.
    game.state.gameOver = true;
    game.frame(0.01f, {false, false, true});
    EXPECT_FALSE(game.state.gameOver);
    EXPECT_EQ(playing(game), std::make_pair(false, true));
}

TEST(Screens, EventsQueuedBehindACloseRequestAreNotHandled) {
    GameFixture game;
    const auto window = static_cast<unsigned long>(compat::nativeHandle(game.window));
    const auto handleWhenQueued = [&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        handleEvents(game);
    };
    ASSERT_TRUE(sendKeyPress(window, "Down"));
    handleWhenQueued();
    ASSERT_EQ(game.shell.menuSelection, howToPlayItem);  // a key alone is handled
    ASSERT_TRUE(sendCloseRequest(window));
    ASSERT_TRUE(sendKeyPress(window, "Down"));
    handleWhenQueued();
    EXPECT_FALSE(game.window.isOpen());
    EXPECT_EQ(game.shell.menuSelection, howToPlayItem);
}

TEST(Screens, ExitTheGameClosesTheWindow) {
    GameFixture game;
    game.press(Key::Up);
    EXPECT_EQ(game.shell.menuSelection, exitItem);
    game.state.scorePopup.active = true;  // a "+100" still rising
    game.press(Key::Enter);
    EXPECT_FALSE(game.window.isOpen());
    // The rest of the frame still runs in full against the closed window,
    // whose drawing shows nothing.
    game.frame(0.1f);
    EXPECT_GT(game.state.scorePopup.elapsed, 0.f);
    renderFrame(game);
    EXPECT_FALSE(game.window.isOpen());
}
