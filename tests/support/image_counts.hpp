#pragma once
// Counting and reading the pixels of a built picture, and of the window.

#include "sfml_compat.hpp"

#include <map>
#include <tuple>

using Rgba = std::tuple<int, int, int, int>;

inline Rgba rgba(sf::Color c) { return {c.r, c.g, c.b, c.a}; }

inline Rgba pixelAt(const sf::Image& image, unsigned x, unsigned y) {
    return rgba(compat::getPixel(image, x, y));
}

// How many pixels of each colour the image holds, transparent ones included.
inline std::map<Rgba, int> colourCounts(const sf::Image& image) {
    std::map<Rgba, int> counts;
    for (unsigned y = 0; y < image.getSize().y; ++y)
        for (unsigned x = 0; x < image.getSize().x; ++x) ++counts[pixelAt(image, x, y)];
    return counts;
}

inline const Rgba transparent{0, 0, 0, 0};

// What the window shows now, read back into an image sized by a blank one.
inline sf::Image captureWindow(const sf::RenderWindow& window) {
    sf::Texture texture;
    const sf::Vector2u size = window.getSize();
    if (!compat::loadTexture(texture, compat::makeImage(size.x, size.y))) return {};
    texture.update(window);
    return texture.copyToImage();
}

// The texture a sprite shows, as a pointer whichever way SFML hands it out
// (a reference in 3, a pointer in 2.5), to compare texture identity.
inline const sf::Texture* addressOf(const sf::Texture& texture) { return &texture; }
inline const sf::Texture* addressOf(const sf::Texture* texture) { return texture; }
inline const sf::Texture* textureOf(const sf::Sprite& sprite) {
    return addressOf(sprite.getTexture());
}
