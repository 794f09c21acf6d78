#pragma once
// An image kept beside the texture made from it and the sprite that shows it.
// The image stays alive because the contact test reads its pixels in play.

#include <SFML/Graphics.hpp>

struct Picture {
    // Makes the texture (no smoothing, so enlarged pixels stay square) and a
    // sprite showing all of it with the given scale, position and origin.
    Picture(sf::Image painted, sf::Vector2f scale, sf::Vector2f position,
            sf::Vector2f origin = {0.f, 0.f});
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    sf::Image image;
    sf::Texture texture;
    sf::Sprite sprite;
};

// Makes an unsmoothed texture from an image; says so on the console if the
// graphics driver refuses.
void makeTexture(sf::Texture& texture, const sf::Image& image);
