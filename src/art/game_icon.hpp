#pragma once
// The game's icon: the full life heart, cut to the pixels it draws, enlarged
// by the largest whole factor that fits the square (every pixel becomes a
// hard-edged block) and centred on a transparent background. The desktop's
// icons, the .exe's and the window's are all this picture.

#include <SFML/Graphics/Image.hpp>

// The size the window shows where the program sets its own (X11 desktops
// scale it to their title bars and task switchers).
constexpr unsigned windowIconSize = 64;

// The icon `size` pixels square; an empty image when the heart does not fit.
sf::Image paintGameIcon(unsigned size);
