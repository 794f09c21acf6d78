// compose_music: renders PLUMWICK's two chiptune music loops and encodes them
// as Ogg Vorbis.
//
//   usage: compose_music <output-dir>
//   writes <output-dir>/menu_music.ogg and <output-dir>/game_music.ogg
//
// All music is synthesised from the note tables in this file, so a tune is
// changed by editing a table and re-running the generator. The output is
// deterministic: same tables, same samples, same Ogg stream serial number.
//
// Seamless looping: every track is exactly a whole number of bars long, and
// every sound is written into the loop buffer with its index taken modulo the
// loop length. A note whose release runs past the end therefore continues at
// the start of the buffer, exactly as it would sound when the loop repeats, so
// the last sample flows into the first like any other pair of neighbours.

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr int sampleRate = 44100;
constexpr int stepsPerBar = 16;  // the sequencer grid is one 16th note
constexpr int stepsPerBeat = 4;
constexpr double pi = 3.14159265358979323846;

// Peak level of the rendered mix before encoding (about -3.1 dBFS). Lossy
// coding can overshoot the source peak slightly, so we leave headroom to keep
// the decoded file well below -1 dBFS.
constexpr float peakTarget = 0.70f;

// Vorbis VBR quality (-0.1 .. 1.0). 0.4 is transparent enough for square waves
// while keeping each track a few hundred kilobytes.
constexpr float vorbisQuality = 0.4f;

// A fixed stream serial number keeps the output files byte-reproducible.
constexpr int oggSerialNumber = 0x504C4D57;  // "PLMW"

// ---------------------------------------------------------------------------
// Note names as MIDI numbers (C4 = 60, A4 = 69 = 440 Hz).

// clang-format off
enum Pitch : int {
    Rest = 0,
    C2 = 36, Cs2, D2, Ds2, E2, F2, Fs2, G2, Gs2, A2, As2, B2,
    C3, Cs3, D3, Ds3, E3, F3, Fs3, G3, Gs3, A3, As3, B3,
    C4, Cs4, D4, Ds4, E4, F4, Fs4, G4, Gs4, A4, As4, B4,
    C5, Cs5, D5, Ds5, E5, F5, Fs5, G5, Gs5, A5, As5, B5,
    C6, Cs6, D6, Ds6, E6,
};
// clang-format on

// Twelve-tone equal temperament tuned to A4 = 440 Hz.
double frequencyOf(int midiNote) { return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0); }

// ---------------------------------------------------------------------------
// Table types. A Table is a constexpr view of a C array so songs can be
// described entirely at compile time and checked with static_assert.

template <typename T>
struct Table {
    const T* items;
    std::size_t count;

    constexpr const T* begin() const { return items; }
    constexpr const T* end() const { return items + count; }
    constexpr const T& operator[](std::size_t i) const { return items[i]; }
};

template <typename T, std::size_t N>
constexpr Table<T> tableOf(const T (&items)[N]) {
    return Table<T>{items, N};
}

// A melody note: pitch (or Rest) and length in 16th-note steps. Melodies are
// written as one continuous sequence, so start times follow from the lengths.
struct Note {
    int pitch;
    int steps;
};

// One chord per bar: a bass root plus three voicing notes for the arpeggio.
struct Chord {
    int bassRoot;
    int tones[3];
};

// One bass note inside a bar, relative to the bar's chord root.
struct BassHit {
    int step;
    int steps;
    int semitonesAboveRoot;
};

constexpr int totalSteps(Table<Note> melody) {
    int steps = 0;
    for (const Note& note : melody) {
        steps += note.steps;
    }
    return steps;
}

constexpr bool patternLengthIs16(const char* pattern) {
    int length = 0;
    while (pattern[length] != '\0') {
        ++length;
    }
    return length == stepsPerBar;
}

// ---------------------------------------------------------------------------
// Instruments.

enum class Wave { Pulse, Triangle };

struct Instrument {
    Wave wave;
    double duty;           // high fraction of a pulse cycle (ignored for triangle)
    double level;          // mix gain
    double attackSeconds;  // a few ms of fade-in so no note starts with a click
    double decaySeconds;   // time constant of the fall to the sustain level
    double sustainLevel;
    double releaseSeconds;  // fade-out after the key is let go, also click-free
    double gateFraction;    // portion of the written length the key is held
    double vibratoDepth;    // relative pitch swing, 0 for none
};

