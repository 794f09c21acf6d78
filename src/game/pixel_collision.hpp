#pragma once
// Whether two sprites touch where both are drawn, not merely where their
// bounding rectangles overlap.

#include <SFML/Graphics.hpp>

// True when a sample point of the bounds' overlap lies on an opaque pixel of
// both images. Samples whole window pixels from the overlap's top-left
// corner. Expects origin (0, 0), no rotation and positive scales. Keeps
// nothing between calls, and gives the same answer whichever pair comes first.
bool pixelPerfectCollision(const sf::Sprite& a, const sf::Image& imageA, const sf::Sprite& b,
                           const sf::Image& imageB);
