// Renders the desktop icon at build time (art/game_icon.hpp) and saves it as
// a PNG. Needs no display: only images, no window.
//
//   plumwick_icon SIZE FILE.png

#include "art/game_icon.hpp"

#include <cstdlib>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: plumwick_icon SIZE FILE.png\n";
        return 2;
    }
    char* end = nullptr;
    const unsigned long size = std::strtoul(argv[1], &end, 10);
    if (*argv[1] == '\0' || *end != '\0' || size == 0 || size > 4096) {
        std::cerr << "plumwick_icon: SIZE must be a whole number of pixels from 1 to 4096, not '"
                  << argv[1] << "'\n";
        return 2;
    }

    const sf::Image icon = paintGameIcon(static_cast<unsigned>(size));
    if (icon.getSize().x == 0) {
        std::cerr << "plumwick_icon: the heart does not fit in " << size << "x" << size << "\n";
        return 1;
    }

    const std::string path = argv[2];
    if (!icon.saveToFile(path)) {
        std::cerr << "plumwick_icon: cannot write " << path << "\n";
        return 1;
    }
    return 0;
}
