#include "sound_sink.hpp"

#include "sound_match.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <iostream>

#include <stdlib.h>

namespace window_test {

namespace fs = std::filesystem;

namespace {

constexpr double bytesPerSecond = sound_match::sampleRate * 2 * 2;  // s16le stereo
// The daemon's own limit, in case the test is killed: longer than its ctest TIMEOUT.
constexpr int daemonSeconds = 400;

}  // namespace

std::string SoundSink::missingTools() {
    std::string missing;
    for (const char* tool : {"pulseaudio", "parec", "pactl"}) {
        if (run(std::string("sh -c 'command -v ") + tool + "' >/dev/null") != 0)
            missing += (missing.empty() ? "" : " ") + std::string(tool);
    }
    return missing;
}

int SoundSink::script(const std::string& arguments, std::string* out) const {
    return run("bash " PLUMWICK_PULSE_SINK " " + arguments + " 2>>" + (dir / "script.log").string(),
               out);
}

SoundSink::SoundSink() {
    std::string pattern = (fs::temp_directory_path() / "plumwick_sound_XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        problem = std::string("mkdtemp: ") + std::strerror(errno);
        return;
    }
    dir = pattern;
    std::string out;
    const int status = script("start " + dir.string() + " " + std::to_string(daemonSeconds), &out);
    if (status == 0 && !out.empty()) {
        server = out.substr(0, out.find('\n'));
    } else {
        problem = "pulse-sink.sh start failed (status " + std::to_string(status) + "), see " +
                  (dir / "script.log").string();
    }
}

SoundSink::~SoundSink() {
    if (dir.empty()) return;
    script("stop " + dir.string());
    if (::testing::Test::HasFailure()) {
        std::cerr << "[sound] kept the recording and the daemon's log: " << dir << '\n';
    } else {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
}

Lines SoundSink::gameEnvironment() const {
    return {"ALSOFT_DRIVERS=pulse", "PULSE_SERVER=" + server};
}

bool SoundSink::startRecording(double limitSeconds) {
    if (script("record " + dir.string() + " " + std::to_string(int(limitSeconds))) != 0)
        return false;
    const auto start = Clock::now();
    while (recordedSeconds() == 0) {
        if (secondsSince(start) > 10) return false;
        sleepFor(0.05);
    }
    return true;
}

double SoundSink::recordedSeconds() const {
    std::error_code error;
    const auto bytes = fs::file_size(recordingFile(), error);
    return error ? 0 : double(bytes) / bytesPerSecond;
}

std::vector<float> SoundSink::recording() const {
    return sound_match::readRecording(recordingFile().string());
}

}  // namespace window_test
