#include "art/bar_art.hpp"

#include "art/palette.hpp"
#include "sfml_compat.hpp"

#include <array>

namespace {

constexpr unsigned insideLastColumn = 45;  // the black stops here, not at the border
constexpr std::array<unsigned, 3> heartLeftEdges{6, 34, 62};

void paintInside(sf::Image& image) {
    for (unsigned y = 1; y <= 6; ++y)
        for (unsigned x = 2; x <= insideLastColumn; ++x)
            compat::setPixel(image, x, y, palette::black);
}

void paintBorder(sf::Image& image) {
    for (unsigned x = 1; x <= 78; ++x) {
        compat::setPixel(image, x, 0, palette::crimson);
        compat::setPixel(image, x, 7, palette::crimson);
    }
    for (unsigned y = 1; y <= 6; ++y) {
        compat::setPixel(image, 1, y, palette::crimson);
        compat::setPixel(image, 78, y, palette::crimson);
    }
}

void paintHeart(sf::Image& image, unsigned x0) {
    for (unsigned dx : {1u, 2u, 4u, 5u}) compat::setPixel(image, x0 + dx, 2, palette::crimson);
    for (unsigned dx = 0; dx <= 6; ++dx) compat::setPixel(image, x0 + dx, 3, palette::crimson);
    for (unsigned dx = 1; dx <= 5; ++dx) compat::setPixel(image, x0 + dx, 4, palette::crimson);
    for (unsigned dx = 2; dx <= 4; ++dx) compat::setPixel(image, x0 + dx, 5, palette::crimson);
}

}  // namespace

sf::Image paintBar() {
    sf::Image image = compat::makeImage(barImageWidth, barImageHeight);
    paintInside(image);
    paintBorder(image);
    for (unsigned x0 : heartLeftEdges) paintHeart(image, x0);
    return image;
}
