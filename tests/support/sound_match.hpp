#pragma once
// Which music a recording holds: each stretch of it named by track, the
// track's offset and the gain it was played at, found by normalised
// cross-correlation against the decoded tracks. No FFT: a coarse search on
// a decimated signal, then a fine one at full rate around its best candidates,
// and once a stretch is known each next window is only checked where the
// track should have got to. Deterministic: the same samples give the same answer.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sound_match {

constexpr unsigned sampleRate = 44100;  // of the tracks and of every recording

// A looping track, decoded to mono floats in [-1, 1] at sampleRate.
struct Track {
    std::string name;
    std::vector<float> samples;
    std::vector<float> coarse;  // box averages of `decimation` samples
    double seconds() const { return double(samples.size()) / sampleRate; }
};

// Decodes an .ogg with SFML's sf::InputSoundFile, as the game's sf::Music does;
// an empty track and a message in `error` when it cannot.
Track decodeTrack(const std::string& file, const std::string& name, std::string& error);

// Interleaved signed 16-bit stereo, as parec records it, to mono floats.
std::vector<float> monoFromStereoS16(const std::vector<std::int16_t>& interleaved);
// The raw file parec wrote (s16le, 2 channels); the whole file as it is now.
std::vector<float> readRecording(const std::string& file);

// One window of the recording: silent, unknown, or a track at an offset.
struct Window {
    double at = 0;                  // start in the recording, s
    int track = -1;                 // index into the tracks; -1 silent or unknown
    bool silent = false;            // RMS below silenceRms
    double offset = 0;              // where in the track the window starts, s
    std::size_t offsetSamples = 0;  // the same in samples
    double gain = 0;                // least-squares amplitude ratio recording / track
    double correlation = 0;         // normalised, at that offset
    double rms = 0;
};

// Stretches of consecutive windows saying the same: silence, unknown sound,
// or one track running on without a jump (its offset advancing with the
// recording, across the loop point too). A track heard again on its timeline,
// with only silence or unknown sound between, is the same stretch: a loaded
// machine drops sound on the way (the sink plays zeros and the track's time
// runs on, or the stream runs dry and the track goes on a little later, by at
// most `maxLag`), and a volume switched off and on leaves a silence in it.
struct Stretch {
    double from = 0, to = 0;  // in the recording, s
    int track = -1;           // -1: silence; -2: unknown
    double offset = 0;        // of the track at `from`, s
    std::size_t offsetSamples = 0;
    double gain = 0;  // median over its windows (over the clean ones if there are)
    double minCorrelation = 1;
    double unheard = 0;         // s between its heard windows
    double longestSilence = 0;  // s, the longest silence inside it
    double silenceEnd = 0;      // where that silence ended
    double lag = 0;             // s the track fell behind inside it
    int windows = 0;
    // Where the track's sample 0 was (or would have been) in the recording, s:
    // at its start, and where its end says it was.
    double origin() const { return from - offset; }
    double lastOrigin() const { return origin() + lag; }
};

struct Settings {
    double windowSeconds = 0.5;
    double hopSeconds = 0.25;
    double silenceRms = 1e-3;     // -60 dB of full scale: what is left at volume 0 is 0
    double minCorrelation = 0.9;  // below: unknown (a mixture, a click, a change)
    int minWindows = 3;           // a track found in fewer is unknown sound
    double maxLag = 1.5;          // s; a pause or a restart the tests look for shows more
};

std::vector<Window> identifyWindows(const std::vector<float>& recording,
                                    const std::vector<Track>& tracks, const Settings& = {});
std::vector<Stretch> joinStretches(const std::vector<Window>& windows,
                                   const std::vector<Track>& tracks, const Settings& = {});

// The one window starting at `at` s, searched in the given track only (-1: all).
Window identifyAt(const std::vector<float>& recording, double at, const std::vector<Track>& tracks,
                  int onlyTrack = -1, const Settings& = {});

// The recording against `track` played from `offsetSamples` at `at` (s) with
// `gain`, over [at, at + seconds), in blocks of 10 ms: the largest RMS of
// (recording - gain * track) relative to that of gain * track (at least 0.01),
// and the blocks of digital silence, which the machine drops, left out of it.
// The same samples give a residual of a few thousandths (16-bit rounding);
// one sample off, a gap or a click gives tenths.
struct Residual {
    double worst = 0;
    int droppedBlocks = 0;
};
Residual residualAgainst(const std::vector<float>& recording, const Track& track, double at,
                         std::size_t offsetSamples, double gain, double seconds);

// The median gain of the windows of `track` starting in [from, to), over the
// clean ones (correlation above 0.999) if there are.
double medianGain(const std::vector<Window>& windows, int track, double from, double to);

// Dropouts: runs of 10 ms blocks of digital silence between the first and the
// last block that was heard. The tracks hold no such block (a silent stretch
// of a track still dithers), so each run is sound the machine failed to play.
struct Gaps {
    int count = 0;
    double seconds = 0;  // all of them together
    double longest = 0;
    double heard = 0;  // from the first heard block to the last
};
Gaps findGaps(const std::vector<float>& recording);
// How many 10 ms blocks of digital silence a track holds itself.
int silentBlocks(const Track& track);

std::string describe(const Stretch& stretch, const std::vector<Track>& tracks);

}  // namespace sound_match
