#pragma once
// The pictures of the playing field, built at start-up in this order and
// never repainted.

#include "art/picture.hpp"

#include <array>

inline const sf::Vector2f barStart{325.f, 550.f};
inline const sf::Vector2f ballStart{384.f, 50.f};
// Block, trapezoid, diamond, heart: the order every obstacle step follows.
inline const std::array<sf::Vector2f, 4> obstacleStarts{
    {{364.f, 110.f}, {130.f, 400.f}, {570.f, 400.f}, {340.f, 250.f}}};
inline const sf::Vector2f flowerCentre{400.f, 300.f};

constexpr std::size_t obstacleCount = 4;

struct FieldArt {
    FieldArt();
    FieldArt(const FieldArt&) = delete;
    FieldArt& operator=(const FieldArt&) = delete;

    // The obstacles in their fixed order: block, trapezoid, diamond, heart.
    std::array<Picture*, obstacleCount> obstacles();

    Picture bar;
    Picture ball;
    Picture blockObstacle;
    Picture trapezoidObstacle;
    Picture diamondObstacle;
    Picture heartObstacle;
    Picture flower;  // hidden at scale 0 until it blooms
};
