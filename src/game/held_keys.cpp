#include "game/held_keys.hpp"

#include <SFML/Window/Keyboard.hpp>

HeldKeys sampleHeldKeys(KeysWanted wanted, bool windowHasFocus) {
    HeldKeys keys;
    if (!windowHasFocus) return keys;
    if (wanted.arrows) {
        keys.left = sf::Keyboard::isKeyPressed(sf::Keyboard::Key::Left);
        keys.right = sf::Keyboard::isKeyPressed(sf::Keyboard::Key::Right);
    }
    if (wanted.space) keys.space = sf::Keyboard::isKeyPressed(sf::Keyboard::Key::Space);
    return keys;
}
