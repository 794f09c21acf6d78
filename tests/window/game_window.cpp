#include "game_window.hpp"

#include "x_events.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace window_test {

namespace fs = std::filesystem;

double secondsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

double secondsSince(Clock::time_point start) { return secondsBetween(start, Clock::now()); }

void sleepFor(double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

int run(const std::string& command, std::string* out) {
    FILE* pipe = popen(("timeout 10 " + command).c_str(), "r");
    if (pipe == nullptr) return -1;
    std::string text;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
    const int status = pclose(pipe);
    if (out != nullptr) *out = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

namespace {

std::vector<unsigned long> plumwickWindows() {
    std::string out;
    // Only mapped windows: focusing one that is not yet viewable is an X error (BadMatch).
    run("xdotool search --onlyvisible --name '^PLUMWICK$'", &out);
    std::vector<unsigned long> ids;
    std::istringstream in(out);
    for (unsigned long id; in >> id;) ids.push_back(id);
    return ids;
}

// The game's own lines all start with one of these. SFML and the audio
// libraries under it (OpenAL, miniaudio, ALSA) print diagnostics of their own,
// sometimes without ending their line, so a game line is picked out wherever
// it starts.
const char* const gameLineStarts[] = {"PROGRAMMA AVVIATO!", "ERRORE:"};

Lines gameLines(const fs::path& file) {
    Lines lines;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::size_t start = std::string::npos;
        for (const char* prefix : gameLineStarts) start = std::min(start, line.find(prefix));
        if (start != std::string::npos) lines.push_back(line.substr(start));
    }
    return lines;
}

}  // namespace

FrameCounterFile::FrameCounterFile() {
    char name[] = "/tmp/plumwick_frames_XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0) {
        ADD_FAILURE() << "mkstemp: " << std::strerror(errno);
        return;
    }
    close(fd);
    file = name;
}

FrameCounterFile::~FrameCounterFile() {
    if (!file.empty()) std::remove(file.c_str());
}

Lines FrameCounterFile::environment() const {
    return {std::string("LD_PRELOAD=") + PLUMWICK_FRAME_COUNTER_LIB,
            "PLUMWICK_FRAME_COUNTER=" + file};
}

std::string gameUnderTest() {
    const char* game = std::getenv("PLUMWICK_GAME_UNDER_TEST");
    return game != nullptr && *game != '\0' ? game : PLUMWICK_GAME;
}

Game::Game(const Lines& assets, const Prepare& prepare, const Lines& environment)
    : extraEnvironment(environment) {
    std::string pattern = (fs::temp_directory_path() / "plumwick_window_XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        ADD_FAILURE() << "mkdtemp: " << std::strerror(errno);
        return;
    }
    workDir = pattern;
    for (const std::string& name : assets)
        fs::copy_file(fs::path(PLUMWICK_ASSETS) / name, workDir / name);
    if (prepare) prepare(workDir);
    // Windows of a game that has just ended can linger a moment, and X reuses their ids.
    const auto start = Clock::now();
    while (!(windowsBefore = plumwickWindows()).empty() && secondsSince(start) < 3) sleepFor(0.05);
    launch();
}

void Game::launch() {
    // Everything the child needs is prepared before fork().
    // Silent but working audio, unless the test names its own driver. A
    // variable the test sets replaces the inherited one: getenv() would find
    // whichever comes first.
    std::vector<std::string> own = extraEnvironment;
    const auto setsItself = [&own](const std::string& variable) {
        const std::string name = variable.substr(0, variable.find('=') + 1);
        return std::any_of(own.begin(), own.end(),
                           [&name](const std::string& e) { return e.rfind(name, 0) == 0; });
    };
    if (!setsItself("ALSOFT_DRIVERS=")) own.emplace_back("ALSOFT_DRIVERS=null");
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        if (!setsItself(*e)) env.emplace_back(*e);
    }
    env.insert(env.end(), own.begin(), own.end());
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    const std::string game = gameUnderTest();
    char* argv[] = {const_cast<char*>(game.c_str()), nullptr};
    const std::string dir = workDir.string(), out = (workDir / "stdout.txt").string(),
                      err = (workDir / "stderr.txt").string();
    std::ofstream(out, std::ios::trunc);  // empty before the child starts: no stale lines
    std::ofstream(err, std::ios::trunc);

    processId = fork();
    if (processId == 0) {
        const int in = open("/dev/null", O_RDONLY);
        const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || o < 0 || e < 0 || chdir(dir.c_str()) != 0) _exit(126);
        dup2(in, 0);
        dup2(o, 1);
        dup2(e, 2);
        execve(argv[0], argv, envp.data());
        _exit(127);
    }
    if (processId < 0) ADD_FAILURE() << "fork: " << std::strerror(errno);
}

