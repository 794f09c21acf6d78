#include "art/flower_art.hpp"

#include "art/palette.hpp"
#include "sfml_compat.hpp"

#include <cstring>

sf::Image paintFlower() {
    sf::Image image = compat::makeImage(flowerImageSize, flowerImageSize);
    for (unsigned y = 0; y < flowerImageSize; ++y) {
        const char* row = flowerPattern[y];
        for (unsigned x = 0; x < std::strlen(row); ++x) {
            if (row[x] == 'L') compat::setPixel(image, x, y, palette::flowerPetal);
            if (row[x] == 'C') compat::setPixel(image, x, y, palette::flowerCentre);
        }
    }
    return image;
}
