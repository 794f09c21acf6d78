#pragma once
// The benchmarks that drive the game's frames and simulation in this process.

#include "app/game.hpp"

// How long each benchmark runs: the minimum time of one repetition, and how
// many repetitions (run interleaved in a random order with the others).
struct RunLength {
    double minSeconds;
    int repetitions;
};

namespace bench_names {
inline const char* const emptyFrame = "frame/empty";
inline const char* const menuGame = "frame/menu/game";
inline const char* const menuReference = "frame/menu/reference";
inline const char* const fieldGame = "frame/field/game";
inline const char* const fieldReference = "frame/field/reference";
inline const char* const flowerGame = "frame/flower/game";
inline const char* const flowerReference = "frame/flower/reference";
inline const char* const fieldKeysGiven = "frame/field/game-keys-given";
inline const char* const eventsPhase = "frame-phase/events";
inline const char* const keysPhase = "frame-phase/held-keys";
inline const char* const composePhase = "frame-phase/compose";
inline const char* const typicalUpdate = "update/typical";
inline const char* const dearestUpdate = "update/dearest";
inline const char* const restoreOnly = "update/restore-only";
inline const char* const collision = "collision/dearest";
}  // namespace bench_names

// What the dearest update is made of, for the summary.
struct DearestSpot {
    sf::Vector2f ballPosition;
    sf::Vector2f heartPosition;
    float overlapWidth;
    float overlapHeight;
};

// Registers every frame and simulation benchmark on `game`. Finds and checks
// the dearest update's ball position first; throws if there is none.
DearestSpot registerGameBenchmarks(Game& game, RunLength frames, RunLength updates);