constexpr double vibratoRateHz = 5.5;
constexpr double vibratoDelaySeconds = 0.18;  // long notes only get vibrato
constexpr double vibratoFadeInSeconds = 0.25;

// A short tap delay on the lead gives a little space without reverb. Taps read
// the lead buffer circularly, so the echo also wraps around the loop point.
struct Echo {
    int delaySteps;
    double firstTapGain;
    double secondTapGain;  // second tap sits at twice the delay
};

// ---------------------------------------------------------------------------
// A song: tempo, length, note tables and sounds.

struct Song {
    const char* fileName;
    const char* title;
    int beatsPerMinute;
    int bars;
    Table<Note> melody;
    Table<Chord> chords;         // one per bar
    Table<BassHit> bassPattern;  // repeated every bar
    Table<int> arpPattern;       // chord-tone indices (3 = root an octave up)
    int arpStepLength;           // in 16th-note steps
    const char* beatPattern;     // per bar: K = kick, S = snare, . = nothing
    const char* fillPattern;     // replaces beatPattern on every eighth bar
    const char* hatPattern;      // per bar: h = closed hat, o = open hat
    double drumLevel;
    Instrument lead;
    Instrument arp;
    Instrument bass;
    Echo leadEcho;
};

// Samples per 16th-note step; the tempos below are chosen so this is exact,
// which makes every bar, and so the whole loop, a whole number of samples.
constexpr int samplesPerStep(int beatsPerMinute) {
    return sampleRate * 60 / (beatsPerMinute * stepsPerBeat);
}

constexpr bool tempoGivesWholeSteps(int beatsPerMinute) {
    return (sampleRate * 60) % (beatsPerMinute * stepsPerBeat) == 0;
}

// ---------------------------------------------------------------------------
// Menu music: C major, 100 BPM, 16 bars (38.4 s). Calm and inviting: a singing
// square-wave lead with gentle vibrato and echo over slow broken chords.

// clang-format off
constexpr Note menuMelody[] = {
    // C                                   Am
    {E5, 4}, {G5, 4}, {E5, 2}, {D5, 2}, {C5, 4},   {E5, 4}, {A5, 4}, {G5, 4}, {E5, 4},
    // F                                             G
    {F5, 4}, {A5, 4}, {G5, 2}, {F5, 2}, {E5, 2}, {D5, 2},   {D5, 6}, {B4, 2}, {G4, 8},
    // C                                   Am
    {E5, 4}, {G5, 4}, {C6, 6}, {B5, 2},   {A5, 4}, {E5, 4}, {C5, 4}, {E5, 4},
    // Dm                                   G
    {F5, 4}, {E5, 2}, {D5, 2}, {A5, 4}, {F5, 4},   {G5, 8}, {D5, 4}, {B4, 4},
    // F                                    G
    {A5, 6}, {G5, 2}, {F5, 4}, {C5, 4},   {G5, 6}, {A5, 2}, {B5, 4}, {G5, 4},
    // Em                                   Am
    {B5, 6}, {A5, 2}, {G5, 4}, {E5, 4},   {C6, 6}, {B5, 2}, {A5, 8},
    // F                                    G7
    {A5, 4}, {F5, 4}, {C6, 4}, {A5, 4},   {B5, 6}, {A5, 2}, {G5, 4}, {F5, 4},
    // C                          G (pickup back into bar 1)
    {E5, 6}, {D5, 2}, {C5, 8},   {Rest, 4}, {G4, 4}, {B4, 4}, {D5, 4},
};

constexpr Chord menuChords[] = {
    {C3, {C4, E4, G4}}, {A2, {A3, C4, E4}}, {F2, {A3, C4, F4}}, {G2, {G3, B3, D4}},
    {C3, {C4, E4, G4}}, {A2, {A3, C4, E4}}, {D3, {A3, D4, F4}}, {G2, {G3, B3, D4}},
    {F2, {A3, C4, F4}}, {G2, {G3, B3, D4}}, {E2, {G3, B3, E4}}, {A2, {A3, C4, E4}},
    {F2, {A3, C4, F4}}, {G2, {G3, B3, F4}}, {C3, {C4, E4, G4}}, {G2, {G3, B3, D4}},
};

// Root, fifth, octave, fifth: a rocking bass that leaves room for the tune.
constexpr BassHit menuBass[] = {
    {0, 6, 0}, {6, 2, 7}, {8, 4, 12}, {12, 4, 7},
};

constexpr int menuArp[] = {0, 1, 2, 3, 2, 1, 2, 1};

