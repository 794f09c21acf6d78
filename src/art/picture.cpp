#include "art/picture.hpp"

#include "sfml_compat.hpp"

#include <iostream>
#include <utility>

void makeTexture(sf::Texture& texture, const sf::Image& image) {
    if (!compat::loadTexture(texture, image))
        std::cerr << "ERRORE: impossibile creare una texture!" << std::endl;
    texture.setSmooth(false);
}

Picture::Picture(sf::Image painted, sf::Vector2f scale, sf::Vector2f position, sf::Vector2f origin)
    : image(std::move(painted)), sprite(texture) {
    makeTexture(texture, image);
    sprite.setTexture(texture, true);  // the sprite was made before the texture had a size
    sprite.setOrigin(origin);
    sprite.setScale(scale);
    sprite.setPosition(position);
}
