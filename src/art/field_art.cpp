#include "art/field_art.hpp"

#include "art/ball_art.hpp"
#include "art/bar_art.hpp"
#include "art/flower_art.hpp"
#include "art/obstacle_art.hpp"

namespace {

const sf::Vector2f obstacleScale{3.f, 3.f};

}  // namespace

void buildFieldArt(FieldArt& art) {
    paintPicture(art.bar, paintBar(), {barScaleX, barScaleY}, barStart);
    paintPicture(art.ball, paintBall(), {2.f, 2.f}, ballStart);
    paintPicture(art.blockObstacle, paintBlock(), obstacleScale, obstacleStarts[blockIndex]);
    paintPicture(art.trapezoidObstacle, paintTrapezoid(), obstacleScale,
                 obstacleStarts[trapezoidIndex]);
    paintPicture(art.diamondObstacle, paintDiamond(), obstacleScale, obstacleStarts[diamondIndex]);
    paintPicture(art.heartObstacle, paintHeart(), obstacleScale, obstacleStarts[heartIndex]);
    paintPicture(art.flower, paintFlower(), {0.f, 0.f}, flowerCentre, {12.f, 12.f});
}

std::array<Picture*, obstacleCount> FieldArt::obstacles() {
    return {&blockObstacle, &trapezoidObstacle, &diamondObstacle, &heartObstacle};
}

std::array<const Picture*, obstacleCount> FieldArt::obstacles() const {
    return {&blockObstacle, &trapezoidObstacle, &diamondObstacle, &heartObstacle};
}