constexpr Song menuSong = {
    "menu_music.ogg",
    "Plumwick - Menu",
    100,
    16,
    tableOf(menuMelody),
    tableOf(menuChords),
    tableOf(menuBass),
    tableOf(menuArp),
    2,
    "K.....K.S.......",
    "K.....K.S...S.S.",
    "..h...h...h...h.",
    0.55,
    // wave, duty, level, attack, decay, sustain, release, gate, vibrato
    {Wave::Pulse, 0.50, 0.26, 0.010, 0.30, 0.70, 0.090, 0.92, 0.004},
    {Wave::Pulse, 0.25, 0.10, 0.006, 0.15, 0.45, 0.060, 0.90, 0.0},
    {Wave::Triangle, 0.0, 0.42, 0.008, 0.40, 0.80, 0.060, 0.92, 0.0},
    {3, 0.28, 0.12},
};

// ---------------------------------------------------------------------------
// Game music: A minor, 140 BPM, 24 bars (about 41.1 s). Driving: octave-
// jumping eighth-note bass, fast 16th arpeggios and a busy lead.

constexpr Note gameMelody[] = {
    // Am                                                      F
    {A4, 2}, {C5, 2}, {E5, 2}, {A5, 4}, {G5, 2}, {E5, 2}, {C5, 2},
    {F5, 4}, {E5, 2}, {F5, 2}, {A5, 4}, {C5, 4},
    // C                                                       G
    {G5, 2}, {E5, 2}, {C5, 2}, {E5, 2}, {G5, 4}, {C6, 4},
    {B5, 4}, {A5, 2}, {G5, 2}, {D5, 4}, {B4, 4},
    // Am                                                      F
    {A4, 2}, {C5, 2}, {E5, 2}, {A5, 4}, {G5, 2}, {A5, 2}, {B5, 2},
    {C6, 4}, {A5, 2}, {F5, 2}, {C6, 2}, {A5, 2}, {F5, 4},
    // G                                                       E
    {D6, 4}, {B5, 2}, {G5, 2}, {D5, 2}, {G5, 2}, {B5, 4},
    {Gs5, 4}, {E5, 2}, {B4, 2}, {Gs4, 4}, {B4, 4},

    // Am (variation)                                          F
    {E5, 2}, {E5, 2}, {A5, 2}, {E5, 2}, {C6, 4}, {B5, 2}, {A5, 2},
    {A5, 2}, {A5, 2}, {F5, 2}, {A5, 2}, {C6, 4}, {A5, 4},
    // C                                                       G
    {G5, 2}, {G5, 2}, {E5, 2}, {G5, 2}, {C6, 2}, {B5, 2}, {G5, 4},
    {D6, 4}, {B5, 2}, {G5, 2}, {A5, 2}, {B5, 2}, {G5, 4},
    // Am                                                      F
    {A5, 2}, {B5, 2}, {C6, 4}, {B5, 2}, {A5, 2}, {E5, 4},
    {F5, 2}, {G5, 2}, {A5, 4}, {G5, 2}, {F5, 2}, {C5, 4},
    // G                                                       E
    {D5, 2}, {E5, 2}, {G5, 4}, {B5, 4}, {D6, 4},
    {B5, 6}, {Gs5, 2}, {E5, 4}, {B4, 4},

    // Dm (bridge: longer notes for contrast)                  Am
    {D5, 4}, {F5, 4}, {A5, 8},
    {E5, 4}, {A5, 4}, {C6, 8},
    // Dm                                                      E
    {D6, 4}, {C6, 2}, {A5, 2}, {F5, 4}, {A5, 4},
    {Gs5, 8}, {E5, 4}, {B4, 4},
    // F                                                       G
    {C5, 2}, {F5, 2}, {A5, 2}, {C6, 2}, {A5, 2}, {F5, 2}, {C5, 4},
    {D5, 2}, {G5, 2}, {B5, 2}, {D6, 2}, {B5, 2}, {G5, 2}, {D5, 4},
    // Am                                                      E (runs down into bar 1)
    {E5, 2}, {A5, 2}, {C6, 2}, {E6, 2}, {C6, 4}, {A5, 4},
    {B5, 4}, {Gs5, 2}, {E5, 2}, {D5, 2}, {C5, 2}, {B4, 4},
};

