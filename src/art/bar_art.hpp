#pragma once

#include <SFML/Graphics/Image.hpp>

constexpr unsigned barImageWidth = 80;
constexpr unsigned barImageHeight = 8;

// The bar: a crimson border, black inside on its left part only, three hearts.
sf::Image paintBar();
