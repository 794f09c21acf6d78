// Proves the frame counter on the SFML at hand: run with the counter library
// preloaded, it shows a known number of frames in a real window and then
// reads the count and the swaps' times; the soak's frame rates and the held
// arrow's bounds mean something only if they agree with what it did.
#include "frame_times.hpp"
#include "sfml_compat.hpp"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <utility>
#include <vector>

int main() {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') {
        std::printf("frame counter check skipped: DISPLAY is not set\n");
        return 77;
    }
    const char* counterFile = std::getenv("PLUMWICK_FRAME_COUNTER");
    if (counterFile == nullptr) {
        std::fprintf(stderr, "PLUMWICK_FRAME_COUNTER is not set\n");
        return 2;
    }
    constexpr std::uint64_t kFrames = 150;
    using Clock = std::chrono::steady_clock;
    std::vector<std::pair<Clock::time_point, Clock::time_point>> displayed;
    {
        sf::RenderWindow window;
        compat::openWindow(window, 200, 150, "plumwick frame counter check");
        for (std::uint64_t frame = 0; frame < kFrames; ++frame) {
            while (compat::pollEvent(window)) {
            }
            window.clear(sf::Color(static_cast<std::uint8_t>(frame), 60, 90));
            const auto before = Clock::now();
            window.display();
            displayed.emplace_back(before, Clock::now());
        }
    }
    std::uint64_t counted = 0;
    std::ifstream(counterFile, std::ios::binary)
        .read(reinterpret_cast<char*>(&counted), sizeof counted);
    std::printf("frame counter: %llu frames shown, %llu counted\n",
                static_cast<unsigned long long>(kFrames), static_cast<unsigned long long>(counted));
    // Each frame's swap time, within its display() call.
    FrameTimes times(counterFile);
    bool timed = true;
    for (std::uint64_t frame = 0; frame < kFrames; ++frame) {
        const std::optional<Clock::time_point> swap = times.swap(frame);
        timed =
            timed && swap && displayed[frame].first <= *swap && *swap <= displayed[frame].second;
    }
    std::printf("frame counter: swap times %s\n", timed ? "each within its display()" : "wrong");
    return counted == kFrames && timed ? 0 : 1;
}
