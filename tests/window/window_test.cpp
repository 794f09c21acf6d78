// The built game in a real X window, driven through XTEST key presses and
// checked on screenshots, pixel by pixel.
#include "art/game_icon.hpp"
#include "follow_ball.hpp"
#include "game_looks.hpp"
#include "x_events.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

using namespace window_test;

namespace {

const Area menuTitle{200, 120, 600, 220};
const Area instructionsBodyArea{0, 130, 800, 600};
const Area scoreTextArea{300, 15, 500, 45};
const Area timerTextArea{650, 10, 800, 45};
const Area endTitle{200, 240, 600, 320};
const Area playAgainLine{200, 325, 600, 365};
const Area gameOverPanel{200, 240, 600, 365};
constexpr int windowPixels = 800 * 600;

// The glyph pixels of a menu item, whatever its colour.
int itemInk(const sf::Image& image, int item) {
    return ink(image, palette::white, menuItems[item]).count +
           ink(image, menuGrey, menuItems[item]).count;
}

double centreX(const Ink& found) { return (found.left + found.right + 1) / 2.0; }

// Holds Left or Right to keep the bar under the ball (the lowest white pixels below the top HUD).
class Autopilot {
public:
    explicit Autopilot(Game& game) : gameProcess(game) {}
    ~Autopilot() { hold(""); }
    Autopilot(const Autopilot&) = delete;
    Autopilot& operator=(const Autopilot&) = delete;

    void follow(const sf::Image& image) {
        const Ink bar = ink(image, palette::crimson, barBand);
        for (int y = 599; y >= 150; --y) {
            const Ink row = ink(image, palette::white, {0, y, 800, y + 1});
            if (row.count == 0) continue;
            const HeldKeys keys = followBall(centreX(row), centreX(bar), 25.f);
            hold(bar.count == 0 ? "" : keys.left ? "Left" : keys.right ? "Right" : "");
            return;
        }
        hold("");
    }

    void hold(const std::string& key) {
        if (key == heldKey) return;
        if (!heldKey.empty()) gameProcess.keyUp(heldKey);
        if (!key.empty()) gameProcess.keyDown(key);
        heldKey = key;
    }

private:
    Game& gameProcess;
    std::string heldKey;
};

// How many of the three life hearts are full.
int fullHearts(const sf::Image& image) {
    int full = 0;
    for (int heart = 0; heart < 3; ++heart) full += heartInk(image, heart) > 0 ? 1 : 0;
    return full;
}

// The sizes of the icons the window should offer: $PLUMWICK_WINDOW_ICON_SIZES
// (under Wine, "16 32": the .exe's small and large ones), else the one the
// game paints for itself.
std::vector<unsigned> expectedIconSizes() {
    const char* given = std::getenv("PLUMWICK_WINDOW_ICON_SIZES");
    if (given == nullptr) return {windowIconSize};
    std::vector<unsigned> sizes;
    std::istringstream words(given);
    for (unsigned size = 0; words >> size;) sizes.push_back(size);
    std::sort(sizes.begin(), sizes.end());
    return sizes;
}

// How the icons the window offers differ from the game's heart at the
// expected sizes; empty when they do not.
std::string iconDifference(unsigned long window) {
    std::vector<unsigned> sizes;
    for (const WindowIcon& icon : windowIcons(window)) {
        sizes.push_back(icon.width);
        const sf::Image heart = paintGameIcon(icon.width);
        if (icon.height != icon.width || heart.getSize().x != icon.width)
            return "an icon of " + std::to_string(icon.width) + "x" + std::to_string(icon.height);
        int differing = 0;
        for (unsigned y = 0; y < icon.height; ++y)
            for (unsigned x = 0; x < icon.width; ++x) {
                const sf::Color want = pixelAt(heart, static_cast<int>(x), static_cast<int>(y));
                const std::uint32_t argb = icon.argb[y * icon.width + x];
                const std::uint32_t rgb = want.r << 16 | want.g << 8 | want.b;
                if (argb >> 24 != want.a || (want.a != 0 && (argb & 0xffffff) != rgb)) ++differing;
            }
        if (differing > 0)
            return std::to_string(differing) + " pixels of the " + std::to_string(icon.width) +
                   " px icon differ from the heart";
    }
    std::sort(sizes.begin(), sizes.end());
    sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());
    if (sizes == expectedIconSizes()) return "";
    if (sizes.empty()) return "no icon";
    std::string shown = "icons of";
    for (const unsigned size : sizes) shown += " " + std::to_string(size);
    return shown + " px";
}

