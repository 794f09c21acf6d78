#include "art/life_hearts.hpp"

#include "art/palette.hpp"
#include "art/picture.hpp"
#include "sfml_compat.hpp"

namespace {

constexpr float iconScale = 2.f;
constexpr std::array<float, lifeIconCount> iconX{20.f, 55.f, 90.f};
constexpr float iconY = 15.f;

}  // namespace

sf::Image paintLifeHeart(sf::Color colour) {
    sf::Image image = compat::makeImage(lifeHeartSize, lifeHeartSize);
    for (unsigned y = 0; y < lifeHeartSize; ++y)
        for (unsigned x = 0; x < lifeHeartSize; ++x)
            if (lifeHeartPattern[y][x] == 'W') compat::setPixel(image, x, y, colour);
    return image;
}

LifeHearts::LifeHearts()
    : lifeIcon{sf::Sprite(lifeFullTexture), sf::Sprite(lifeFullTexture),
               sf::Sprite(lifeFullTexture)} {}

void buildLifeHearts(LifeHearts& hearts) {
    // The images are needed only until their textures hold them.
    makeTexture(hearts.lifeFullTexture, paintLifeHeart(palette::crimson));
    makeTexture(hearts.lifeEmptyTexture, paintLifeHeart(palette::emptyLifeHeart));
    for (std::size_t i = 0; i < lifeIconCount; ++i) {
        sf::Sprite& icon = hearts.lifeIcon[i];
        icon.setTexture(hearts.lifeFullTexture, true);
        icon.setScale({iconScale, iconScale});
        icon.setPosition({iconX[i], iconY});
    }
}

void LifeHearts::fill() {
    for (sf::Sprite& icon : lifeIcon) icon.setTexture(lifeFullTexture);
}

void LifeHearts::greyOut(int index) {
    if (index < 0 || index >= static_cast<int>(lifeIconCount)) return;
    lifeIcon[static_cast<std::size_t>(index)].setTexture(lifeEmptyTexture);
}
