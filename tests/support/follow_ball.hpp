#pragma once
// The one rule of every scripted player: keep the bar's centre under the ball's.

#include "game/held_keys.hpp"

// Left or Right when the ball is more than `slack` to that side of the bar.
inline HeldKeys followBall(float ballCentre, float barCentre, float slack) {
    HeldKeys keys;
    keys.left = ballCentre < barCentre - slack;
    keys.right = ballCentre > barCentre + slack;
    return keys;
}
