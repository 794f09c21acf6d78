#pragma once
// How a game ends (the play clock, the lives) and how a new one begins.

#include "art/field_art.hpp"
#include "art/life_hearts.hpp"
#include "game/held_keys.hpp"
#include "game/play_state.hpp"

constexpr int winAfterSeconds = 59;  // won at the first whole second above this

// Whole seconds of the play clock; sets gameWon past 59. Returns the seconds
// for the HUD.
int clockStep(PlayState& state);

// Neither lost nor won: the playing update may run.
bool gameInProgress(const PlayState& state);

// Holding Space after either end starts a new game, on any screen.
void restartTrigger(PlayState& state, FieldArt& art, LifeHearts& hearts, HeldKeys keys,
                    const RandomDraw& draw);
