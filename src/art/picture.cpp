#include "art/picture.hpp"

#include "sfml_compat.hpp"

#include <iostream>
#include <utility>

void makeTexture(sf::Texture& texture, const sf::Image& image) {
    if (!compat::loadTexture(texture, image))
        std::cerr << "ERRORE: impossibile creare una texture!" << std::endl;
    texture.setSmooth(false);
}

void paintPicture(Picture& picture, sf::Image painted, sf::Vector2f scale, sf::Vector2f position,
                  sf::Vector2f origin) {
    picture.image = std::move(painted);
    makeTexture(picture.texture, picture.image);
    // The sprite was made before the texture had a size.
    picture.sprite.setTexture(picture.texture, true);
    picture.sprite.setOrigin(origin);
    picture.sprite.setScale(scale);
    picture.sprite.setPosition(position);
}
