// plumwick_sound_match RECORDING TRACK.ogg...: names each stretch of a
// recording made by pulse-sink.sh (s16le, 44100 Hz, 2 channels) by the
// tracks given, one line each: where, which track from which offset, at
// which gain. With --gaps first, it counts the recording's dropouts instead
// (the benchmark scripts/bench-dropouts.sh). For scripts; the window tests
// call the same code directly.
#include "sound_match.hpp"

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>

namespace {

void printGaps(const std::vector<float>& recording, const std::vector<sound_match::Track>& tracks) {
    for (const sound_match::Track& track : tracks) {
        if (const int silent = sound_match::silentBlocks(track); silent > 0)
            std::printf("note: %s itself holds %d silent 10 ms blocks\n", track.name.c_str(),
                        silent);
    }
    const sound_match::Gaps gaps = sound_match::findGaps(recording);
    std::printf("gaps: %d in %.1f s of music, %.2f s in all, the longest %.2f s\n", gaps.count,
                gaps.heard, gaps.seconds, gaps.longest);
}

}  // namespace

int main(int argc, char** argv) {
    const bool gaps = argc > 1 && std::string(argv[1]) == "--gaps";
    const int first = gaps ? 2 : 1;
    if (argc < first + 2) {
        std::cerr << "usage: " << argv[0] << " [--gaps] RECORDING.raw TRACK.ogg...\n";
        return 2;
    }
    std::vector<sound_match::Track> tracks;
    for (int i = first + 1; i < argc; ++i) {
        std::string error;
        tracks.push_back(sound_match::decodeTrack(
            argv[i], std::filesystem::path(argv[i]).stem().string(), error));
        if (!error.empty()) {
            std::cerr << error << '\n';
            return 1;
        }
    }
    const std::vector<float> recording = sound_match::readRecording(argv[first]);
    if (gaps) {
        printGaps(recording, tracks);
        return 0;
    }
    const auto windows = sound_match::identifyWindows(recording, tracks);
    for (const auto& stretch : sound_match::joinStretches(windows, tracks))
        std::cout << sound_match::describe(stretch, tracks) << '\n';
    return 0;
}