void Game::stop() {
    if (processId <= 0) return;
    kill(processId, SIGKILL);
    waitpid(processId, nullptr, 0);
    processId = -1;
}

Game::~Game() {
    stop();
    if (workDir.empty()) return;
    if (::testing::Test::HasFailure()) {
        std::cerr << "[window] kept the game's directory for a look: " << workDir << '\n';
    } else {
        std::error_code ignored;
        fs::remove_all(workDir, ignored);
    }
}

bool Game::waitForWindow(double seconds) {
    const auto start = Clock::now();
    while (windowId == 0 && secondsSince(start) < seconds) {
        for (unsigned long id : plumwickWindows()) {
            if (std::find(windowsBefore.begin(), windowsBefore.end(), id) == windowsBefore.end())
                windowId = id;
        }
        if (windowId == 0) sleepFor(0.05);
    }
    if (windowId == 0) return false;
    // Keys go through XTEST to the focused window: the game's held-key queries only see those.
    while (!xdotool("windowfocus --sync " + std::to_string(windowId))) {
        if (secondsSince(start) > seconds) return false;
        sleepFor(0.05);
    }
    return true;
}

Shot Game::shoot() {
    Shot shot;
    shot.file = workDir / ("shot" + std::to_string(shotCount++) + ".png");
    const std::string command =
        "import -window " + std::to_string(windowId) + " " + shot.file.string();
    int status = -1;
    for (int attempt = 0; attempt < 3 && status != 0; ++attempt) {
        shot.begin = Clock::now();
        status = run(command);
        shot.end = Clock::now();
    }
    if (status != 0 || !shot.image.loadFromFile(shot.file.string())) {
        ADD_FAILURE() << "no screenshot of window " << windowId << " (import status " << status
                      << ")";
    } else {
        EXPECT_EQ(shot.image.getSize().x, shotWidth) << shot.file;
        EXPECT_EQ(shot.image.getSize().y, shotHeight) << shot.file;
    }
    return shot;
}

Shot Game::shootUntil(const std::function<bool(const sf::Image&)>& done, double seconds) {
    const auto start = Clock::now();
    for (;;) {
        Shot shot = shoot();
        if (done(shot.image) || secondsSince(start) > seconds) return shot;
        sleepFor(0.03);
    }
}

namespace {

void xdotoolOrFail(const std::string& arguments) {
    EXPECT_TRUE(xdotool(arguments)) << "xdotool " << arguments << " failed";
}

}  // namespace

void Game::press(const std::string& key) {
    xdotoolOrFail("keydown " + key + " sleep 0.06 keyup " + key);
}
void Game::keyDown(const std::string& key) { xdotoolOrFail("keydown " + key); }
void Game::keyUp(const std::string& key) { xdotoolOrFail("keyup " + key); }

void Game::resize(unsigned width, unsigned height) {
    xdotoolOrFail("windowsize --sync " + std::to_string(windowId) + " " + std::to_string(width) +
                  " " + std::to_string(height));
    shotWidth = width;
    shotHeight = height;
}

void Game::requestClose() {
    EXPECT_TRUE(sendCloseRequest(windowId)) << "could not send WM_DELETE_WINDOW";
}

int Game::waitForExit(double seconds) {
    const auto start = Clock::now();
    for (;;) {
        if (processId <= 0) return -1;
        int status = 0;
        const bool exited = waitpid(processId, &status, WNOHANG) == processId;
        if (exited) processId = -1;
        if (exited && WIFSIGNALED(status)) {
            ADD_FAILURE() << "the game was killed by signal " << WTERMSIG(status) << " ("
                          << strsignal(WTERMSIG(status)) << ")";
            return -1;
        }
        if (exited) return WEXITSTATUS(status);
        if (secondsSince(start) > seconds) {
            stop();
            ADD_FAILURE() << "the game still ran after " << seconds << " s; killed it";
            return -1;
        }
        sleepFor(0.02);
    }
}

Lines Game::stdoutLines() const { return gameLines(workDir / "stdout.txt"); }
Lines Game::stderrLines() const { return gameLines(workDir / "stderr.txt"); }

std::string Game::stderrText() const {
    std::ifstream in(workDir / "stderr.txt");
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void keepForReadme(const Shot& shot, const std::string& name) {
    const char* dir = std::getenv("PLUMWICK_SHOTS_DIR");
    if (dir == nullptr || *dir == '\0') return;
    std::error_code error;
    fs::create_directories(dir, error);
    fs::copy_file(shot.file, fs::path(dir) / name, fs::copy_options::overwrite_existing, error);
    EXPECT_FALSE(error) << "could not save " << name << " in " << dir << ": " << error.message();
}

}  // namespace window_test
