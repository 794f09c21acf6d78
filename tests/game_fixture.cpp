#include "game_fixture.hpp"

#include "game/field.hpp"
#include "sfml_compat.hpp"

#include <gtest/gtest.h>

namespace {

const sf::Font& opened(sf::Font& font) {
    EXPECT_TRUE(compat::openFont(font, "pixel_font.ttf")) << "run the tests in assets/";
    return font;
}

}  // namespace

GameFixture::GameFixture()
    : texts(opened(font)),
      scene{window, music, art, frameClock, state, shell, texts, hearts, [this] {
                if (draws.empty()) return 1;
                const int next = draws.front();
                draws.pop_front();
                return next;
            }} {
    compat::openWindow(window, static_cast<unsigned>(fieldWidth),
                       static_cast<unsigned>(fieldHeight), "PLUMWICK");
    openSoundtrack(music);
    music.menuMusic.play();
}

void GameFixture::play() {
    shell.menuSelection = playItem;
    press(sf::Keyboard::Key::Enter);
}
