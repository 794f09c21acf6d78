// plumwick_sound_match RECORDING TRACK.ogg...: names each stretch of a
// recording made by pulse-sink.sh (s16le, 44100 Hz, 2 channels) by the
// tracks given, one line each: where, which track from which offset, at
// which gain. For scripts; the window tests call the same code directly.
#include "sound_match.hpp"

#include <filesystem>
#include <iostream>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: " << argv[0] << " RECORDING.raw TRACK.ogg...\n";
        return 2;
    }
    std::vector<sound_match::Track> tracks;
    for (int i = 2; i < argc; ++i) {
        std::string error;
        tracks.push_back(sound_match::decodeTrack(
            argv[i], std::filesystem::path(argv[i]).stem().string(), error));
        if (!error.empty()) {
            std::cerr << error << '\n';
            return 1;
        }
    }
    const std::vector<float> recording = sound_match::readRecording(argv[1]);
    const auto windows = sound_match::identifyWindows(recording, tracks);
    for (const auto& stretch : sound_match::joinStretches(windows, tracks))
        std::cout << sound_match::describe(stretch, tracks) << '\n';
    return 0;
}
