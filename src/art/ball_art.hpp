#pragma once

#include <SFML/Graphics/Image.hpp>

#include <array>

constexpr unsigned ballImageSize = 16;

// 'W' white rim, 'B' black inside, ' ' nothing. Row 15 is empty: the disc is
// 15 rows tall.
constexpr std::array<const char*, 16> ballPattern{
    "     WWWWWW     ", "   WWBBBBBBWW   ", "  WBBBBBBBBBBW  ", " WBBBBBBBBBBBBW ",
    "WBBBBBBBBBBBBBBW", "WBBBBBBBBBBBBBBW", "WBBBBBBBBBBBBBBW", "WBBBBBBBBBBBBBBW",
    "WBBBBBBBBBBBBBBW", "WBBBBBBBBBBBBBBW", "WBBBBBBBBBBBBBBW", " WBBBBBBBBBBBBW ",
    "  WBBBBBBBBBBW  ", "   WWBBBBBBWW   ", "     WWWWWW     ", "                "};

// The letters T, I, K, O of the word on the ball, 3 cells wide and 5 tall.
using Glyph = std::array<const char*, 5>;
constexpr std::array<Glyph, 4> ballGlyphs{{
    {"111", "010", "010", "010", "010"},  // T
    {"111", "010", "010", "010", "111"},  // I
    {"101", "101", "110", "101", "101"},  // K
    {"111", "101", "101", "101", "111"},  // O
}};

// The ball: the disc of ballPattern with the word written in white on its
// black inside only.
sf::Image paintBall();