constexpr Chord chordAm = {A2, {A3, C4, E4}};
constexpr Chord chordF = {F2, {A3, C4, F4}};
constexpr Chord chordC = {C3, {G3, C4, E4}};
constexpr Chord chordG = {G2, {G3, B3, D4}};
constexpr Chord chordE = {E2, {Gs3, B3, E4}};
constexpr Chord chordDm = {D3, {A3, D4, F4}};

constexpr Chord gameChords[] = {
    chordAm, chordF, chordC, chordG, chordAm, chordF, chordG, chordE,
    chordAm, chordF, chordC, chordG, chordAm, chordF, chordG, chordE,
    chordDm, chordAm, chordDm, chordE, chordF, chordG, chordAm, chordE,
};

// Eighth notes jumping between root and octave: the classic driving bass.
constexpr BassHit gameBass[] = {
    {0, 2, 0}, {2, 2, 12}, {4, 2, 0}, {6, 2, 12},
    {8, 2, 0}, {10, 2, 12}, {12, 2, 0}, {14, 2, 12},
};

constexpr int gameArp[] = {0, 1, 2, 3};

constexpr Song gameSong = {
    "game_music.ogg",
    "Plumwick - Game",
    140,
    24,
    tableOf(gameMelody),
    tableOf(gameChords),
    tableOf(gameBass),
    tableOf(gameArp),
    1,
    "K...S...K.K.S...",
    "K...S...K.S.SSSS",
    "h.h.h.h.h.h.h.o.",
    0.70,
    // wave, duty, level, attack, decay, sustain, release, gate, vibrato
    {Wave::Pulse, 0.25, 0.24, 0.004, 0.12, 0.65, 0.045, 0.85, 0.003},
    {Wave::Pulse, 0.125, 0.075, 0.003, 0.05, 0.35, 0.030, 0.80, 0.0},
    {Wave::Triangle, 0.0, 0.46, 0.004, 0.10, 0.70, 0.030, 0.80, 0.0},
    {3, 0.18, 0.0},
};
// clang-format on

// Compile-time checks that every table fills the loop exactly.
static_assert(tempoGivesWholeSteps(menuSong.beatsPerMinute),
              "menu tempo must give whole samples per step");
static_assert(tempoGivesWholeSteps(gameSong.beatsPerMinute),
              "game tempo must give whole samples per step");
static_assert(totalSteps(menuSong.melody) == menuSong.bars * stepsPerBar,
              "menu melody must fill the loop");
static_assert(totalSteps(gameSong.melody) == gameSong.bars * stepsPerBar,
              "game melody must fill the loop");
static_assert(menuSong.chords.count == static_cast<std::size_t>(menuSong.bars),
              "one menu chord per bar");
static_assert(gameSong.chords.count == static_cast<std::size_t>(gameSong.bars),
              "one game chord per bar");
static_assert(patternLengthIs16(menuSong.beatPattern) && patternLengthIs16(menuSong.fillPattern) &&
                  patternLengthIs16(menuSong.hatPattern),
              "menu drum patterns are one bar of 16 steps");
static_assert(patternLengthIs16(gameSong.beatPattern) && patternLengthIs16(gameSong.fillPattern) &&
                  patternLengthIs16(gameSong.hatPattern),
              "game drum patterns are one bar of 16 steps");

// ---------------------------------------------------------------------------
// Loop buffer: mono samples whose index wraps at the loop length.

class LoopBuffer {
public:
    explicit LoopBuffer(std::size_t frames) : sampleData(frames, 0.0f) {}

    void add(std::size_t position, double value) {
        sampleData[position % sampleData.size()] += static_cast<float>(value);
    }

    float at(std::size_t position) const { return sampleData[position % sampleData.size()]; }
    std::size_t size() const { return sampleData.size(); }
    std::vector<float>& samples() { return sampleData; }
    const std::vector<float>& samples() const { return sampleData; }

private:
    std::vector<float> sampleData;
};

std::size_t toSamples(double seconds) {
    return static_cast<std::size_t>(std::lround(seconds * sampleRate));
}

// ---------------------------------------------------------------------------
// Oscillators.

// PolyBLEP residual: smooths a unit-height step at phase 0 over one sample on
// each side, which removes most of the harsh aliasing of naive pulse waves.
double polyBlep(double phase, double phaseStep) {
    if (phase < phaseStep) {
        const double x = phase / phaseStep;
        return x + x - x * x - 1.0;
    }
    if (phase > 1.0 - phaseStep) {
        const double x = (phase - 1.0) / phaseStep;
        return x * x + x + x + 1.0;
    }
    return 0.0;
}

