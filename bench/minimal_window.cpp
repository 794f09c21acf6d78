// plumwick_minimal: the least an SFML program does to show the game's window.
// It opens the window as the game does, clears it black and displays one
// frame, then reports when that frame was shown and its peak memory.

#include "game/field.hpp"
#include "probe.hpp"
#include "sfml_compat.hpp"

#include <SFML/Graphics/RenderWindow.hpp>

int main() {
    sf::RenderWindow window;
    compat::openWindow(window, static_cast<unsigned>(fieldWidth),
                       static_cast<unsigned>(fieldHeight), "PLUMWICK");
    window.clear(sf::Color::Black);
    window.display();
    probe::report("first-frame-ns", probe::monotonicNanoseconds());
    probe::report("peak-kib", probe::peakResidentKib());
    return 0;
}
