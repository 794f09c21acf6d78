#pragma once

#include <SFML/Graphics/Image.hpp>

#include <array>

constexpr unsigned flowerImageSize = 24;

// 'L' petal, 'C' centre, ' ' nothing. Rows are 20 characters, 21 in rows 12
// and 15; the image's last columns have no character and stay empty.
constexpr std::array<const char*, 24> flowerPattern{
    "       LLLLLL       ",  "     LLLLLLLLLL     ", "    LLLLLLLLLLLL    ",
    "   LLLLLLLLLLLLLL   ",  "   LLLLLLLLLLLLLL   ", "    LLLLLLLLLLLL    ",
    "      LLLLLLLL      ",  "        LLLL        ", "   LLLL      LLLL   ",
    "  LLLLLL    LLLLLL  ",  " LLLLLLLLLLLLLLLLLL ", " LLLLLLLLLLLLLLLLLL ",
    " LLLLLLLCCCCLLLLLLLL ", " LLLLLLCCCCCCLLLLLL ", " LLLLLLCCCCCCLLLLLL ",
    " LLLLLLLCCCCLLLLLLLL ", " LLLLLLLLLLLLLLLLLL ", " LLLLLLLLLLLLLLLLLL ",
    "  LLLLLLLLLLLLLLLL  ",  "   LLLLLLLLLLLLLL   ", "    LLLLLLLLLLLL    ",
    "      LLLLLLLL      ",  "        LLLL        ", "        LLLL        "};

sf::Image paintFlower();