// How late the game under test may learn of a key press, from
// $PLUMWICK_KEY_PRESS_LAG (seconds). Wine's GetAsyncKeyState answers "not
// pressed" from a cache for up to 50 ms; a Linux game asks the X server.
double pressLag() {
    const char* lag = std::getenv("PLUMWICK_KEY_PRESS_LAG");
    return lag != nullptr ? std::atof(lag) : 0.0;
}

// Right held for 0.4 s: the bar, still before, must run at 300 px/s. The
// game reads the arrows once a frame and moves the bar by the time since the
// frame before began, so the move counts from at most two frames before the
// press and stops at most two frames before the release: read from the game's
// own swaps, however slow the machine or qemu. A pixel more for the rasteriser
// at a fractional position, where it may also draw the bar a pixel wider; the
// ball may hide part of its border (the shot is taken again until it is
// whole). Returns the shot after the hold, or nothing if a ball dropped
// meanwhile (which puts the bar back in the middle).
std::optional<Shot> holdRight(TimedGame& timed, const Ink& barAtStart) {
    Game& game = timed.game;
    const auto barWhole = [&](const sf::Image& image) {
        return std::abs(ink(image, palette::crimson, barBand).width() - barAtStart.width()) <= 1;
    };
    const Shot idle = game.shootUntil(barWhole, 1);
    EXPECT_EQ(ink(idle.image, palette::crimson, barBand).left, barAtStart.left)
        << "the bar moved by itself; " << idle.file;
    const auto downSent = Clock::now();
    game.keyDown("Right");
    const auto downDone = Clock::now();
    sleepFor(0.4);
    const auto upSent = Clock::now();
    game.keyUp("Right");
    const auto upDone = Clock::now();
    EXPECT_TRUE(timed.frames.waitForSwapsAfter(upDone, 2, 5)) << "no frame after the release";
    const Shot moved = game.shootUntil(barWhole, 1);
    if (fullHearts(moved.image) != fullHearts(idle.image)) return std::nullopt;
    const Ink barMoved = ink(moved.image, palette::crimson, barBand);
    EXPECT_EQ(barMoved.top, 550);
    const std::optional<Clock::time_point> beforeDown = timed.frames.secondLastSwapBefore(downSent);
    const std::optional<Clock::time_point> beforeUp = timed.frames.secondLastSwapBefore(upSent);
    if (!beforeDown || !beforeUp) {
        ADD_FAILURE() << "the game's frames were not recorded";
        return moved;
    }
    const auto pressSeen = downDone + std::chrono::duration_cast<Clock::duration>(
                                          std::chrono::duration<double>(pressLag()));
    EXPECT_GE(barMoved.left - barAtStart.left, 300 * secondsBetween(pressSeen, *beforeUp) - 1)
        << moved.file;
    EXPECT_LE(barMoved.left - barAtStart.left, 300 * secondsBetween(*beforeDown, upDone) + 1)
        << moved.file;
    return moved;
}

// The bar stays put until an arrow is held, then runs at 300 px/s, from the
// field shown in `field`. A busy machine may take its shots late enough for
// the ball to drop during the hold: then the hold is tried again, from the
// middle, up to three times. Returns the shot after the hold.
Shot holdRightAndCheckTheBar(TimedGame& timed, const sf::Image& field) {
    Ink barAtStart = ink(field, palette::crimson, barBand);
    for (int hold = 0; hold < 3; ++hold) {
        if (const std::optional<Shot> moved = holdRight(timed, barAtStart)) return *moved;
        const auto ballOff = [](const sf::Image& image) {
            return ink(image, palette::white, barBand).count == 0;
        };
        barAtStart = ink(timed.game.shootUntil(ballOff, 3).image, palette::crimson, barBand);
    }
    ADD_FAILURE() << "a ball dropped during each of three holds";
    return timed.game.shoot();
}

