#pragma once
// One pass of the frame loop, phase by phase.

#include "app/game.hpp"
#include "game/held_keys.hpp"

#include <functional>

// Events, time, popup, restart, playing update, drawing: one whole frame,
// with the live keyboard and the frame clock.
void runFrame(Game& game);

// The same frame with the held keys given, asked after the events and the
// frame time: for a scripted player in place of the keyboard.
using KeysOf = std::function<HeldKeys(const Game&)>;
void runFrame(Game& game, const KeysOf& keysOf);

// The phases after the events and the frame time, from given values, so that
// any sequence of frames can be replayed exactly.
void advanceFrame(Game& game, float dt, HeldKeys keys);

// The simulation of one frame: only on the playing screen of a game in
// progress. A flag set by a step here takes effect next frame.
void playingUpdate(Game& game, float dt, HeldKeys keys);
