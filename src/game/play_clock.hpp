#pragma once
// The play clock: 60 seconds on it win the game. It counts real time with
// sf::Clock, unless whoever drives the frames by hand (a test replaying
// frames, a benchmark holding the field mid-game) holds it at a reading.

#include <SFML/System/Clock.hpp>

#include <optional>

class PlayClock {
public:
    void restart();
    float elapsedSeconds() const;
    // Reads `seconds` from now until the next restart.
    void holdAt(float seconds);

private:
    sf::Clock clock;
    std::optional<float> heldReading;
};