// Pulse wave with its DC removed: it sits at (1 - duty) while high and at
// -duty while low, so it averages to zero and narrow pulses do not thump.
double pulseWave(double phase, double phaseStep, double duty) {
    double value = (phase < duty ? 1.0 : 0.0) - duty;
    value += 0.5 * polyBlep(phase, phaseStep);
    double fallingPhase = phase + 1.0 - duty;
    if (fallingPhase >= 1.0) {
        fallingPhase -= 1.0;
    }
    value -= 0.5 * polyBlep(fallingPhase, phaseStep);
    return value;
}

// Triangle in [-1, 1], starting at zero and rising, so notes begin silently.
double triangleWave(double phase) {
    if (phase < 0.25) {
        return 4.0 * phase;
    }
    if (phase < 0.75) {
        return 2.0 - 4.0 * phase;
    }
    return 4.0 * phase - 4.0;
}

double oscillator(const Instrument& instrument, double phase, double phaseStep) {
    if (instrument.wave == Wave::Triangle) {
        return triangleWave(phase);
    }
    return pulseWave(phase, phaseStep, instrument.duty);
}

// Half a cosine from 0 to 1: smooth at both ends, so fades have no corners.
double smoothRamp(double x) { return 0.5 - 0.5 * std::cos(pi * std::clamp(x, 0.0, 1.0)); }

// Envelope at time t of a note held for heldSeconds. The release multiplies
// the current level instead of jumping to a stored value, so it is continuous
// even when the key is released during the attack or decay.
double envelopeAt(const Instrument& instrument, double t, double heldSeconds) {
    double level = 0.0;
    if (t < instrument.attackSeconds) {
        level = smoothRamp(t / instrument.attackSeconds);
    } else {
        const double decayed = std::exp(-(t - instrument.attackSeconds) / instrument.decaySeconds);
        level = instrument.sustainLevel + (1.0 - instrument.sustainLevel) * decayed;
    }
    if (t >= heldSeconds) {
        level *= 1.0 - smoothRamp((t - heldSeconds) / instrument.releaseSeconds);
    }
    return level;
}

double vibratoAt(const Instrument& instrument, double t) {
    if (instrument.vibratoDepth <= 0.0 || t < vibratoDelaySeconds) {
        return 0.0;
    }
    const double fadeIn = smoothRamp((t - vibratoDelaySeconds) / vibratoFadeInSeconds);
    return instrument.vibratoDepth * fadeIn *
           std::sin(2.0 * pi * vibratoRateHz * (t - vibratoDelaySeconds));
}

// Renders one note, including its release tail, into the loop buffer.
void addNote(LoopBuffer& buffer, std::size_t start, std::size_t lengthSamples, int midiNote,
             const Instrument& instrument) {
    const double heldSeconds =
        instrument.gateFraction * static_cast<double>(lengthSamples) / sampleRate;
    const std::size_t totalSamples = toSamples(heldSeconds + instrument.releaseSeconds);
    const double baseStep = frequencyOf(midiNote) / sampleRate;
    double phase = 0.0;
    for (std::size_t i = 0; i < totalSamples; ++i) {
        const double t = static_cast<double>(i) / sampleRate;
        const double phaseStep = baseStep * (1.0 + vibratoAt(instrument, t));
        const double value = oscillator(instrument, phase, phaseStep);
        buffer.add(start + i, instrument.level * envelopeAt(instrument, t, heldSeconds) * value);
        phase += phaseStep;
        if (phase >= 1.0) {
            phase -= 1.0;
        }
    }
}

// ---------------------------------------------------------------------------
// Percussion.

// 15-bit linear feedback shift register, the noise source of classic console
// sound chips. Seeded identically every run, so percussion is deterministic.
class NoiseGenerator {
public:
    double next() {
        const std::uint16_t feedback = (shiftRegister ^ (shiftRegister >> 1)) & 1u;
        shiftRegister = static_cast<std::uint16_t>((shiftRegister >> 1) | (feedback << 14));
        return (shiftRegister & 1u) ? 1.0 : -1.0;
    }

private:
    std::uint16_t shiftRegister = 1;
};

// Shared shape of every drum hit: a 1 ms fade-in, an exponential decay, and a
// smooth fade over the last fifth so the hit ends at exactly zero.
double drumEnvelope(double t, double decaySeconds, double lengthSeconds) {
    const double attack = smoothRamp(t / 0.001);
    const double fadeStart = 0.8 * lengthSeconds;
    const double tailFade = 1.0 - smoothRamp((t - fadeStart) / (lengthSeconds - fadeStart));
    return attack * std::exp(-t / decaySeconds) * tailFade;
}

