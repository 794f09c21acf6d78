#pragma once
// The ball's flight in one frame: the drop, the walls and the bar.

#include "art/field_art.hpp"
#include "art/life_hearts.hpp"
#include "game/play_state.hpp"

// Moves the ball; a ball below the field costs a life; then the left, right
// and top walls (each with a speed-up) and the bar bounce it.
void ballStep(PlayState& state, FieldArt& art, LifeHearts& hearts, float dt);
