// What the game plays, recorded: a private PulseAudio daemon with a null sink
// (tests/support/pulse-sink.sh, which scripts use too), its monitor recorded
// while the game plays there.
#pragma once

#include "game_window.hpp"

#include <filesystem>
#include <string>
#include <vector>

namespace window_test {

class SoundSink {
public:
    // Starts the daemon; `error()` says why when it could not.
    SoundSink();
    // Stops the recording and the daemon; keeps the directory when the test failed.
    ~SoundSink();
    SoundSink(const SoundSink&) = delete;
    SoundSink& operator=(const SoundSink&) = delete;

    // The programs the sink needs that are not installed, e.g. "pulseaudio parec"; empty if none.
    static std::string missingTools();

    bool started() const { return !server.empty(); }
    const std::string& error() const { return problem; }

    // What a game needs in its environment to play there (SFML 2 through OpenAL's
    // PulseAudio driver; SFML 3's miniaudio takes PULSE_SERVER as it is).
    Lines gameEnvironment() const;

    // Starts recording and waits until the first sound data has arrived.
    bool startRecording(double limitSeconds);
    double recordedSeconds() const;
    // Everything recorded so far, mono (see sound_match.hpp).
    std::vector<float> recording() const;
    std::filesystem::path recordingFile() const { return dir / "recording.raw"; }

private:
    int script(const std::string& arguments, std::string* out = nullptr) const;

    std::filesystem::path dir;
    std::string server;
    std::string problem;
};

}  // namespace window_test
