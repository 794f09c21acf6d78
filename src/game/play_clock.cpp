#include "game/play_clock.hpp"

// SFML 3's Clock.hpp only forward-declares sf::Time (2.5 included it).
#include <SFML/System/Time.hpp>

void PlayClock::restart() {
    clock.restart();
    heldReading.reset();
}

float PlayClock::elapsedSeconds() const {
    return heldReading ? *heldReading : clock.getElapsedTime().asSeconds();
}

void PlayClock::holdAt(float seconds) { heldReading = seconds; }
