#pragma once
// The two looping music tracks: one for the menu, one for the game.

#include "audio_device.hpp"

#include <SFML/Audio/Music.hpp>

#include <optional>

constexpr float menuMusicVolume = 40.f;
constexpr float gameMusicVolume = 50.f;

struct Soundtrack {
    // First member: SFML's audio device is open before the tracks are made
    // and closed after they are gone. Held from the opening on.
    std::optional<compat::AudioDeviceHold> device;
    // Made only with a device. Without one, SFML 2 reports every call on a
    // track, and a started stream does so in a loop that never sleeps.
    std::optional<sf::Music> menuMusic;
    std::optional<sf::Music> gameMusic;
    bool menuOpened = false;  // its file opened (read, without a device)
    bool gameOpened = false;
};

enum class Track { Menu, Game };

// Opens both tracks by bare name from the working directory, each with its
// volume and looping, without starting them. A track that cannot be opened
// gets one console line and stays silent; the game goes on without it.
// Without a sound device the game says so once, makes no track and plays on
// in silence; each file is still read, so a bad one gets its line all the same.
void openSoundtrack(Soundtrack& music);

// Starts a track from its beginning, or stops it. A track that did not open
// is never started or stopped: it has no stream behind it to play.
void playTrack(Soundtrack& music, Track track);
void stopTrack(Soundtrack& music, Track track);

// Volume 0 for both, or back to their own volumes. Starts and stops nothing.
void setSoundOn(Soundtrack& music, bool on);
