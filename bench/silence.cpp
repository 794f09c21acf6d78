#include "silence.hpp"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

struct Copy {
    pid_t pid = -1;
    std::filesystem::path errors;
};

// The game as the player runs it (no PLUMWICK_SESSION), with `driver` for
// OpenAL and its stderr into a file of its own.
Copy spawnGame(const std::string& driver) {
    std::vector<std::string> variables;
    for (char** v = environ; *v != nullptr; ++v)
        if (std::strncmp(*v, "PLUMWICK_SESSION=", 17) != 0 &&
            std::strncmp(*v, "ALSOFT_DRIVERS=", 15) != 0)
            variables.emplace_back(*v);
    variables.push_back("ALSOFT_DRIVERS=" + driver);
    std::vector<char*> envp;
    for (std::string& v : variables) envp.push_back(v.data());
    envp.push_back(nullptr);
    std::string path = PLUMWICK_SESSION_PATH;
    char* argv[] = {path.data(), nullptr};

    Copy copy;
    copy.errors = std::filesystem::temp_directory_path() /
                  ("plumwick_bench_" + driver + "_" + std::to_string(getpid()) + ".err");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, copy.errors.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int spawned = posix_spawn(&copy.pid, path.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) throw std::runtime_error("cannot spawn " + path);
    return copy;
}

// User and system time of the whole process so far (all its threads), seconds.
double cpuSeconds(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const auto close = text.rfind(')');  // the name in brackets may hold spaces
    if (close == std::string::npos) throw std::runtime_error("the game is gone");
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    for (int i = 3; i < 14; ++i) fields >> field;  // up to utime, the 14th
    long long user = 0, system = 0;
    fields >> user >> system;
    return static_cast<double>(user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

void seconds(double s) { std::this_thread::sleep_for(std::chrono::duration<double>(s)); }

long long end(Copy& copy) {
    kill(copy.pid, SIGKILL);
    waitpid(copy.pid, nullptr, 0);
    std::error_code error;
    const auto bytes = std::filesystem::file_size(copy.errors, error);
    std::filesystem::remove(copy.errors, error);
    return static_cast<long long>(bytes);
}

}  // namespace

SilenceFigures measureSilence(double measured) {
    std::cout << "== no sound device: the menu for " << measured << " s, beside the null driver"
              << std::endl;
    Copy none = spawnGame("none");
    Copy null = spawnGame("null");
    SilenceFigures f;
    f.seconds = measured;
    try {
        seconds(3);  // start-up
        const double noneBefore = cpuSeconds(none.pid), nullBefore = cpuSeconds(null.pid);
        seconds(measured);
        f.noDeviceCpu = (cpuSeconds(none.pid) - noneBefore) / measured;
        f.nullDriverCpu = (cpuSeconds(null.pid) - nullBefore) / measured;
    } catch (...) {
        end(none);
        end(null);
        throw;
    }
    f.noDeviceBytes = end(none);
    f.nullDriverBytes = end(null);
    return f;
}

void printSilence(const SilenceFigures& f) {
    const double ratio = f.noDeviceCpu / f.nullDriverCpu;
    std::printf("\nNo sound device: the menu for %.0f s, side by side with a working one\n",
                f.seconds);
    std::printf("  %-44s %6.3f CPU s/s %9lld B stderr\n", "no device (ALSOFT_DRIVERS=none)",
                f.noDeviceCpu, f.noDeviceBytes);
    std::printf("  %-44s %6.3f CPU s/s %9lld B stderr\n", "null driver (ALSOFT_DRIVERS=null)",
                f.nullDriverCpu, f.nullDriverBytes);
    std::printf("  none/null %.2f   target <= 1.10 and stderr < 4 KiB: %s\n", ratio,
                ratio <= 1.10 && f.noDeviceBytes < 4096 ? "met" : "MISSED");
}
