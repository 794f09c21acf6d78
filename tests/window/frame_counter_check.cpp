// Proves the frame counter on the SFML at hand: run with the counter library
// preloaded, it shows a known number of frames in a real window and then
// reads the count; the soak's frame rates mean something only if the two agree.
#include "sfml_compat.hpp"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>

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
    {
        sf::RenderWindow window;
        compat::openWindow(window, 200, 150, "plumwick frame counter check");
        for (std::uint64_t frame = 0; frame < kFrames; ++frame) {
            while (compat::pollEvent(window)) {
            }
            window.clear(sf::Color(static_cast<std::uint8_t>(frame), 60, 90));
            window.display();
        }
    }
    std::uint64_t counted = 0;
    std::ifstream(counterFile, std::ios::binary)
        .read(reinterpret_cast<char*>(&counted), sizeof counted);
    std::printf("frame counter: %llu frames shown, %llu counted\n",
                static_cast<unsigned long long>(kFrames), static_cast<unsigned long long>(counted));
    return counted == kFrames ? 0 : 1;
}
