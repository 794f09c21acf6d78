#pragma once
// The pictures of the playing field, empty until the start-up builds them in
// this order; never repainted.

#include "art/picture.hpp"

#include <array>

// The obstacles' one order, which every list of them and every obstacle step
// follows.
enum ObstacleIndex : std::size_t { blockIndex, trapezoidIndex, diamondIndex, heartIndex };
constexpr std::size_t obstacleCount = 4;

// Play reads the bar's, ball's and obstacles' bounds from SFML, built by the
// system with its own flags (multiply-adds fused on arm64). They are the same
// on every CPU all the same: no rotation, no origin, and each scale times its
// image's size exact in float, so every edge is one rounded sum, fused or not.
constexpr float barScaleX = 1.875f;  // 150 px wide
constexpr float barScaleY = 2.5f;

inline const sf::Vector2f barStart{325.f, 550.f};
inline const sf::Vector2f ballStart{384.f, 50.f};
inline const std::array<sf::Vector2f, obstacleCount> obstacleStarts{
    {{364.f, 110.f}, {130.f, 400.f}, {570.f, 400.f}, {340.f, 250.f}}};
inline const sf::Vector2f flowerCentre{400.f, 300.f};

struct FieldArt {
    // The obstacles by ObstacleIndex.
    std::array<Picture*, obstacleCount> obstacles();
    std::array<const Picture*, obstacleCount> obstacles() const;

    Picture bar;
    Picture ball;
    Picture blockObstacle;
    Picture trapezoidObstacle;
    Picture diamondObstacle;
    Picture heartObstacle;
    Picture flower;  // hidden at scale 0 until it blooms
};

// Paints every picture, in the order of the members, and puts each sprite at
// its start.
void buildFieldArt(FieldArt& art);
