// Whole frames as the game runs them: the live keyboard, the real clocks, and
// the events, the advance and the drawing in that order.

#include "game_fixture.hpp"
#include "image_counts.hpp"
#include "sfml_compat.hpp"
#include "x_events.hpp"

#include <gtest/gtest.h>
#include <SFML/System/Sleep.hpp>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <string>
#include <thread>

namespace {

const std::thread::id mainThread = std::this_thread::get_id();
std::atomic<int> mainThreadSleeps{0};

}  // namespace

// Stands in for SFML's own sleep, which its libraries call across library
// bounds: the window's frame-rate limit calls it from display() on the main
// thread; the audio streams call it from theirs.
void sf::sleep(sf::Time duration) {
    if (std::this_thread::get_id() == mainThread) ++mainThreadSleeps;
    std::this_thread::sleep_for(std::chrono::microseconds(duration.asMicroseconds()));
}

namespace {

void waitMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

unsigned long windowOf(const Game& game) {
    return static_cast<unsigned long>(compat::nativeHandle(game.window));
}

float barX(const Game& game) { return game.art.bar.sprite.getPosition().x; }

}  // namespace

TEST(Frame, HeldKeysAreReadFromTheKeyboardOnlyWithTheFocus) {
    GameFixture game;
    game.play();
    game.state.ballVelocity = {0.f, 0.f};  // no drop moves the bar back meanwhile
    // Frames until the focus event has come, however loaded the machine.
    const auto framesUntilFocused = [&](bool focused) {
        for (int i = 0; i < 500 && game.shell.windowFocused != focused; ++i) {
            waitMs(10);
            runFrame(game);
        }
        return game.shell.windowFocused == focused;
    };
    ASSERT_TRUE(focusWindow(0));
    ASSERT_TRUE(framesUntilFocused(false));
    {
        HeldKey left("Left");
        ASSERT_TRUE(left.pressed);
        runFrame(game);  // held, but for a window without the focus
        EXPECT_EQ(barX(game), 325.f);
        game.state.gameOver = true;
        HeldKey space("space");
        runFrame(game);
        EXPECT_TRUE(game.state.gameOver);
        game.state.gameOver = false;
        ASSERT_TRUE(focusWindow(windowOf(game)));
        ASSERT_TRUE(framesUntilFocused(true));  // its frame reads Left after the event
        EXPECT_LT(barX(game), 325.f);
    }
    float x = barX(game);
    {
        HeldKey right("Right");
        runFrame(game);
        EXPECT_GT(barX(game), x);
    }
    // Space restarts an ended game on every screen. On the playing screen the
    // new game's first update reads the arrows as well.
    for (Screen screen : {Screen::Menu, Screen::Instructions, Screen::Playing}) {
        game.shell.currentScreen = screen;
        game.state.gameOver = true;
        HeldKey space("space");
        runFrame(game);
        EXPECT_FALSE(game.state.gameOver) << static_cast<int>(screen);
    }
    game.state.gameWon = true;
    HeldKey space("space");
    HeldKey left("Left");
    runFrame(game);
    EXPECT_FALSE(game.state.gameWon);
    EXPECT_LT(barX(game), 325.f);
}

TEST(Frame, ClocksEventsAdvanceAndDrawingRunForReal) {
    testing::internal::CaptureStdout();
    const std::time_t before = std::time(nullptr);
    Game seeded;  // no draws given: the C library's, seeded with the time
    const std::time_t after = std::time(nullptr);
    testing::internal::GetCapturedStdout();
    const int next = seeded.randomDraw();
    bool fromTheTime = false;
    for (std::time_t t = before; t <= after; ++t) {
        std::srand(static_cast<unsigned>(t));
        for (int draw = 0; draw < 5; ++draw) std::rand();  // the start-up's
        fromTheTime = fromTheTime || std::rand() == next;
    }
    EXPECT_TRUE(fromTheTime);

    // The frame clock restarts once each frame, on every screen: the popup
    // advances by the real time between two frames, and the clock reads less
    // than the frame took. Only bounds that a loaded machine cannot break: a
    // millisecond's margin, as two readings a few microseconds apart have come
    // out of order on a virtual machine.
    GameFixture game;
    ScorePopup& popup = game.state.scorePopup;
    for (Screen screen : {Screen::Menu, Screen::Instructions, Screen::Playing}) {
        game.shell.currentScreen = screen;
        game.state.gameOver = true;  // the field holds still
        runFrame(game);
        startScorePopup(popup, game.texts.popupText, {0.f, 0.f});
        waitMs(150);
        const sf::Clock frame;
        runFrame(game);
        EXPECT_GE(popup.elapsed, 0.15f) << static_cast<int>(screen);
        EXPECT_LE(game.frameClock.getElapsedTime().asMicroseconds(),
                  frame.getElapsedTime().asMicroseconds() + 1000);
    }

    // The play clock is real, and PLAY restarts it: the 1.1 s on the menu
    // before it do not reach the HUD.
    game.state.gameOver = false;
    game.shell.currentScreen = Screen::Menu;
    waitMs(1100);
    const sf::Clock sincePlay;
    game.play();
    runFrame(game);
    EXPECT_LE(std::stoi(game.texts.timerText.getString().toAnsiString()),
              static_cast<int>(sincePlay.getElapsedTime().asSeconds()));

    // Escape while the ball falls out: the events come first, so this frame's
    // advance already sees the menu and the life is kept.
    game.state.lives = 1;
    game.art.ball.sprite.setPosition({100.f, 600.f});
    game.state.ballVelocity = {0.f, 200.f};
    ASSERT_TRUE(sendKeyPress(windowOf(game), "Escape"));
    waitMs(500);  // the event on its way, however loaded the machine
    runFrame(game);
    EXPECT_EQ(game.state.lives, 1);
    // Back to play: the drawing comes after the advance, so the frame that
    // ends the game shows the game-over panel, in grey on black only.
    game.play();
    waitMs(20);
    runFrame(game);
    ASSERT_TRUE(game.state.gameOver);
    int coloured = 0;
    for (const auto& [colour, count] : colourCounts(captureWindow(game.window)))
        if (std::get<0>(colour) != std::get<1>(colour) ||
            std::get<1>(colour) != std::get<2>(colour))
            coloured += count;
    EXPECT_EQ(coloured, 0);

    // No frame-rate limit holds a frame back: the window's display() would
    // sleep out the rest of each frame's period.
    mainThreadSleeps = 0;
    for (int i = 0; i < 3; ++i) runFrame(game);
    EXPECT_EQ(mainThreadSleeps, 0);

    // A close request ends no frame early: the popup still advances.
    startScorePopup(popup, game.texts.popupText, {0.f, 0.f});
    ASSERT_TRUE(sendCloseRequest(windowOf(game)));
    waitMs(500);  // the event on its way, however loaded the machine
    runFrame(game);
    EXPECT_FALSE(game.window.isOpen());
    EXPECT_GT(popup.elapsed, 0.f);
}

TEST(Frame, EventsQueuedBehindACloseRequestAreNotHandled) {
    GameFixture game;
    const unsigned long window = windowOf(game);
    const auto handleWhenQueued = [&] {
        waitMs(200);
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
