#pragma once
// Whether SFML found a sound device to play on. The two majors answer this
// in different ways, so it lives here beside sfml_compat.hpp.
//
// We ask the device SFML itself opened rather than opening one of our own:
// a second device could be granted when SFML's was refused (or the other way
// round), and it would open the sound card twice. So the game holds SFML's
// audio device open for the whole run (both majors open it with their first
// audio object and close it with their last) and asks after it:
// - SFML 2 plays through OpenAL and has no context when no device opened;
//   every OpenAL call then fails and is reported, and a playing stream does
//   so in a loop that never sleeps. We ask OpenAL for the current context.
// - SFML 3 plays through miniaudio and, with no device, falls back to its
//   null device of its own accord and says so. That device takes a stream
//   silently at a real device's pace, as OpenAL's null driver does for SFML 2,
//   so it counts as a device: only none at all does not.

#include <SFML/Config.hpp>

#if SFML_VERSION_MAJOR >= 3
#include <SFML/Audio/AudioResource.hpp>
#include <SFML/Audio/PlaybackDevice.hpp>

#include <cstdlib>
#else
#include <alc.h>
#include <SFML/Audio/AlResource.hpp>
#endif

namespace compat {

// Keeps SFML's audio device open while it lives; SFML prints its own
// diagnostics if none can be opened.
#if SFML_VERSION_MAJOR >= 3
// SFML 3 asks miniaudio for periods of 64 frames (1.5 ms), and through
// PulseAudio the music then comes out in jumbled pieces, even on an idle
// machine; with 60 ms of buffer it plays whole (there is only music, so the
// delay is never heard). Set before the device opens; a player's own
// PULSE_LATENCY_MSEC is kept.
struct PulseAudioBuffer {
    PulseAudioBuffer() {
#ifdef __linux__
        setenv("PULSE_LATENCY_MSEC", "60", 0);
#endif
    }
};
class AudioDeviceHold : PulseAudioBuffer, sf::AudioResource {};
#else
class AudioDeviceHold : sf::AlResource {};
#endif

// Asked while an AudioDeviceHold lives.
inline bool audioDeviceOpened() {
#if SFML_VERSION_MAJOR >= 3
    return sf::PlaybackDevice::getDevice().has_value();
#else
    return alcGetCurrentContext() != nullptr;
#endif
}

}  // namespace compat
