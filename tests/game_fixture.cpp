#include "game_fixture.hpp"

#include <gtest/gtest.h>

int DrawScript::next() {
    if (draws.empty()) return 1;
    const int draw = draws.front();
    draws.pop_front();
    return draw;
}

GameFixture::GameFixture(std::deque<int> startDraws)
    : DrawScript{std::move(startDraws)}, Game([this] { return next(); }) {
    EXPECT_TRUE(started()) << "run the tests in assets/";
}

void GameFixture::play() {
    shell.menuSelection = playItem;
    press(sf::Keyboard::Key::Enter);
}
