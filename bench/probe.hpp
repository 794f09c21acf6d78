#pragma once
// What a program spawned by plumwick_bench reports back on its standard
// output: lines "bench-report KEY VALUE", read by bench/processes.cpp.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

namespace probe {

// On Linux the steady clock is CLOCK_MONOTONIC, one clock for every process of
// the machine, so a time taken here can be set against one the parent took
// before spawning us.
inline std::int64_t monotonicNanoseconds() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
}

// The process's peak resident set so far (VmHWM), in KiB; -1 if unreadable.
inline long peakResidentKib() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

inline void report(const char* key, long long value) {
    std::printf("bench-report %s %lld\n", key, value);
    std::fflush(stdout);
}

}  // namespace probe
