#pragma once
// One pass of the frame loop, phase by phase.

#include "app/scene.hpp"
#include "game/held_keys.hpp"

// Events, time, popup, restart, playing update, drawing: one whole frame,
// with the live keyboard and the frame clock.
void runFrame(Scene& scene);

// The phases after the events and the frame time, from given values, so that
// any sequence of frames can be replayed exactly.
void advanceFrame(Scene& scene, float dt, HeldKeys keys);

// The simulation of one frame: only on the playing screen of a game in
// progress. A flag set by a step here takes effect next frame.
void playingUpdate(Scene& scene, float dt, HeldKeys keys);
