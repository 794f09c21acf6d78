#pragma once
// The three hearts at the top left that count the lives.

#include <SFML/Graphics.hpp>

#include <array>

constexpr unsigned lifeHeartSize = 16;
constexpr std::size_t lifeIconCount = 3;

// 'W' marks the heart. Rows 3 to 9 carry a 17th character that is never read.
constexpr std::array<const char*, 16> lifeHeartPattern{
    "                ",  "  WW    WW      ",  " WWWW  WWWW     ",  "WWWWWWWWWWWW     ",
    "WWWWWWWWWWWW     ", " WWWWWWWWWW      ", "  WWWWWWWW       ", "   WWWWWW        ",
    "    WWWW         ", "     WW          ", "                ",  "                ",
    "                ",  "                ",  "                ",  "                "};

// The heart shape painted in one colour.
sf::Image paintLifeHeart(sf::Color colour);

struct LifeHearts {
    // Empty until built: three icons on a texture with no heart yet.
    LifeHearts();
    LifeHearts(const LifeHearts&) = delete;
    LifeHearts& operator=(const LifeHearts&) = delete;

    // Shows the full heart on every icon again.
    void fill();
    // Greys the icon at `index`; any index outside the icons is ignored.
    void greyOut(int index);

    sf::Texture lifeFullTexture;
    sf::Texture lifeEmptyTexture;
    std::array<sf::Sprite, lifeIconCount> lifeIcon;
};

// Paints both hearts and sets up the three icons, all showing the full heart.
void buildLifeHearts(LifeHearts& hearts);
