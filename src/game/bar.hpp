#pragma once
// The player's bar, moved along the bottom by the held arrow keys.

#include "art/bar_art.hpp"
#include "art/field_art.hpp"
#include "game/field.hpp"
#include "game/held_keys.hpp"

#include <SFML/Graphics/Sprite.hpp>

constexpr float barSpeed = 300.f;
// Left acts only above this x, Right only below the next: the bar's width
// short of the right wall.
constexpr float barLeftLimit = 0.f;
constexpr float barRightLimit = fieldWidth - barImageWidth * barScaleX;

// Not clamped after the move: one frame can carry the bar a little past a
// limit, where it then stops.
void barStep(sf::Sprite& bar, HeldKeys keys, float dt);
