#pragma once
// The play clock: 60 seconds on it win the game. It counts real time with
// sf::Clock; a test can hold it at a chosen reading instead.

#include <SFML/System/Clock.hpp>

#include <optional>

class PlayClock {
public:
    void restart();
    float elapsedSeconds() const;
    // Reads `seconds` from now until the next restart (for tests).
    void holdAt(float seconds);

private:
    sf::Clock clock;
    std::optional<float> heldReading;
};
