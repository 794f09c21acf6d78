// Runs the built game in a real X window and drives it like a player.
#pragma once

#include <SFML/Graphics/Image.hpp>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <sys/types.h>

namespace window_test {

using Clock = std::chrono::steady_clock;
using Lines = std::vector<std::string>;

double secondsSince(Clock::time_point start);
double secondsBetween(Clock::time_point from, Clock::time_point to);
void sleepFor(double seconds);

// A screenshot of the game window and the interval in which it was taken.
struct Shot {
    sf::Image image;
    std::filesystem::path file;
    Clock::time_point begin;
    Clock::time_point end;
};

// How long a program may take to start: Wine on a busy machine can take over
// ten seconds to show a program's first window.
constexpr double startUpSeconds = 30;

// The game under test: $PLUMWICK_GAME_UNDER_TEST when set (e.g. the sanitizer
// build's), else the build this test belongs to.
std::string gameUnderTest();

// Fills the game's working directory before the game starts.
using Prepare = std::function<void(const std::filesystem::path& dir)>;

// The game, started in a fresh working directory holding copies of the named
// asset files (then `prepare` may add or spoil files), with ALSOFT_DRIVERS=null
// (unless `environment` sets it), the `environment` entries ("NAME=value") and
// its stdout/stderr going to files.
// The destructor kills it if it still runs and removes the directory (kept,
// and its path printed, when the test has failed). Keys go through XTEST.
class Game {
public:
    explicit Game(const Lines& assets, const Prepare& prepare = {}, const Lines& environment = {});
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // Waits for the game's own window titled PLUMWICK and focuses it.
    bool waitForWindow(double seconds = startUpSeconds);
    unsigned long window() const { return windowId; }
    pid_t pid() const { return processId; }  // -1 once it has been waited for

    // Resizes the window (xdotool windowsize --sync); later shots expect that size.
    void resize(unsigned width, unsigned height);

    Shot shoot();
    // Shoots every few tens of milliseconds until `done` holds or time is up;
    // returns the last shot either way, so the caller can assert on it.
    Shot shootUntil(const std::function<bool(const sf::Image&)>& done, double seconds);

    void press(const std::string& key);  // a short tap
    void keyDown(const std::string& key);
    void keyUp(const std::string& key);
    // What a window manager sends when the user clicks the close button.
    void requestClose();

    // The exit status; -1 and a test failure if it was killed by a signal or
    // is still running after `seconds` (then it is killed).
    int waitForExit(double seconds);

    // The game's own console lines, SFML's diagnostics left out.
    Lines stdoutLines() const;
    Lines stderrLines() const;
    // Everything it wrote to stderr, library and sanitizer reports included.
    std::string stderrText() const;

private:
    void launch();
    void stop();

    std::filesystem::path workDir;
    Lines extraEnvironment;
    std::vector<unsigned long> windowsBefore;
    pid_t processId = -1;
    unsigned long windowId = 0;
    int shotCount = 0;
    unsigned shotWidth = 800, shotHeight = 600;
};

// A new file for the frame counter library's record (frame_times.hpp),
// removed at the end, and the environment that preloads the library into the
// game to keep it there.
class FrameCounterFile {
public:
    FrameCounterFile();
    ~FrameCounterFile();
    FrameCounterFile(const FrameCounterFile&) = delete;
    FrameCounterFile& operator=(const FrameCounterFile&) = delete;

    const std::string& path() const { return file; }
    Lines environment() const;

private:
    std::string file;
};

// Runs a shell command (with a time limit); returns its exit status and
// stores its stdout in `out` when given.
int run(const std::string& command, std::string* out = nullptr);

// Copies the shot to $PLUMWICK_SHOTS_DIR/name when that variable is set.
void keepForReadme(const Shot& shot, const std::string& name);

}  // namespace window_test
