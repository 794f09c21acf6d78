#pragma once
// An image kept beside the texture made from it and the sprite that shows it.
// The image stays alive because the contact test reads its pixels in play.

#include <SFML/Graphics.hpp>

struct Picture {
    // Empty until painted: no image, an empty texture, a sprite showing it.
    Picture() : sprite(texture) {}
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    sf::Image image;
    sf::Texture texture;
    sf::Sprite sprite;
};

// Keeps the image, makes the texture (no smoothing, so enlarged pixels stay
// square) and shows all of it with the given scale, position and origin.
void paintPicture(Picture& picture, sf::Image painted, sf::Vector2f scale, sf::Vector2f position,
                  sf::Vector2f origin = {0.f, 0.f});

// Makes an unsmoothed texture from an image; says so on the console if the
// graphics driver refuses.
void makeTexture(sf::Texture& texture, const sf::Image& image);