// Kick: a sine whose pitch falls quickly from about 135 Hz to 45 Hz.
void addKick(LoopBuffer& buffer, std::size_t start, double level) {
    constexpr double drumLength = 0.30;
    double phase = 0.0;
    for (std::size_t i = 0; i < toSamples(drumLength); ++i) {
        const double t = static_cast<double>(i) / sampleRate;
        const double frequency = 45.0 + 90.0 * std::exp(-t / 0.03);
        buffer.add(start + i,
                   level * drumEnvelope(t, 0.10, drumLength) * std::sin(2.0 * pi * phase));
        phase += frequency / sampleRate;
    }
}

// Snare: a burst of noise over a short falling tone for body.
void addSnare(LoopBuffer& buffer, std::size_t start, double level, NoiseGenerator& noise) {
    constexpr double drumLength = 0.20;
    double phase = 0.0;
    for (std::size_t i = 0; i < toSamples(drumLength); ++i) {
        const double t = static_cast<double>(i) / sampleRate;
        const double body = 0.6 * std::sin(2.0 * pi * phase) * std::exp(-t / 0.03);
        const double rattle = 0.5 * noise.next();
        buffer.add(start + i, level * drumEnvelope(t, 0.06, drumLength) * (body + rattle));
        phase += (180.0 + 60.0 * std::exp(-t / 0.02)) / sampleRate;
    }
}

// Hi-hat: noise differentiated once, which tilts it towards the treble.
void addHat(LoopBuffer& buffer, std::size_t start, double level, bool open, NoiseGenerator& noise) {
    const double length = open ? 0.22 : 0.06;
    const double decay = open ? 0.08 : 0.018;
    double previous = noise.next();
    for (std::size_t i = 0; i < toSamples(length); ++i) {
        const double t = static_cast<double>(i) / sampleRate;
        const double current = noise.next();
        buffer.add(start + i, level * drumEnvelope(t, decay, length) * 0.5 * (current - previous));
        previous = current;
    }
}

// ---------------------------------------------------------------------------
// Arranging the tables into sound.

void renderMelody(const Song& song, LoopBuffer& buffer) {
    const std::size_t stepSamples = samplesPerStep(song.beatsPerMinute);
    std::size_t step = 0;
    for (const Note& note : song.melody) {
        if (note.pitch != Rest) {
            addNote(buffer, step * stepSamples, note.steps * stepSamples, note.pitch, song.lead);
        }
        step += static_cast<std::size_t>(note.steps);
    }
}

int arpToneOf(const Chord& chord, int toneIndex) {
    // Index 3 is the lowest voicing note an octave up, for a fuller sweep.
    return toneIndex < 3 ? chord.tones[toneIndex] : chord.tones[0] + 12;
}

void renderArpeggio(const Song& song, LoopBuffer& buffer) {
    const std::size_t stepSamples = samplesPerStep(song.beatsPerMinute);
    const std::size_t noteSamples = song.arpStepLength * stepSamples;
    const int notesPerBar = stepsPerBar / song.arpStepLength;
    std::size_t patternIndex = 0;
    for (int bar = 0; bar < song.bars; ++bar) {
        const Chord& chord = song.chords[bar];
        for (int n = 0; n < notesPerBar; ++n) {
            const int tone =
                arpToneOf(chord, song.arpPattern[patternIndex % song.arpPattern.count]);
            const std::size_t start = (bar * stepsPerBar + n * song.arpStepLength) * stepSamples;
            addNote(buffer, start, noteSamples, tone, song.arp);
            ++patternIndex;
        }
    }
}

void renderBass(const Song& song, LoopBuffer& buffer) {
    const std::size_t stepSamples = samplesPerStep(song.beatsPerMinute);
    for (int bar = 0; bar < song.bars; ++bar) {
        const int root = song.chords[bar].bassRoot;
        for (const BassHit& hit : song.bassPattern) {
            const std::size_t start = (bar * stepsPerBar + hit.step) * stepSamples;
            addNote(buffer, start, hit.steps * stepSamples, root + hit.semitonesAboveRoot,
                    song.bass);
        }
    }
}

