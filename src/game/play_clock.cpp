#include "game/play_clock.hpp"

void PlayClock::restart() {
    clock.restart();
    heldReading.reset();
}

float PlayClock::elapsedSeconds() const {
    return heldReading ? *heldReading : clock.getElapsedTime().asSeconds();
}

void PlayClock::holdAt(float seconds) { heldReading = seconds; }
