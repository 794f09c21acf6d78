// Renders the desktop icon at build time: the game's full life heart, cut to
// the pixels it draws, enlarged by the largest whole factor that fits the
// square (every pixel becomes a hard-edged block), centred on a transparent
// background and saved as a PNG. Needs no display: only images, no window.
//
//   plumwick_icon SIZE FILE.png

#include "art/life_hearts.hpp"
#include "art/palette.hpp"
#include "sfml_compat.hpp"

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <string>

namespace {

struct Box {
    unsigned left = 0, top = 0, width = 0, height = 0;
};

// The smallest box holding every pixel that is not fully transparent.
Box drawnBox(const sf::Image& image) {
    const sf::Vector2u size = image.getSize();
    unsigned left = size.x, top = size.y, right = 0, bottom = 0;
    for (unsigned y = 0; y < size.y; ++y)
        for (unsigned x = 0; x < size.x; ++x)
            if (compat::getPixel(image, x, y).a != 0) {
                left = std::min(left, x);
                top = std::min(top, y);
                right = std::max(right, x);
                bottom = std::max(bottom, y);
            }
    if (left > right) return {};
    return {left, top, right - left + 1, bottom - top + 1};
}

sf::Image renderIcon(const sf::Image& art, const Box& box, unsigned size, unsigned scale) {
    sf::Image icon = compat::makeImage(size, size);
    const unsigned x0 = (size - box.width * scale) / 2;
    const unsigned y0 = (size - box.height * scale) / 2;
    for (unsigned y = 0; y < box.height * scale; ++y)
        for (unsigned x = 0; x < box.width * scale; ++x)
            compat::setPixel(icon, x0 + x, y0 + y,
                             compat::getPixel(art, box.left + x / scale, box.top + y / scale));
    return icon;
}

}  // namespace

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

    const sf::Image heart = paintLifeHeart(palette::crimson);
    const Box box = drawnBox(heart);
    const unsigned side = static_cast<unsigned>(size);
    const unsigned scale = box.width == 0 ? 0 : std::min(side / box.width, side / box.height);
    if (scale == 0) {
        std::cerr << "plumwick_icon: the heart (" << box.width << "x" << box.height
                  << ") does not fit in " << side << "x" << side << "\n";
        return 1;
    }

    const std::string path = argv[2];
    if (!renderIcon(heart, box, side, scale).saveToFile(path)) {
        std::cerr << "plumwick_icon: cannot write " << path << "\n";
        return 1;
    }
    return 0;
}
