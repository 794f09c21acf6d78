// The key table of every screen, the volume switch and which music plays.

#include "game_fixture.hpp"

#include <SFML/System/Time.hpp>

#include <functional>

#include <gtest/gtest.h>

using Key = sf::Keyboard::Key;
using Status = sf::SoundSource::Status;

namespace {

// Which tracks are playing: (menu, game).
std::pair<bool, bool> playing(const GameFixture& game) {
    return {game.music.menuMusic.value().getStatus() == Status::Playing,
            game.music.gameMusic.value().getStatus() == Status::Playing};
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

TEST(Screens, MusicFollowsEveryMoveInEveryOrder) {
    GameFixture game;
    sf::Music& menu = game.music.menuMusic.value();
    sf::Music& gameMusic = game.music.gameMusic.value();
    const auto select = [&](int item) {
        return [&game, item] {
            game.shell.menuSelection = item;
            game.press(Key::Enter);
        };
    };
    const auto escape = [&] { game.press(Key::Escape); };
    const auto restart = [&] {
        game.state.gameOver = true;
        game.frame(0.01f, {false, false, true});
    };
    // After each move: which tracks play, and whether the one playing started
    // from its beginning or carried on from 10 s in.
    struct Move {
        std::function<void()> make;
        bool menuPlays, gamePlays, fromItsBeginning;
    };
    const Move moves[] = {
        {select(howToPlayItem), true, false, false},
        {escape, true, false, true},  // the playing menu music starts again
        {select(playItem), false, true, true},
        {escape, false, true, false},  // the game music plays on over the menu
        {select(volumeItem), false, true, false},
        {select(volumeItem), false, true, false},
        {select(howToPlayItem), false, true, false},
        {escape, true, false, true},
        {select(playItem), false, true, true},  // after a stop: not resumed
        {escape, false, true, false},
        {select(playItem), false, true, true},
        {restart, false, true, false},  // a restart with Space changes no music
        {escape, false, true, false},
        {restart, false, true, false},
    };
    EXPECT_EQ(playing(game), std::make_pair(true, false));  // the start-up
    EXPECT_LT(menu.getPlayingOffset(), sf::seconds(1.f));
    for (std::size_t i = 0; i < std::size(moves); ++i) {
        for (sf::Music* track : {&menu, &gameMusic})
            if (track->getStatus() == Status::Playing) track->setPlayingOffset(sf::seconds(10.f));
        moves[i].make();
        EXPECT_EQ(playing(game), std::make_pair(moves[i].menuPlays, moves[i].gamePlays)) << i;
        for (sf::Music* track : {&menu, &gameMusic}) {
            if (track->getStatus() == Status::Playing)
                EXPECT_EQ(track->getPlayingOffset() < sf::seconds(1.f), moves[i].fromItsBeginning)
                    << i;
            else
                EXPECT_EQ(track->getStatus(), Status::Stopped) << i;
        }
    }
}

TEST(Screens, ExitTheGameClosesTheWindow) {
    GameFixture game;
    game.press(Key::Up);
    EXPECT_EQ(game.shell.menuSelection, exitItem);
    game.press(Key::Enter);
    EXPECT_FALSE(game.window.isOpen());  // the frame still runs to its end: Frame.*
}
