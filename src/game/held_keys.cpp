#include "game/held_keys.hpp"

#include <SFML/Window/Keyboard.hpp>

HeldKeys sampleHeldKeys(bool windowHasFocus) {
    HeldKeys keys;
    if (!windowHasFocus) return keys;
    keys.left = sf::Keyboard::isKeyPressed(sf::Keyboard::Key::Left);
    keys.right = sf::Keyboard::isKeyPressed(sf::Keyboard::Key::Right);
    keys.space = sf::Keyboard::isKeyPressed(sf::Keyboard::Key::Space);
    return keys;
}
