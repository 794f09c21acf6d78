// The game in its real window, disturbed from outside: stopped for seconds,
// flooded with key presses, stretched and squeezed. (Held keys and the focus
// are the unit tests' Frame.HeldKeysAreReadFromTheKeyboardOnlyWithTheFocus.)
#include "game_looks.hpp"
#include "x_events.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include <signal.h>

using namespace window_test;

namespace {

// The state letter of /proc/PID/stat: R, S, T (stopped)...
char processState(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto end = stat.rfind(") ");
    return end == std::string::npos || end + 2 >= stat.size() ? '?' : stat[end + 2];
}

// SIGSTOP, and back once the process has stopped.
bool stopGame(Game& game) {
    if (kill(game.pid(), SIGSTOP) != 0) return false;
    const auto start = Clock::now();
    while (processState(game.pid()) != 'T') {
        if (secondsSince(start) > 5) return false;
        sleepFor(0.01);
    }
    return true;
}

bool continueGame(Game& game) { return kill(game.pid(), SIGCONT) == 0; }

std::string times(int count, const std::string& key) {
    std::string keys;
    for (int i = 0; i < count; ++i) keys += key + " ";
    return keys;
}

// Compares a shot of the stretched window with one of the 800x600 window,
// inside `area` (in 800x600 pixels). Each pixel of the stretched shot shows
// the picture at its centre mapped back to 800x600; where the 800x600 shot is
// of one colour all around that place (3x3 pixels), the stretched shot must
// have exactly that colour. Elsewhere (edges of shapes, smoothed glyphs) it
// is left out.
struct Stretch {
    int compared = 0;
    int differing = 0;
};

Stretch compareStretched(const sf::Image& original, const sf::Image& stretched, Area area) {
    Stretch result;
    const int width = static_cast<int>(stretched.getSize().x);
    const int height = static_cast<int>(stretched.getSize().y);
    for (int y = 0; y < height; ++y) {
        const int v = static_cast<int>(std::floor((y + 0.5) * 600 / height));
        if (v < std::max(1, area.y0) || v >= std::min(599, area.y1)) continue;
        for (int x = 0; x < width; ++x) {
            const int u = static_cast<int>(std::floor((x + 0.5) * 800 / width));
            if (u < std::max(1, area.x0) || u >= std::min(799, area.x1)) continue;
            const sf::Color colour = pixelAt(original, u, v);
            bool uniform = true;
            for (int dy = -1; dy <= 1 && uniform; ++dy)
                for (int dx = -1; dx <= 1 && uniform; ++dx)
                    uniform = pixelAt(original, u + dx, v + dy) == colour;
            if (!uniform) continue;
            ++result.compared;
            if (pixelAt(stretched, x, y) != colour) ++result.differing;
        }
    }
    return result;
}

// The block (frame and inside) as a box, anywhere in the shot: a stretched
// window's shot is larger than 800x600.
Ink block(const sf::Image& image) {
    const Area shot{0, 0, static_cast<int>(image.getSize().x), static_cast<int>(image.getSize().y)};
    Ink frame = ink(image, palette::blockFrame, shot);
    const Ink inside = ink(image, palette::blockInside, shot);
    if (frame.count == 0) return inside;
    if (inside.count > 0) {
        frame.left = std::min(frame.left, inside.left);
        frame.top = std::min(frame.top, inside.top);
        frame.right = std::max(frame.right, inside.right);
        frame.bottom = std::max(frame.bottom, inside.bottom);
    }
    return frame;
}

class Disturbances : public RealWindow {};

TEST_F(Disturbances, AFiveSecondStallIsOneLongFrameAndTheGameGoesOn) {
    Game game(allAssets);
    ASSERT_TRUE(game.waitForWindow()) << "no window titled PLUMWICK";
    ASSERT_EQ(menuLooks(game.shootUntil(menuReads("WGGG"), 5).image), "WGGG");
    game.press("Return");  // PLAY
    ASSERT_TRUE(threeHeartsShown(game.shootUntil(threeHeartsShown, 3).image));
    sleepFor(1);

    ASSERT_TRUE(stopGame(game)) << "the game did not stop";
    const auto stopped = Clock::now();
    const Shot frozen = game.shoot();
    sleepFor(5 - secondsSince(stopped));
    const Shot stillFrozen = game.shoot();
    ASSERT_TRUE(continueGame(game));
    EXPECT_TRUE(samePicture(frozen.image, stillFrozen.image))
        << "the picture changed while the game was stopped; " << frozen.file << " "
        << stillFrozen.file;
    ASSERT_TRUE(fieldShown(frozen.image)) << frozen.file;

    // One frame five seconds long: the walls set back whatever flew past them, and then
    // the game goes on (it may have lost a ball in that frame, not the game).
    const Shot after = game.shootUntil(
        [&](const sf::Image& image) { return !samePicture(image, frozen.image); }, 5);
    ASSERT_FALSE(samePicture(after.image, frozen.image)) << "no frame after SIGCONT";
    const Shot later = game.shootUntil(
        [&](const sf::Image& image) { return !samePicture(image, after.image); }, 5);
    for (const Shot* shot : {&after, &later}) {
        ASSERT_TRUE(fieldShown(shot->image)) << shot->file;
        if (petals(shot->image) > 0) continue;  // the flower hides them
        for (const sf::Color& colour : {palette::blockInside, palette::trapezoidInside,
                                        palette::diamondInside, palette::heartInside}) {
            EXPECT_GT(ink(shot->image, colour).count, 0)
                << "(" << +colour.r << "," << +colour.g << "," << +colour.b << ") left the field; "
                << shot->file;
        }
    }
    EXPECT_FALSE(samePicture(after.image, later.image)) << "the game stood still after SIGCONT";

    game.requestClose();
    EXPECT_EQ(game.waitForExit(10), 0);
    EXPECT_EQ(game.stderrLines(), Lines{});
    EXPECT_FALSE(sanitizerReport(game.stderrText())) << game.stderrText();
}

// Keys sent while the game is stopped wait for it in the X server, which hands
// them to its connection as fast as that takes them: a few hundred events at a
// time, and more at least once a frame (every frame's swap is a round trip to
// the server). So a flood of a thousand keys reaches the game within a few
// frames, however slow the machine, and a game that handles every key it
// has been given is through it well within `floodFrames`; one that took a key,
// or a few dozen, a frame would still be on its way round the menu.
constexpr std::uint64_t floodFrames = 20;

// Stops the game, sends it the keys (xdotool, through XTEST; xdotool ends with
// a round trip, so the server has them all), lets it show `floodFrames` frames
// and stops it again for a shot of where the flood left it.
Shot flood(TimedGame& timed, const std::string& keys) {
    Game& game = timed.game;
    EXPECT_TRUE(stopGame(game)) << "the game did not stop";
    const std::uint64_t shown = timed.frames.frames();
    EXPECT_TRUE(xdotool("key --delay 0 " + keys));
    EXPECT_TRUE(continueGame(game));
    const auto start = Clock::now();
    while (timed.frames.frames() < shown + floodFrames && secondsSince(start) < 30) sleepFor(0.001);
    EXPECT_GE(timed.frames.frames(), shown + floodFrames) << "the game stood still after the flood";
    EXPECT_TRUE(stopGame(game)) << "the game did not stop";
    Shot shot = game.shoot();
    EXPECT_TRUE(continueGame(game));
    return shot;
}

// xdotool sends each press and release at one X server time, which SFML takes
// for auto-repeat: a key repeat burst, as from a held key.
TEST_F(Disturbances, AThousandKeyPressesInOneFrameAreEachHandledOnceInOrder) {
    TimedGame timed;
    Game& game = timed.game;
    ASSERT_TRUE(game.waitForWindow()) << "no window titled PLUMWICK";
    ASSERT_EQ(menuLooks(game.shootUntil(menuReads("WGGG"), 5).image), "WGGG");

    // Four items: a thousand Downs from PLAY come back to PLAY...
    const Shot round = flood(timed, times(1000, "Down"));
    EXPECT_EQ(menuLooks(round.image), "WGGG") << "after 1000 x Down; " << round.file;
    // ...and none is left over: one more Down goes to HOW TO PLAY and stays.
    game.press("Down");
    const Shot next = game.shootUntil(menuReads("GWGG"), 5);
    EXPECT_EQ(menuLooks(next.image), "GWGG") << "after 1000 x Down, Down; " << next.file;
    ASSERT_TRUE(timed.frames.waitForSwapsAfter(Clock::now(), floodFrames, 10));
    const Shot stays = game.shoot();
    EXPECT_EQ(menuLooks(stays.image), "GWGG") << "frames after 1000 x Down, Down; " << stays.file;

    game.press("Up");
    ASSERT_EQ(menuLooks(game.shootUntil(menuReads("WGGG"), 3).image), "WGGG");
    const Shot howToPlay = flood(timed, times(1001, "Down"));
    EXPECT_EQ(menuLooks(howToPlay.image), "GWGG") << "after 1001 x Down; " << howToPlay.file;

    // In order: 999 Downs from HOW TO PLAY reach PLAY, and only then Enter
    // (first, it would open HOW TO PLAY).
    const Shot field = flood(timed, times(999, "Down") + "Return");
    EXPECT_TRUE(threeHeartsShown(field.image)) << "PLAY expected; " << field.file;

    game.requestClose();
    EXPECT_EQ(game.waitForExit(10), 0);
    EXPECT_FALSE(sanitizerReport(game.stderrText())) << game.stderrText();
}

TEST_F(Disturbances, AResizedWindowShowsTheSamePictureStretched) {
    struct Size {
        unsigned width, height;
    };
    Game game(allAssets);
    ASSERT_TRUE(game.waitForWindow()) << "no window titled PLUMWICK";
    const Shot menu = game.shootUntil(menuReads("WGGG"), 5);
    ASSERT_EQ(menuLooks(menu.image), "WGGG");
    const Ink play = ink(menu.image, palette::white, menuItems[0]);

    for (const Size size : {Size{1200, 900}, Size{300, 200}}) {
        SCOPED_TRACE("the menu at " + std::to_string(size.width) + "x" +
                     std::to_string(size.height));
        game.resize(size.width, size.height);
        const auto same = [&](const sf::Image& image) {
            const Stretch s = compareStretched(menu.image, image, wholeWindow);
            return s.compared > 0 && s.differing == 0;
        };
        const Shot shot = game.shootUntil(same, 5);
        const Stretch stretch = compareStretched(menu.image, shot.image, wholeWindow);
        EXPECT_EQ(stretch.differing, 0) << shot.file;
        EXPECT_GT(stretch.compared * 10, static_cast<int>(size.width * size.height) * 9)
            << "most of the picture is compared";
        // The highlighted PLAY where it belongs, stretched: its white box within a pixel.
        const double sx = size.width / 800.0, sy = size.height / 600.0;
        const Area scaledItem{
            static_cast<int>(menuItems[0].x0 * sx), static_cast<int>(menuItems[0].y0 * sy),
            static_cast<int>(menuItems[0].x1 * sx) + 1, static_cast<int>(menuItems[0].y1 * sy) + 1};
        const Ink stretchedPlay = ink(shot.image, palette::white, scaledItem);
        ASSERT_GT(stretchedPlay.count, 0) << shot.file;
        EXPECT_NEAR(stretchedPlay.left, play.left * sx, 1);
        EXPECT_NEAR(stretchedPlay.right + 1, (play.right + 1) * sx, 1);
        EXPECT_NEAR(stretchedPlay.top, play.top * sy, 1);
        EXPECT_NEAR(stretchedPlay.bottom + 1, (play.bottom + 1) * sy, 1);
    }
    game.resize(800, 600);
    const auto original = [&](const sf::Image& image) { return samePicture(image, menu.image); };
    EXPECT_TRUE(original(game.shootUntil(original, 5).image)) << "the menu as it was at 800x600";

    // The field: the first heart and the bar stand still until a key is held.
    game.press("Return");  // PLAY
    const Shot field = game.shootUntil(threeHeartsShown, 3);
    ASSERT_TRUE(threeHeartsShown(field.image)) << field.file;
    for (const Size size : {Size{1200, 900}, Size{300, 200}}) {
        SCOPED_TRACE("the field at " + std::to_string(size.width) + "x" +
                     std::to_string(size.height));
        game.resize(size.width, size.height);
        const auto same = [&](const sf::Image& image) {
            for (const Area& area : {heartIcons[0], barBand}) {
                const Stretch s = compareStretched(field.image, image, area);
                if (s.compared == 0 || s.differing > 0) return false;
            }
            return true;
        };
        const Shot shot = game.shootUntil(same, 5);
        EXPECT_TRUE(same(shot.image)) << "the heart or the bar; " << shot.file;
        // The block glides, 72x36 at y = 110 in game pixels.
        const Ink box = block(shot.image);
        ASSERT_GT(box.count, 0) << shot.file;
        EXPECT_NEAR(box.width(), 72 * size.width / 800.0, 1) << shot.file;
        EXPECT_NEAR(box.height(), 36 * size.height / 600.0, 1) << shot.file;
        EXPECT_NEAR(box.top, 110 * size.height / 600.0, 1) << shot.file;
        sleepFor(0.3);
        EXPECT_FALSE(samePicture(game.shoot().image, shot.image)) << "the game stood still";
    }

    // Back at 800x600 the layout is the game's own: it kept playing in its own coordinates.
    game.resize(800, 600);
    const auto blockWhole = [](const sf::Image& image) {
        return block(image).width() == 72 && block(image).height() == 36;
    };
    const Shot back = game.shootUntil(blockWhole, 3);
    EXPECT_EQ(block(back.image).top, 110) << back.file;
    EXPECT_EQ(block(back.image).width(), 72) << back.file;
    EXPECT_EQ(block(back.image).height(), 36) << back.file;
    const Ink bar = ink(back.image, palette::crimson, barBand);
    EXPECT_EQ(bar.top, 550) << back.file;
    EXPECT_EQ(bar.height(), 20) << back.file;
    EXPECT_EQ(ink(back.image, palette::crimson, heartIcons[0]).left, 20) << back.file;

    game.requestClose();
    EXPECT_EQ(game.waitForExit(10), 0);
    EXPECT_FALSE(sanitizerReport(game.stderrText())) << game.stderrText();
}

}  // namespace
