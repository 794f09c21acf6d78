#include "art/obstacle_art.hpp"

#include "art/palette.hpp"
#include "sfml_compat.hpp"

#include <cmath>
#include <cstdlib>

namespace {

// Testing against the heart shrunk by 1 / 1.06 leaves a rim about a pixel wide.
constexpr float heartRimFactor = 1.06f;
constexpr float heartUnit = 14.f;  // pixels per unit of the curve

}  // namespace

sf::Image paintBlock() {
    constexpr unsigned w = 24, h = 12;
    sf::Image image = compat::makeImage(w, h);
    for (unsigned y = 0; y < h; ++y)
        for (unsigned x = 0; x < w; ++x) {
            const bool frame = x == 0 || x == w - 1 || y == 0 || y == h - 1;
            compat::setPixel(image, x, y, frame ? palette::blockFrame : palette::blockInside);
        }
    return image;
}

sf::Image paintTrapezoid() {
    constexpr int w = 28, h = 24, centre = 14;
    sf::Image image = compat::makeImage(w, h);
    for (int y = 0; y < h; ++y) {
        const int halfWidth = (centre * y) / h;  // multiply first, then truncate
        const int left = centre - halfWidth;
        const int right = centre + halfWidth;
        for (int x = left; x <= right && x <= w - 1; ++x) {
            const bool edge = x == left || x == right || y == h - 1;
            compat::setPixel(image, static_cast<unsigned>(x), static_cast<unsigned>(y),
                             edge ? palette::trapezoidEdge : palette::trapezoidInside);
        }
    }
    return image;
}

sf::Image paintDiamond() {
    constexpr int size = 26, centre = 13;
    sf::Image image = compat::makeImage(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const int d = std::abs(x - centre) + std::abs(y - centre);
            if (d > 12) continue;
            compat::setPixel(image, static_cast<unsigned>(x), static_cast<unsigned>(y),
                             d >= 11 ? palette::diamondOutline : palette::diamondInside);
        }
    return image;
}

float heartCurve(float x, float y) {
    return std::pow(x * x + y * y - 1.f, 3.f) - x * x * std::pow(y, 3.f);
}

sf::Image paintHeart() {
    constexpr unsigned w = 40, h = 36;
    sf::Image image = compat::makeImage(w, h);
    for (unsigned r = 0; r < h; ++r)
        for (unsigned c = 0; c < w; ++c) {
            const float x = (static_cast<float>(c) - 20.f) / heartUnit;
            const float y = (18.f - static_cast<float>(r)) / heartUnit;  // y grows upwards
            if (heartCurve(x, y) > 0.f) continue;  // the outline itself is painted
            const bool inside = heartCurve(heartRimFactor * x, heartRimFactor * y) <= 0.f;
            compat::setPixel(image, c, r, inside ? palette::heartInside : palette::heartRim);
        }
    return image;
}
