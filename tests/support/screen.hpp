// Pixel queries on screenshots of the game window.
#pragma once

#include "sfml_compat.hpp"

namespace window_test {

// A rectangle of pixels, [x0, x1) x [y0, y1).
struct Area {
    int x0, y0, x1, y1;
};

constexpr Area wholeWindow{0, 0, 800, 600};

// The pixels of one exact colour inside an area: how many, and their bounding box.
struct Ink {
    int count = 0;
    int left = 0, top = 0, right = -1, bottom = -1;  // inclusive; meaningless when count == 0
    int width() const { return right - left + 1; }
    int height() const { return bottom - top + 1; }
};

inline sf::Color pixelAt(const sf::Image& image, int x, int y) {
    return compat::getPixel(image, static_cast<unsigned>(x), static_cast<unsigned>(y));
}

// Calls visit(x, y, colour) for every pixel of the area that lies inside the image.
template <typename Visit>
void forEachPixel(const sf::Image& image, Area area, Visit visit) {
    const int width = static_cast<int>(image.getSize().x);
    const int height = static_cast<int>(image.getSize().y);
    for (int y = area.y0 < 0 ? 0 : area.y0; y < area.y1 && y < height; ++y) {
        for (int x = area.x0 < 0 ? 0 : area.x0; x < area.x1 && x < width; ++x) {
            visit(x, y, pixelAt(image, x, y));
        }
    }
}

inline Ink ink(const sf::Image& image, sf::Color colour, Area area = wholeWindow) {
    Ink found;
    forEachPixel(image, area, [&](int x, int y, sf::Color c) {
        if (c != colour) return;
        if (found.count == 0) {
            found.left = found.right = x;
            found.top = found.bottom = y;
        }
        ++found.count;
        if (x < found.left) found.left = x;
        if (x > found.right) found.right = x;
        if (y < found.top) found.top = y;
        if (y > found.bottom) found.bottom = y;
    });
    return found;
}

// Pixels that are not pure black anywhere outside `keep`.
inline int nonBlackOutside(const sf::Image& image, Area keep) {
    int count = 0;
    forEachPixel(image, wholeWindow, [&](int x, int y, sf::Color c) {
        const bool inside = x >= keep.x0 && x < keep.x1 && y >= keep.y0 && y < keep.y1;
        if (!inside && (c.r != 0 || c.g != 0 || c.b != 0)) ++count;
    });
    return count;
}

}  // namespace window_test
