#include "bench_game.hpp"

#include "game/field.hpp"
#include "sfml_compat.hpp"

#include <cstdlib>
#include <stdexcept>

namespace {

const sf::Font& opened(sf::Font& font) {
    if (!compat::openFont(font, "pixel_font.ttf"))
        throw std::runtime_error("pixel_font.ttf not found: run in assets/");
    return font;
}

}  // namespace

BenchGame::BenchGame()
    : texts(opened(font)), scene{window,     music,  art,
                                 frameClock, state,  shell,
                                 texts,      hearts, [] { return std::rand(); }} {
    compat::openWindow(window, static_cast<unsigned>(fieldWidth),
                       static_cast<unsigned>(fieldHeight), "PLUMWICK");
    openSoundtrack(music);
    state.playClock.restart();
    drawStartDirections(state, scene.draw);
    music.menuMusic.play();
    shell.windowFocused = true;  // a player's window: the frames ask for their keys
}
