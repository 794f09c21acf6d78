#pragma once
// The four obstacles, each a light edge around a darker inside.

#include <SFML/Graphics/Image.hpp>

sf::Image paintBlock();      // 24 x 12, every pixel painted
sf::Image paintTrapezoid();  // 28 x 24, widening downwards from one pixel
sf::Image paintDiamond();    // 26 x 26, Manhattan distance from the centre
sf::Image paintHeart();      // 40 x 36, from the heart curve

// The heart curve (x² + y² − 1)³ − x²·y³: zero on the outline, negative inside.
float heartCurve(float x, float y);
