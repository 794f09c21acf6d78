#include "art/game_icon.hpp"

#include "art/life_hearts.hpp"
#include "art/palette.hpp"
#include "sfml_compat.hpp"

#include <algorithm>

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

}  // namespace

sf::Image paintGameIcon(unsigned size) {
    const sf::Image heart = paintLifeHeart(palette::crimson);
    const Box box = drawnBox(heart);
    const unsigned scale = box.width == 0 ? 0 : std::min(size / box.width, size / box.height);
    if (scale == 0) return {};
    sf::Image icon = compat::makeImage(size, size);
    const unsigned x0 = (size - box.width * scale) / 2;
    const unsigned y0 = (size - box.height * scale) / 2;
    for (unsigned y = 0; y < box.height * scale; ++y)
        for (unsigned x = 0; x < box.width * scale; ++x)
            compat::setPixel(icon, x0 + x, y0 + y,
                             compat::getPixel(heart, box.left + x / scale, box.top + y / scale));
    return icon;
}
