#include "art/field_art.hpp"

#include "art/ball_art.hpp"
#include "art/bar_art.hpp"
#include "art/flower_art.hpp"
#include "art/obstacle_art.hpp"

namespace {

const sf::Vector2f obstacleScale{3.f, 3.f};

}  // namespace

FieldArt::FieldArt()
    : bar(paintBar(), {1.875f, 2.5f}, barStart),
      ball(paintBall(), {2.f, 2.f}, ballStart),
      blockObstacle(paintBlock(), obstacleScale, obstacleStarts[0]),
      trapezoidObstacle(paintTrapezoid(), obstacleScale, obstacleStarts[1]),
      diamondObstacle(paintDiamond(), obstacleScale, obstacleStarts[2]),
      heartObstacle(paintHeart(), obstacleScale, obstacleStarts[3]),
      flower(paintFlower(), {0.f, 0.f}, flowerCentre, {12.f, 12.f}) {}

std::array<Picture*, obstacleCount> FieldArt::obstacles() {
    return {&blockObstacle, &trapezoidObstacle, &diamondObstacle, &heartObstacle};
}
