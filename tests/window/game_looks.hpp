// What the game's screens look like on a screenshot: the colours and places
// the window tests look for, and the fixture they share.
#pragma once

#include "art/palette.hpp"
#include "frame_times.hpp"
#include "game_window.hpp"
#include "screen.hpp"
#include "ui/texts.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>

namespace window_test {

const Lines allAssets{"pixel_font.ttf", "menu_music.ogg", "game_music.ogg"};

// The game with its frames counted (the frame counter library preloaded).
struct TimedGame {
    TimedGame() : game(allAssets, {}, counter.environment()), frames(counter.path()) {}

    FrameCounterFile counter;
    Game game;
    FrameTimes frames;
};

// Boxes around the texts of PLAY, HOW TO PLAY, VOLUME: ON and EXIT THE GAME.
const Area menuItems[4] = {
    {345, 325, 420, 355}, {285, 385, 470, 415}, {315, 425, 485, 455}, {295, 485, 505, 515}};
const Area volumeLine{250, 425, 600, 455};  // wide enough for "VOLUME: OFF"
const Area instructionsTitle{200, 50, 600, 120};
const Area heartIcons[3] = {{20, 15, 52, 47}, {55, 15, 87, 47}, {90, 15, 122, 47}};
const Area blockBand{0, 100, 800, 160};
const Area barBand{0, 545, 800, 575};
const Area endPanel{200, 240, 650, 480};
const Area winScoreLine{200, 390, 650, 480};

// Each menu item as W (its text all white), G (all grey) or ? (anything else).
inline std::string menuLooks(const sf::Image& image) {
    std::string looks;
    for (const Area& item : menuItems) {
        const int white = ink(image, palette::white, item).count;
        const int grey = ink(image, menuGrey, item).count;
        looks += white > 0 && grey == 0 ? 'W' : grey > 0 && white == 0 ? 'G' : '?';
    }
    return looks;
}

inline auto menuReads(const std::string& looks) {
    return [looks](const sf::Image& image) { return menuLooks(image) == looks; };
}

inline int heartInk(const sf::Image& image, int heart) {
    return ink(image, palette::crimson, heartIcons[heart]).count;
}

inline bool threeHeartsShown(const sf::Image& image) {
    return heartInk(image, 0) > 0 && heartInk(image, 1) > 0 && heartInk(image, 2) > 0;
}

inline int petals(const sf::Image& image) { return ink(image, palette::flowerPetal).count; }

// The ball and the "+100" popup are the only white things that move. The HUD's
// texts stand in rows 21 to 38; the ball (30 rows tall) and the popup (taller
// still) cannot fit between, so a shot of a new game with no white just above
// and below those rows, on the bar or where the menu's items would be shows the
// field's still parts as they are, whenever it is taken.
const Area aboveHud{0, 0, 800, 21};
const Area belowHud{0, 39, 800, 100};

inline bool newGameAtRest(const sf::Image& image) {
    if (!threeHeartsShown(image) || petals(image) > 0) return false;
    for (const Area& area :
         {aboveHud, belowHud, barBand, menuItems[0], menuItems[1], menuItems[2], menuItems[3]}) {
        if (ink(image, palette::white, area).count > 0) return false;
    }
    return true;
}

// The field, whatever happens on it: the bar shows even under the flower.
inline bool fieldShown(const sf::Image& image) {
    return ink(image, palette::crimson, barBand).count > 0;
}

// GAME OVER or YOU WIN!: white text in the middle and nothing of the field, the menu (grey
// items) or the instructions (their title).
inline bool endPanelShown(const sf::Image& image) {
    return heartInk(image, 0) == 0 && heartInk(image, 1) == 0 && heartInk(image, 2) == 0 &&
           petals(image) == 0 && !fieldShown(image) && ink(image, menuGrey).count == 0 &&
           ink(image, palette::white, instructionsTitle).count == 0 &&
           ink(image, palette::white, endPanel).count > 0;
}

inline bool instructionsShown(const sf::Image& image) {
    return ink(image, palette::white, instructionsTitle).count > 0 &&
           ink(image, menuGrey).count == 0;
}

inline bool menuShown(const sf::Image& image) {
    const std::string looks = menuLooks(image);
    return std::count(looks.begin(), looks.end(), 'W') == 1 &&
           std::count(looks.begin(), looks.end(), 'G') == 3;
}

inline bool samePicture(const sf::Image& a, const sf::Image& b) {
    return a.getSize() == b.getSize() &&
           std::equal(a.getPixelsPtr(), a.getPixelsPtr() + a.getSize().x * a.getSize().y * 4,
                      b.getPixelsPtr());
}

// A report from AddressSanitizer or UndefinedBehaviorSanitizer in the game's stderr.
inline bool sanitizerReport(const std::string& stderrText) {
    return stderrText.find("Sanitizer") != std::string::npos ||
           stderrText.find("runtime error:") != std::string::npos;
}

// A key held through XTEST, let go when it leaves scope even if a check fails,
// so that no later test starts with a key down.
class HeldKey {
public:
    HeldKey(Game& game, std::string key) : gameProcess(game), keyName(std::move(key)) {
        gameProcess.keyDown(keyName);
    }
    ~HeldKey() { gameProcess.keyUp(keyName); }
    HeldKey(const HeldKey&) = delete;
    HeldKey& operator=(const HeldKey&) = delete;

private:
    Game& gameProcess;
    std::string keyName;
};

// Window tests skip without an X server.
class RealWindow : public ::testing::Test {
protected:
    void SetUp() override {
        const char* display = std::getenv("DISPLAY");
        if (display == nullptr || *display == '\0') {
            GTEST_SKIP() << "DISPLAY is not set: these tests open the game's window and need an X "
                            "server (e.g. Xvfb :95 -screen 0 1600x1600x24 -noreset, then "
                            "DISPLAY=:95)";
        }
    }
};

}  // namespace window_test
