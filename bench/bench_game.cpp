#include "bench_game.hpp"

#include <cstdlib>
#include <stdexcept>

BenchGame::BenchGame() : GameObjects([] { return std::rand(); }) {
    if (!fontOpened) throw std::runtime_error("pixel_font.ttf not found: run in assets/");
    state.playClock.restart();
    drawStartDirections(state, scene.draw);
    shell.windowFocused = true;  // a player's window: the frames ask for their keys
}
