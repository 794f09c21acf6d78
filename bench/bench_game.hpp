#pragma once
// The game's objects, made as its start-up makes them, in one window of this
// process, for benchmarks that drive its frames one by one.

#include "game_objects.hpp"

struct BenchGame : GameObjects {
    // The random draws are the C library's, as in the game; the start-up
    // draws are made. Throws when the font is missing (run in assets/).
    BenchGame();
};