class PlumwickWindow : public RealWindow {};

TEST_F(PlumwickWindow, MenuHighlightInstructionsFieldAndExit) {
    TimedGame timed;
    Game& game = timed.game;
    ASSERT_TRUE(game.waitForWindow()) << "no window titled PLUMWICK";
    std::string geometry;
    run("xdotool getwindowgeometry " + std::to_string(game.window()), &geometry);
    EXPECT_NE(geometry.find("Geometry: 800x600"), std::string::npos) << geometry;
    // Title bar, taskbar, task switcher: the heart, once the window has it.
    const auto start = Clock::now();
    while (!iconDifference(game.window()).empty() && secondsSince(start) < 10) sleepFor(0.05);
    EXPECT_EQ(iconDifference(game.window()), "") << "the window's icon";

    const Shot menu = game.shootUntil(menuReads("WGGG"), 5);
    ASSERT_EQ(menuLooks(menu.image), "WGGG") << "PLAY highlighted at start; " << menu.file;
    keepForReadme(menu, "menu.png");
    EXPECT_EQ(ink(menu.image, palette::white, menuItems[0]).left, 350);
    EXPECT_EQ(ink(menu.image, menuGrey, menuItems[1]).left, 290);
    EXPECT_NEAR(centreX(ink(menu.image, menuGrey, menuItems[2])), 400, 1);
    EXPECT_NEAR(centreX(ink(menu.image, menuGrey, menuItems[3])), 400, 1);
    EXPECT_EQ(ink(menu.image, palette::white, menuTitle).left, 230);
    EXPECT_EQ(ink(menu.image, palette::white, instructionsTitle).count, 0);

    // The highlight follows the arrows and wraps; the texts themselves stay put.
    const std::pair<std::string, std::string> steps[] = {
        {"Down", "GWGG"}, {"Up", "WGGG"}, {"Up", "GGGW"}, {"Down", "WGGG"}, {"Down", "GWGG"}};
    for (const auto& [key, looks] : steps) {
        game.press(key);
        const Shot shot = game.shootUntil(menuReads(looks), 3);
        ASSERT_EQ(menuLooks(shot.image), looks) << "after " << key << "; " << shot.file;
        for (int item = 0; item < 4; ++item) {
            EXPECT_EQ(itemInk(shot.image, item), itemInk(menu.image, item))
                << "item " << item << " after " << key;
        }
    }

    game.press("Return");  // HOW TO PLAY
    const Shot instructions = game.shootUntil(
        [](const sf::Image& image) {
            return ink(image, palette::white, instructionsTitle).count > 0;
        },
        3);
    EXPECT_EQ(ink(instructions.image, palette::white, instructionsTitle).left, 230)
        << instructions.file;
    EXPECT_EQ(ink(instructions.image, palette::white, instructionsBodyArea).left, 100)
        << instructions.file;
    EXPECT_EQ(ink(instructions.image, menuGrey).count, 0)
        << "menu items on the instructions page; " << instructions.file;
    keepForReadme(instructions, "instructions.png");

    game.press("Escape");
    const Shot back = game.shootUntil(menuShown, 3);
    ASSERT_TRUE(menuShown(back.image)) << menuLooks(back.image) << "; " << back.file;
    EXPECT_EQ(ink(back.image, palette::white, instructionsTitle).count, 0) << back.file;
    for (size_t item = menuLooks(back.image).find('W'); item > 0; --item) game.press("Up");
    ASSERT_EQ(menuLooks(game.shootUntil(menuReads("WGGG"), 3).image), "WGGG");

    game.press("Return");  // PLAY
    const Shot field = game.shootUntil(newGameAtRest, 5);
    ASSERT_TRUE(threeHeartsShown(field.image)) << field.file;
    EXPECT_TRUE(newGameAtRest(field.image))
        << "white on the HUD's edges, the bar or the menu's places for 5 s; " << field.file;
    const Ink firstHeart = ink(field.image, palette::crimson, heartIcons[0]);
    for (int heart = 0; heart < 3; ++heart) {
        const Ink icon = ink(field.image, palette::crimson, heartIcons[heart]);
        EXPECT_EQ(icon.left, 20 + 35 * heart) << "heart " << heart;
        EXPECT_EQ(icon.top, firstHeart.top) << "heart " << heart;
        EXPECT_EQ(icon.count, firstHeart.count) << "heart " << heart;
    }
    for (const sf::Color& colour :
         {palette::blockFrame, palette::blockInside, palette::diamondOutline,
          palette::diamondInside, palette::trapezoidEdge, palette::trapezoidInside,
          palette::heartRim, palette::heartInside}) {
        EXPECT_GT(ink(field.image, colour).count, 0)
            << "no (" << +colour.r << "," << +colour.g << "," << +colour.b << ") on the field; "
            << field.file;
    }
    EXPECT_NEAR(centreX(ink(field.image, palette::white, scoreTextArea)), 400, 1)
        << "PUNTI centred; " << field.file;
    EXPECT_EQ(ink(field.image, palette::white, timerTextArea).left, 700) << field.file;
    const Ink bar = ink(field.image, palette::crimson, barBand);
    EXPECT_EQ(bar.top, 550);
    EXPECT_EQ(bar.height(), 20);
    EXPECT_NEAR(centreX(bar), 400, 1);
    EXPECT_EQ(menuLooks(field.image).find_first_of("WG"), std::string::npos)
        << "menu items on the field";
    holdRightAndCheckTheBar(timed, field.image);
    // A few seconds of play, shorter than the ball's first fall to the bar.
    sleepFor(2.5);
    const Shot played = game.shoot();
    EXPECT_TRUE(fieldShown(played.image)) << played.file;
    EXPECT_FALSE(samePicture(played.image, field.image)) << "the field stood still";

    game.press("Escape");
    const Shot menuAgain = game.shootUntil(menuReads("WGGG"), 3);
    ASSERT_EQ(menuLooks(menuAgain.image), "WGGG")
        << "back on the menu with PLAY highlighted; " << menuAgain.file;
    game.press("Up");
    ASSERT_EQ(menuLooks(game.shootUntil(menuReads("GGGW"), 3).image), "GGGW");
    game.press("Return");  // EXIT THE GAME
    EXPECT_EQ(game.waitForExit(5), 0);

    const Lines out = game.stdoutLines();
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(out.front(), "PROGRAMMA AVVIATO!");
    EXPECT_EQ(game.stderrLines(), Lines{});
}