// Every eighth bar ends a phrase, so it gets the fill pattern instead.
const char* beatPatternForBar(const Song& song, int bar) {
    return (bar % 8 == 7) ? song.fillPattern : song.beatPattern;
}

void renderDrums(const Song& song, LoopBuffer& buffer) {
    const std::size_t stepSamples = samplesPerStep(song.beatsPerMinute);
    NoiseGenerator noise;
    for (int bar = 0; bar < song.bars; ++bar) {
        const char* beats = beatPatternForBar(song, bar);
        for (int step = 0; step < stepsPerBar; ++step) {
            const std::size_t start = (bar * stepsPerBar + step) * stepSamples;
            const double level = song.drumLevel;
            if (beats[step] == 'K') {
                addKick(buffer, start, 0.9 * level);
            } else if (beats[step] == 'S') {
                addSnare(buffer, start, 0.45 * level, noise);
            }
            const char hat = song.hatPattern[step];
            if (hat == 'h' || hat == 'o') {
                addHat(buffer, start, 0.22 * level, hat == 'o', noise);
            }
        }
    }
}

// Adds the lead plus its delayed taps, reading the lead circularly.
void mixWithEcho(const LoopBuffer& lead, const Echo& echo, std::size_t stepSamples,
                 LoopBuffer& mix) {
    const std::size_t loop = lead.size();
    const std::size_t delay = (echo.delaySteps * stepSamples) % loop;
    for (std::size_t i = 0; i < loop; ++i) {
        const double dry = lead.at(i);
        const double firstTap = lead.at(i + loop - delay);
        const double secondTap = lead.at(i + 2 * (loop - delay));
        mix.add(i, dry + echo.firstTapGain * firstTap + echo.secondTapGain * secondTap);
    }
}

void addInto(const LoopBuffer& source, LoopBuffer& mix) {
    for (std::size_t i = 0; i < source.size(); ++i) {
        mix.add(i, source.at(i));
    }
}

// One-pole low-pass that takes the fizz off the top of the square waves. It is
// run twice round the loop and only the second pass is kept, so the filter
// state at the start equals the state at the end and the join stays smooth.
void lowPassAroundLoop(LoopBuffer& buffer, double cutoffHz) {
    const double coefficient = 1.0 - std::exp(-2.0 * pi * cutoffHz / sampleRate);
    std::vector<float>& samples = buffer.samples();
    const std::vector<float> input = samples;
    double state = 0.0;
    for (int pass = 0; pass < 2; ++pass) {
        for (std::size_t i = 0; i < input.size(); ++i) {
            state += coefficient * (input[i] - state);
            if (pass == 1) {
                samples[i] = static_cast<float>(state);
            }
        }
    }
}

// Removes any DC offset and scales the loop to the target peak. Both are plain
// per-sample linear maps, so they cannot disturb the join.
void centreAndNormalise(LoopBuffer& buffer) {
    std::vector<float>& samples = buffer.samples();
    double sum = 0.0;
    for (float s : samples) {
        sum += s;
    }
    const double mean = sum / static_cast<double>(samples.size());
    double peak = 0.0;
    for (float s : samples) {
        peak = std::max(peak, std::fabs(s - mean));
    }
    const double gain = peak > 0.0 ? peakTarget / peak : 1.0;
    for (float& s : samples) {
        s = static_cast<float>((s - mean) * gain);
    }
}

LoopBuffer renderSong(const Song& song) {
    const std::size_t stepSamples = samplesPerStep(song.beatsPerMinute);
    const std::size_t loopFrames = static_cast<std::size_t>(song.bars) * stepsPerBar * stepSamples;

    LoopBuffer lead(loopFrames);
    LoopBuffer accompaniment(loopFrames);
    LoopBuffer mix(loopFrames);
    renderMelody(song, lead);
    renderArpeggio(song, accompaniment);
    renderBass(song, accompaniment);
    renderDrums(song, accompaniment);

    mixWithEcho(lead, song.leadEcho, stepSamples, mix);
    addInto(accompaniment, mix);
    lowPassAroundLoop(mix, 9000.0);
    centreAndNormalise(mix);
    return mix;
}

// ---------------------------------------------------------------------------
// Ogg Vorbis encoding (mono).

bool writePage(std::ofstream& file, const ogg_page& page) {
    file.write(reinterpret_cast<const char*>(page.header), page.header_len);
    file.write(reinterpret_cast<const char*>(page.body), page.body_len);
    return static_cast<bool>(file);
}

