#include "game_fixture.hpp"

#include <gtest/gtest.h>

TEST(Smoke, BuildsTheGame) {
    GameFixture game;
    game.play();
    game.frame(0.016f);
    EXPECT_EQ(game.shell.currentScreen, Screen::Playing);
}
