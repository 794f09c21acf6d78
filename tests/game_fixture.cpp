#include "game_fixture.hpp"

#include <gtest/gtest.h>

GameFixture::GameFixture()
    : GameObjects([this] {
          if (draws.empty()) return 1;
          const int next = draws.front();
          draws.pop_front();
          return next;
      }) {
    EXPECT_TRUE(fontOpened) << "run the tests in assets/";
}

void GameFixture::play() {
    shell.menuSelection = playItem;
    press(sf::Keyboard::Key::Enter);
}
