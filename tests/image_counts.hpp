#pragma once
// Counting and reading the pixels of a built picture.

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
