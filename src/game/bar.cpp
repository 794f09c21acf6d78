#include "game/bar.hpp"

void barStep(sf::Sprite& bar, HeldKeys keys, float dt) {
    if (keys.left && bar.getPosition().x > barLeftLimit) bar.move({-barSpeed * dt, 0.f});
    if (keys.right && bar.getPosition().x < barRightLimit) bar.move({barSpeed * dt, 0.f});
}