TEST_F(PlumwickWindow, CloseRequestEndsTheGameWithStatus0) {
    // On the menu, on the instructions page, during a game.
    const std::pair<std::vector<std::string>, bool (*)(const sf::Image&)> screens[] = {
        {{}, menuShown}, {{"Down", "Return"}, instructionsShown}, {{"Return"}, threeHeartsShown}};
    for (const auto& [keys, shown] : screens) {
        SCOPED_TRACE(keys.size());
        Game game(allAssets);
        ASSERT_TRUE(game.waitForWindow()) << "no window titled PLUMWICK";
        ASSERT_EQ(menuLooks(game.shootUntil(menuReads("WGGG"), 5).image), "WGGG");
        for (const std::string& key : keys) game.press(key);
        ASSERT_TRUE(shown(game.shootUntil(shown, 3).image));
        sleepFor(0.5);
        game.requestClose();
        EXPECT_EQ(game.waitForExit(5), 0);
    }
}

TEST_F(PlumwickWindow, PlayedGameMovesBloomsEndsAndRestarts) {
    TimedGame timed;
    Game& game = timed.game;
    ASSERT_TRUE(game.waitForWindow()) << "no window titled PLUMWICK";
    ASSERT_EQ(menuLooks(game.shootUntil(menuReads("WGGG"), 5).image), "WGGG");
    // The game starts between the key press and the end of the first shot that shows it.
    auto play = Clock::now();
    game.press("Return");
    const Shot first = game.shootUntil(newGameAtRest, 3);
    ASSERT_TRUE(newGameAtRest(first.image)) << first.file;
    auto playSeen = first.end;
    keepForReadme(first, "playing.png");
    const int fullHeart = heartInk(first.image, 0);

    // Obstacles glide sideways at 70-100 px/s; the block (72x36 from (364,110)) is far from the
    // walls yet.
    sleepFor(0.5);
    const Shot later = game.shoot();
    const Ink blockThen = ink(first.image, palette::blockFrame, blockBand);
    const Ink blockNow = ink(later.image, palette::blockFrame, blockBand);
    for (const Ink& block : {blockThen, blockNow}) {
        EXPECT_EQ(block.width(), 72);
        EXPECT_EQ(block.height(), 36);
        EXPECT_EQ(block.top, 110);
    }
    EXPECT_LE(std::abs(blockThen.left - 364), 100 * secondsBetween(play, first.end) + 2);
    const int glided = std::abs(blockNow.left - blockThen.left);
    EXPECT_GE(glided, 70 * secondsBetween(first.end, later.begin) - 2)
        << first.file << " " << later.file;
    EXPECT_LE(glided, 100 * secondsBetween(first.begin, later.end) + 2)
        << first.file << " " << later.file;
    for (const sf::Color& colour :
         {palette::trapezoidEdge, palette::diamondOutline, palette::heartRim}) {
        EXPECT_NE(ink(first.image, colour).left, ink(later.image, colour).left)
            << "(" << +colour.r << "," << +colour.g << "," << +colour.b << ") did not move";
    }

    const Ink barAtStart = ink(first.image, palette::crimson, barBand);
    const Shot moved = holdRightAndCheckTheBar(timed, first.image);

    // Keep the ball in play up to the first flower, 15 s into the game.
    Shot beforeFlower = moved;
    Shot flower = moved;
    {
        Autopilot pilot(game);
        bool kept = false;
        bool playedAgain = false;
        for (;;) {
            Shot shot = game.shoot();
            if (petals(shot.image) > 0) {
                flower = shot;
                break;
            }
            if (endPanelShown(shot.image) && !playedAgain) {
                // On a loaded machine the autopilot, steering from screenshots, can
                // lag past three balls: a new game (Space) has its own flower at 15 s.
                playedAgain = true;
                play = Clock::now();
                game.keyDown("space");
                playSeen = game.shootUntil(threeHeartsShown, 3).end;
                game.keyUp("space");
                continue;
            }
            ASSERT_FALSE(endPanelShown(shot.image))
                << "the game ended twice before its first flower; " << shot.file;
            ASSERT_LT(secondsSince(play), 19) << "no flower 19 s after PLAY; " << shot.file;
            if (!kept && secondsSince(play) > 4) {
                keepForReadme(shot, "game.png");
                kept = true;
            }
            pilot.follow(shot.image);
            beforeFlower = shot;
        }
    }
    // Gliding for 15 s at 70+ px/s they would be long gone had they not bounced off the walls.
    for (const sf::Color& colour : {palette::blockInside, palette::trapezoidInside,
                                    palette::diamondInside, palette::heartInside}) {
        EXPECT_GT(ink(beforeFlower.image, colour).count, 0)
            << "(" << +colour.r << "," << +colour.g << "," << +colour.b << ") left the field; "
            << beforeFlower.file;
    }
    EXPECT_EQ(ink(beforeFlower.image, palette::blockFrame, blockBand).top, 110)
        << beforeFlower.file;

    EXPECT_GT(petals(flower.image) * 2, windowPixels)
        << "the flower covers most of the window; " << flower.file;
    EXPECT_GE(secondsBetween(play, flower.end), 15.0 - 0.05) << "flower before 15 s of play";
    EXPECT_LE(secondsBetween(playSeen, beforeFlower.begin), 15.0 + 0.5) << "flower late";

    // It lasts 3 s (unless the game is lost under it).
    Shot lastFlower = flower;
    Shot afterFlower = flower;
    while (secondsBetween(flower.begin, afterFlower.end) < 6) {
        afterFlower = game.shoot();
        if (petals(afterFlower.image) == 0) break;
        lastFlower = afterFlower;
    }
    ASSERT_EQ(petals(afterFlower.image), 0) << "the flower stayed over 6 s; " << afterFlower.file;
    if (!endPanelShown(afterFlower.image)) {
        EXPECT_LE(secondsBetween(flower.end, lastFlower.begin), 3.0 + 0.05) << "flower too long";
        EXPECT_GE(secondsBetween(beforeFlower.begin, afterFlower.end), 3.0 - 0.05)
            << "flower too short";
    }

    // Left alone, the ball drops three times, or the 60 s run out.
    const Shot end = game.shootUntil(endPanelShown, 75 - secondsSince(play));
    ASSERT_TRUE(endPanelShown(end.image)) << "no end panel within 75 s of PLAY; " << end.file;
    const bool won = ink(end.image, palette::white, winScoreLine).count > 0;
    keepForReadme(end, won ? "win.png" : "game_over.png");
    EXPECT_EQ(ink(end.image, palette::white, endTitle).left, won ? 250 : 230) << end.file;
    EXPECT_EQ(ink(end.image, palette::white, playAgainLine).left, 260) << end.file;
    if (won) {
        EXPECT_EQ(ink(end.image, palette::white, winScoreLine).left, 250) << end.file;
    }
    EXPECT_EQ(nonBlackOutside(end.image, won ? endPanel : gameOverPanel), 0)
        << "the end panel shows only its texts; " << end.file;

    // Holding Space starts a new game: the field with three full hearts.
    game.keyDown("space");
    sleepFor(0.5);
    game.keyUp("space");
    const Shot again = game.shootUntil(newGameAtRest, 3);
    ASSERT_TRUE(newGameAtRest(again.image)) << again.file;
    for (int heart = 0; heart < 3; ++heart)
        EXPECT_EQ(heartInk(again.image, heart), fullHeart) << "heart " << heart;
    EXPECT_GT(ink(again.image, palette::blockFrame, blockBand).count, 0) << again.file;

    // Held long enough, the bar stops at a side wall. Left acts only while x > 0 and Right while
    // x < 650, and the move is not clamped, so the last frame's step may carry it a little past
    // the wall (off the window), where it stops.
    // A dropped ball puts it back in the middle, so hold on until two shots agree.
    for (const std::string key : {"Left", "Right"}) {
        Ink previous;
        const auto stopped = [&](const sf::Image& image) {
            const Ink bar = ink(image, palette::crimson, barBand);
            const bool same =
                bar.count > 0 && bar.left == previous.left && bar.right == previous.right;
            previous = bar;
            return same;
        };
        game.keyDown(key);
        sleepFor(0.5);
        const Shot atWall = game.shootUntil(stopped, 6);
        game.keyUp(key);
        const Ink wallBar = ink(atWall.image, palette::crimson, barBand);
        ASSERT_GT(wallBar.count, 0) << key << "; " << atWall.file;
        if (key == "Left") {
            EXPECT_LE(wallBar.left, barAtStart.left - 325)
                << "bar at the left wall; " << atWall.file;
            EXPECT_LT(wallBar.right, barAtStart.right - 325 + 60)
                << "a frame's step past it at most";
        } else {
            EXPECT_GE(wallBar.right, barAtStart.right + 325)
                << "bar at the right wall; " << atWall.file;
            EXPECT_GT(wallBar.left, barAtStart.left + 325 - 60) << "a frame's step past it at most";
        }
    }

    game.requestClose();
    EXPECT_EQ(game.waitForExit(5), 0);
}

}  // namespace
