#pragma once
// The two looping music tracks: one for the menu, one for the game.

#include <SFML/Audio/Music.hpp>

constexpr float menuMusicVolume = 40.f;
constexpr float gameMusicVolume = 50.f;

struct Soundtrack {
    sf::Music menuMusic;
    sf::Music gameMusic;
    bool menuOpened = false;
    bool gameOpened = false;
};

enum class Track { Menu, Game };

// Opens both tracks by bare name from the working directory, each with its
// volume and looping, without starting them. A track that cannot be opened
// gets one console line and stays silent; the game goes on without it.
void openSoundtrack(Soundtrack& music);

// Starts a track from its beginning, or stops it. A track that did not open
// is never started or stopped: it has no stream behind it to play.
void playTrack(Soundtrack& music, Track track);
void stopTrack(Soundtrack& music, Track track);

// Volume 0 for both, or back to their own volumes. Starts and stops nothing.
void setSoundOn(Soundtrack& music, bool on);
