#include "processes.hpp"

#include "probe.hpp"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct ChildRun {
    std::int64_t spawnedNs = 0;
    std::map<std::string, long long> reports;

    long long at(const std::string& key) const {
        const auto found = reports.find(key);
        if (found == reports.end()) throw std::runtime_error("no report of " + key);
        return found->second;
    }
};

// Runs `program` with PLUMWICK_SESSION=session (when given) added to our
// environment, its standard output into a pipe, and collects its reports.
// The clock is read just before the spawn.
ChildRun runChild(const char* program, const char* session) {
    std::vector<std::string> variables;
    for (char** v = environ; *v != nullptr; ++v)
        if (std::strncmp(*v, "PLUMWICK_SESSION=", 17) != 0) variables.emplace_back(*v);
    if (session != nullptr) variables.push_back(std::string("PLUMWICK_SESSION=") + session);
    std::vector<char*> envp;
    for (std::string& v : variables) envp.push_back(v.data());
    envp.push_back(nullptr);
    std::string path = program;
    char* argv[] = {path.data(), nullptr};

    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);

    ChildRun run;
    pid_t pid = 0;
    run.spawnedNs = probe::monotonicNanoseconds();
    const int spawned = posix_spawn(&pid, program, &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(n));
    close(out[0]);
    if (spawned != 0) throw std::runtime_error(std::string("cannot spawn ") + program);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(std::string(program) + " failed:\n" + text);

    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string tag, key;
        long long value = 0;
        if (words >> tag >> key >> value && tag == "bench-report") run.reports[key] = value;
    }
    return run;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

double startupMs(const ChildRun& run) {
    return static_cast<double>(run.at("first-frame-ns") - run.spawnedNs) / 1e6;
}

}  // namespace

ProcessFigures measureProcesses(int runs, double playSeconds) {
    const char* const game = PLUMWICK_SESSION_PATH;
    const char* const minimal = PLUMWICK_MINIMAL_PATH;
    ProcessFigures f;
    f.runs = runs;

    std::cout << "== start-up: " << runs << " spawns of each program, alternately" << std::endl;
    runChild(game, "first-frame");  // unmeasured: fills the page cache
    runChild(minimal, nullptr);
    std::vector<double> gameMs, minimalMs, gameKib, minimalKib;
    for (int i = 0; i < runs; ++i) {
        // Alternate which goes first, so that neither always follows the other.
        for (int k = 0; k < 2; ++k) {
            if ((i + k) % 2 == 0) {
                const ChildRun run = runChild(game, "first-frame");
                gameMs.push_back(startupMs(run));
                gameKib.push_back(static_cast<double>(run.at("peak-kib")));
            } else {
                const ChildRun run = runChild(minimal, nullptr);
                minimalMs.push_back(startupMs(run));
                minimalKib.push_back(static_cast<double>(run.at("peak-kib")));
            }
        }
    }
    f.gameStartupMs = median(gameMs);
    f.minimalStartupMs = median(minimalMs);
    f.gameFirstFrameKib = median(gameKib);
    f.minimalPeakKib = median(minimalKib);

    std::cout << "== memory: the game plays for " << playSeconds << " s" << std::endl;
    const std::string session = "play:" + std::to_string(playSeconds);
    const ChildRun play = runChild(game, session.c_str());
    f.playSeconds = playSeconds;
    f.playFrames = play.at("frames");
    f.playGamesEnded = play.at("games-ended");
    f.playPeakKib = play.at("peak-kib");
    return f;
}