// Moves every finished block from the encoder into Ogg pages on disk.
bool drainEncoder(vorbis_dsp_state& dsp, vorbis_block& block, ogg_stream_state& stream,
                  std::ofstream& file) {
    ogg_packet packet;
    ogg_page page;
    while (vorbis_analysis_blockout(&dsp, &block) == 1) {
        vorbis_analysis(&block, nullptr);
        vorbis_bitrate_addblock(&block);
        while (vorbis_bitrate_flushpacket(&dsp, &packet) == 1) {
            ogg_stream_packetin(&stream, &packet);
            while (ogg_stream_pageout(&stream, &page) != 0) {
                if (!writePage(file, page)) {
                    return false;
                }
            }
        }
    }
    return true;
}

bool writeHeaders(vorbis_dsp_state& dsp, vorbis_comment& comment, ogg_stream_state& stream,
                  std::ofstream& file) {
    ogg_packet identification;
    ogg_packet comments;
    ogg_packet codebooks;
    vorbis_analysis_headerout(&dsp, &comment, &identification, &comments, &codebooks);
    ogg_stream_packetin(&stream, &identification);
    ogg_stream_packetin(&stream, &comments);
    ogg_stream_packetin(&stream, &codebooks);
    // Flushing puts the headers on pages of their own, ahead of any audio
    // page, which is how players expect an Ogg Vorbis stream to begin.
    ogg_page page;
    while (ogg_stream_flush(&stream, &page) != 0) {
        if (!writePage(file, page)) {
            return false;
        }
    }
    return true;
}

// Feeds all samples, then signals end of stream. libvorbis records the exact
// sample count in the final granule position, so decoders return precisely
// the loop length with no padding.
bool encodeSamples(const std::vector<float>& samples, vorbis_dsp_state& dsp, vorbis_block& block,
                   ogg_stream_state& stream, std::ofstream& file) {
    constexpr std::size_t chunkFrames = 4096;
    for (std::size_t offset = 0; offset < samples.size(); offset += chunkFrames) {
        const std::size_t frames = std::min(chunkFrames, samples.size() - offset);
        float** channels = vorbis_analysis_buffer(&dsp, static_cast<int>(frames));
        std::copy_n(samples.begin() + static_cast<std::ptrdiff_t>(offset), frames, channels[0]);
        vorbis_analysis_wrote(&dsp, static_cast<int>(frames));
        if (!drainEncoder(dsp, block, stream, file)) {
            return false;
        }
    }
    vorbis_analysis_wrote(&dsp, 0);
    return drainEncoder(dsp, block, stream, file);
}

bool encodeOggVorbis(const std::vector<float>& samples, const std::string& path,
                     const char* title) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) {
        std::cerr << "compose_music: cannot open " << path << " for writing\n";
        return false;
    }

    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, 1, sampleRate, vorbisQuality) != 0) {
        std::cerr << "compose_music: vorbis encoder rejected the settings\n";
        vorbis_info_clear(&info);
        return false;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_comment_add_tag(&comment, "TITLE", title);
    vorbis_comment_add_tag(&comment, "ARTIST", "Plumwick");
    vorbis_comment_add_tag(&comment, "COMMENT", "Seamless loop, generated by tools/compose_music");

    vorbis_dsp_state dsp;
    vorbis_block block;
    ogg_stream_state stream;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_init(&stream, oggSerialNumber);

    const bool ok = writeHeaders(dsp, comment, stream, file) &&
                    encodeSamples(samples, dsp, block, stream, file);

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);

    if (!ok) {
        std::cerr << "compose_music: failed while writing " << path << "\n";
    }
    return ok;
}

bool composeTrack(const Song& song, const std::string& outputDirectory) {
    const LoopBuffer loop = renderSong(song);
    const std::string path = outputDirectory + "/" + song.fileName;
    if (!encodeOggVorbis(loop.samples(), path, song.title)) {
        return false;
    }
    const double seconds = static_cast<double>(loop.size()) / sampleRate;
    std::printf("wrote %s: %zu frames (%.3f s, %d bars at %d BPM)\n", path.c_str(), loop.size(),
                seconds, song.bars, song.beatsPerMinute);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: compose_music <output-dir>\n";
        return EXIT_FAILURE;
    }
    const std::string outputDirectory = argv[1];
    const bool ok =
        composeTrack(menuSong, outputDirectory) && composeTrack(gameSong, outputDirectory);
    return ok ? EXIT_SUCCESS : EXIT_FAILURE;
}
