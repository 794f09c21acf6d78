#include "sound_match.hpp"

#include <SFML/Audio/InputSoundFile.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace sound_match {

namespace {

constexpr std::size_t decimation = 32;  // the coarse search runs at 1378 Hz
constexpr int fineSpan = 48;            // samples either side of a coarse candidate
constexpr int trackingSpan = 8;         // samples either side of where a track should be
constexpr int candidatesPerTrack = 4;

std::size_t samplesOf(double seconds) { return std::size_t(std::lround(seconds * sampleRate)); }

std::vector<float> boxAverages(const float* samples, std::size_t count) {
    std::vector<float> averages(count / decimation);
    for (std::size_t i = 0; i < averages.size(); ++i) {
        double sum = 0;
        for (std::size_t j = 0; j < decimation; ++j) sum += samples[i * decimation + j];
        averages[i] = float(sum / decimation);
    }
    return averages;
}

double energy(const float* samples, std::size_t count) {
    double sum = 0;
    for (std::size_t i = 0; i < count; ++i) sum += double(samples[i]) * samples[i];
    return sum;
}

// Sums of recording * track and track * track over `count` samples, the track
// read from `offset` on and wrapping at its end, as a looping track plays.
struct Products {
    double cross = 0;
    double trackEnergy = 0;
};

Products productsAt(const float* recording, std::size_t count, const std::vector<float>& track,
                    std::size_t offset) {
    Products sums;
    std::size_t done = 0;
    while (done < count) {
        const std::size_t from = (offset + done) % track.size();
        const std::size_t run = std::min(count - done, track.size() - from);
        const float* t = track.data() + from;
        const float* r = recording + done;
        double cross = 0, self = 0;
        for (std::size_t i = 0; i < run; ++i) {
            cross += double(r[i]) * t[i];
            self += double(t[i]) * t[i];
        }
        sums.cross += cross;
        sums.trackEnergy += self;
        done += run;
    }
    return sums;
}

double normalised(const Products& sums, double recordingEnergy) {
    const double scale = std::sqrt(sums.trackEnergy * recordingEnergy);
    return scale > 0 ? sums.cross / scale : 0;
}

struct Candidate {
    std::size_t offset = 0;
    double correlation = -2;
};

// The best few coarse offsets of one track, at least three coarse steps apart.
std::vector<Candidate> coarseCandidates(const std::vector<float>& coarseWindow,
                                        const Track& track) {
    const std::size_t length = track.coarse.size(), m = coarseWindow.size();
    std::vector<float> looped(track.coarse);
    for (std::size_t i = 0; i < m; ++i) looped.push_back(track.coarse[i % length]);
    const double windowEnergy = energy(coarseWindow.data(), m);
    double slidingEnergy = energy(looped.data(), m);
    std::vector<Candidate> best;
    for (std::size_t k = 0; k < length; ++k) {
        double cross = 0;
        const float* t = looped.data() + k;
        for (std::size_t i = 0; i < m; ++i) cross += double(coarseWindow[i]) * t[i];
        const double scale = std::sqrt(std::max(slidingEnergy, 0.0) * windowEnergy);
        const Candidate here{k * decimation, scale > 0 ? cross / scale : 0};
        slidingEnergy += double(looped[k + m]) * looped[k + m] - double(looped[k]) * looped[k];
        auto near = std::find_if(best.begin(), best.end(), [&](const Candidate& c) {
            const std::size_t gap =
                c.offset > here.offset ? c.offset - here.offset : here.offset - c.offset;
            return gap < 3 * decimation;
        });
        if (near != best.end()) {
            if (near->correlation < here.correlation) *near = here;
        } else {
            best.push_back(here);
        }
        std::sort(best.begin(), best.end(), [](const Candidate& a, const Candidate& b) {
            return a.correlation > b.correlation;
        });
        if (best.size() > std::size_t(candidatesPerTrack)) best.pop_back();
    }
    return best;
}

// The best full-rate offset within `span` samples of `around`.
Candidate fineSearch(const float* recording, std::size_t count, double recordingEnergy,
                     const Track& track, std::size_t around, int span) {
    const long length = long(track.samples.size());
    Candidate best;
    for (long shift = -span; shift <= span; ++shift) {
        const std::size_t offset = std::size_t(((long(around) + shift) % length + length) % length);
        const double correlation =
            normalised(productsAt(recording, count, track.samples, offset), recordingEnergy);
        if (correlation > best.correlation) best = {offset, correlation};
    }
    return best;
}

Window measured(double at, double rms, int track, const Track& chosen, const Candidate& found,
                const float* recording, std::size_t count) {
    Window window;
    window.at = at;
    window.rms = rms;
    window.track = track;
    window.offset = double(found.offset) / sampleRate;
    window.offsetSamples = found.offset;
    window.correlation = found.correlation;
    const Products sums = productsAt(recording, count, chosen.samples, found.offset);
    window.gain = sums.trackEnergy > 0 ? sums.cross / sums.trackEnergy : 0;
    return window;
}

// The window at `at`, checked only near `expectedOffset` (s) of `track`.
Window trackedAt(const std::vector<float>& recording, double at, const std::vector<Track>& tracks,
                 int track, double expectedOffset, const Settings& settings) {
    const std::size_t start = samplesOf(at), count = samplesOf(settings.windowSeconds);
    const float* r = recording.data() + start;
    const double recordingEnergy = energy(r, count);
    Window window;
    window.at = at;
    window.rms = std::sqrt(recordingEnergy / double(count));
    if (window.rms < settings.silenceRms) {
        window.silent = true;
        return window;
    }
    const Track& chosen = tracks[std::size_t(track)];
    const Candidate found =
        fineSearch(r, count, recordingEnergy, chosen, samplesOf(expectedOffset), trackingSpan);
    if (found.correlation < settings.minCorrelation) return window;
    return measured(at, window.rms, track, chosen, found, r, count);
}

double wrapped(double offset, double length) {
    const double inside = std::fmod(offset, length);
    return inside < 0 ? inside + length : inside;
}

// How far apart two offsets of a looping track are, the shorter way round.
double loopDistance(double a, double b, double length) {
    const double d = wrapped(a - b, length);
    return std::min(d, length - d);
}

}  // namespace

Track decodeTrack(const std::string& file, const std::string& name, std::string& error) {
    Track track;
    track.name = name;
    sf::InputSoundFile input;
    if (!input.openFromFile(file)) {
        error = "cannot open " + file;
        return track;
    }
    if (input.getSampleRate() != sampleRate) {
        error = file + " is not at " + std::to_string(sampleRate) + " Hz";
        return track;
    }
    const unsigned channels = input.getChannelCount();
    std::vector<std::int16_t> all(std::size_t(input.getSampleCount()));
    all.resize(std::size_t(input.read(all.data(), all.size())));
    track.samples.resize(all.size() / channels);
    for (std::size_t frame = 0; frame < track.samples.size(); ++frame) {
        double sum = 0;
        for (unsigned c = 0; c < channels; ++c) sum += all[frame * channels + c];
        track.samples[frame] = float(sum / channels / 32768.0);
    }
    track.coarse = boxAverages(track.samples.data(), track.samples.size());
    return track;
}

std::vector<float> monoFromStereoS16(const std::vector<std::int16_t>& interleaved) {
    std::vector<float> mono(interleaved.size() / 2);
    for (std::size_t i = 0; i < mono.size(); ++i)
        mono[i] = float((interleaved[2 * i] + interleaved[2 * i + 1]) / 2.0 / 32768.0);
    return mono;
}

std::vector<float> readRecording(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::int16_t> samples(bytes.size() / 4 * 2);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const auto low = std::uint8_t(bytes[2 * i]), high = std::uint8_t(bytes[2 * i + 1]);
        samples[i] = std::int16_t(std::uint16_t(low | high << 8));
    }
    return monoFromStereoS16(samples);
}

Window identifyAt(const std::vector<float>& recording, double at, const std::vector<Track>& tracks,
                  int onlyTrack, const Settings& settings) {
    const std::size_t start = samplesOf(at), count = samplesOf(settings.windowSeconds);
    Window window;
    window.at = at;
    if (start + count > recording.size()) return window;
    const float* r = recording.data() + start;
    const double recordingEnergy = energy(r, count);
    window.rms = std::sqrt(recordingEnergy / double(count));
    if (window.rms < settings.silenceRms) {
        window.silent = true;
        return window;
    }
    const std::vector<float> coarseWindow = boxAverages(r, count);
    Candidate best;
    int bestTrack = -1;
    for (int t = 0; t < int(tracks.size()); ++t) {
        if (onlyTrack >= 0 && t != onlyTrack) continue;
        for (const Candidate& c : coarseCandidates(coarseWindow, tracks[std::size_t(t)])) {
            const Candidate fine =
                fineSearch(r, count, recordingEnergy, tracks[std::size_t(t)], c.offset, fineSpan);
            if (fine.correlation > best.correlation) {
                best = fine;
                bestTrack = t;
            }
        }
    }
    if (bestTrack < 0 || best.correlation < settings.minCorrelation) {
        window.correlation = best.correlation;
        return window;
    }
    return measured(at, window.rms, bestTrack, tracks[std::size_t(bestTrack)], best, r, count);
}

std::vector<Window> identifyWindows(const std::vector<float>& recording,
                                    const std::vector<Track>& tracks, const Settings& settings) {
    std::vector<Window> windows;
    const double total = double(recording.size()) / sampleRate;
    for (double at = 0; at + settings.windowSeconds <= total; at += settings.hopSeconds) {
        Window window;
        if (!windows.empty() && windows.back().track >= 0) {
            const Window& before = windows.back();
            const Track& track = tracks[std::size_t(before.track)];
            const double expected = wrapped(before.offset + settings.hopSeconds, track.seconds());
            window = trackedAt(recording, at, tracks, before.track, expected, settings);
        }
        if (window.track < 0 && !window.silent)
            window = identifyAt(recording, at, tracks, -1, settings);
        windows.push_back(window);
    }
    // Back from each window that names a track: where a track starts, the
    // window before may hold enough of it, which the search on its own can
    // miss (a tune repeats its bars) and tracking backwards finds.
    for (std::size_t i = windows.size(); i-- > 1;) {
        const Window &after = windows[i], &before = windows[i - 1];
        if (after.track < 0 || before.silent) continue;
        const Track& track = tracks[std::size_t(after.track)];
        const double expected = wrapped(after.offset - settings.hopSeconds, track.seconds());
        if (before.track == after.track &&
            loopDistance(before.offset, expected, track.seconds()) < 0.01)
            continue;
        const Window tracked =
            trackedAt(recording, before.at, tracks, after.track, expected, settings);
        if (tracked.track >= 0 && tracked.correlation > before.correlation)
            windows[i - 1] = tracked;
    }
    return windows;
}

namespace {

std::vector<Stretch> plainStretches(const std::vector<Window>& windows,
                                    const std::vector<Track>& tracks, const Settings& settings) {
    std::vector<Stretch> stretches;
    const Window* last = nullptr;
    for (const Window& window : windows) {
        const int kind = window.track >= 0 ? window.track : window.silent ? -1 : -2;
        bool goesOn = last != nullptr && stretches.back().track == kind;
        if (goesOn && kind >= 0) {
            const double expected = last->offset + (window.at - last->at);
            goesOn =
                loopDistance(window.offset, expected, tracks[std::size_t(kind)].seconds()) < 0.01;
        }
        if (!goesOn) {
            Stretch stretch;
            stretch.from = window.at;
            stretch.track = kind;
            stretch.offset = window.offset;
            stretch.offsetSamples = window.offsetSamples;
            stretches.push_back(stretch);
        }
        Stretch& current = stretches.back();
        current.to = window.at + settings.windowSeconds;
        ++current.windows;
        if (kind >= 0)
            current.minCorrelation = std::min(current.minCorrelation, window.correlation);
        last = &window;
    }
    return stretches;
}

// How far `after` is behind where `before`'s track would have got to, s, in
// (-length/2, length/2].
double lagBetween(const Stretch& before, const Stretch& after, const std::vector<Track>& tracks) {
    const double length = tracks[std::size_t(before.track)].seconds();
    const double behind =
        wrapped(before.offset + before.lag + (after.from - before.from) - after.offset, length);
    return behind > length / 2 ? behind - length : behind;
}

// The same track again, with nothing but silence or unknown sound between
// (sound dropped by a loaded machine, or the volume switched off): on its own
// timeline, or behind it by no more than `maxLag` (a stream that ran dry plays
// on later); never ahead.
bool resumes(const Stretch& before, const Stretch& after, const std::vector<Track>& tracks,
             const Settings& settings) {
    if (before.track < 0 || after.track != before.track) return false;
    const double lag = lagBetween(before, after, tracks);
    return lag > -0.01 && lag < settings.maxLag;
}

void absorb(Stretch& into, const std::vector<Stretch>& gap, const Stretch& after,
            const std::vector<Track>& tracks) {
    into.lag += std::max(lagBetween(into, after, tracks), 0.0);
    for (const Stretch& between : gap) {
        into.windows += between.windows;
        if (between.track == -1 && between.to - between.from > into.longestSilence) {
            into.longestSilence = between.to - between.from;
            into.silenceEnd = between.to;
        }
    }
    // The windows overlap: what was not heard lies between the heard windows.
    if (!gap.empty()) into.unheard += after.from - into.to;
    into.to = after.to;
    into.windows += after.windows;
    into.minCorrelation = std::min(into.minCorrelation, after.minCorrelation);
}

}  // namespace

double medianGain(const std::vector<Window>& windows, int track, double from, double to) {
    std::vector<double> gains, clean;
    for (const Window& window : windows) {
        if (window.at < from || window.at >= to || window.track != track) continue;
        gains.push_back(window.gain);
        if (window.correlation > 0.999) clean.push_back(window.gain);
    }
    if (!clean.empty()) gains = clean;
    if (gains.empty()) return 0;
    std::sort(gains.begin(), gains.end());
    return gains[gains.size() / 2];
}

std::vector<Stretch> joinStretches(const std::vector<Window>& windows,
                                   const std::vector<Track>& tracks, const Settings& settings) {
    std::vector<Stretch> joined;
    for (Stretch stretch : plainStretches(windows, tracks, settings)) {
        // A track found in fewer windows than that is not trusted: where one
        // track gives way to another, a window holding both can look like a
        // bar of a tune that repeats its bars.
        if (stretch.track >= 0 && stretch.windows < settings.minWindows) stretch.track = -2;
        std::size_t last = joined.size();
        while (last > 0 && joined[last - 1].track < 0) --last;
        if (last > 0 && resumes(joined[last - 1], stretch, tracks, settings)) {
            const std::vector<Stretch> gap(joined.begin() + std::ptrdiff_t(last), joined.end());
            joined.resize(last);
            absorb(joined.back(), gap, stretch, tracks);
        } else if (!joined.empty() && stretch.track == joined.back().track) {
            joined.back().to = stretch.to;  // unknown after unknown
            joined.back().windows += stretch.windows;
        } else {
            joined.push_back(stretch);
        }
    }
    for (Stretch& stretch : joined) {
        if (stretch.track >= 0)
            stretch.gain = medianGain(windows, stretch.track, stretch.from, stretch.to);
    }
    return joined;
}

Residual residualAgainst(const std::vector<float>& recording, const Track& track, double at,
                         std::size_t offsetSamples, double gain, double seconds) {
    const std::size_t start = samplesOf(at), block = samplesOf(0.01);
    const std::size_t blocks = samplesOf(seconds) / block, length = track.samples.size();
    Residual result;
    for (std::size_t b = 0; b < blocks && start + (b + 1) * block <= recording.size(); ++b) {
        double residual = 0, played = 0, heard = 0;
        for (std::size_t i = 0; i < block; ++i) {
            const std::size_t n = b * block + i;
            const double expected = gain * track.samples[(offsetSamples + n) % length];
            const double difference = recording[start + n] - expected;
            residual += difference * difference;
            played += expected * expected;
            heard += double(recording[start + n]) * recording[start + n];
        }
        if (heard == 0) {
            ++result.droppedBlocks;
            continue;
        }
        const double level = std::max(std::sqrt(played / double(block)), 0.01);
        result.worst = std::max(result.worst, std::sqrt(residual / double(block)) / level);
    }
    return result;
}

namespace {

// Whether each 10 ms block of `samples` is digital silence.
std::vector<bool> silentBlocksOf(const std::vector<float>& samples) {
    const std::size_t block = samplesOf(0.01);
    std::vector<bool> silent(samples.size() / block);
    for (std::size_t b = 0; b < silent.size(); ++b) {
        const auto first = samples.begin() + std::ptrdiff_t(b * block);
        silent[b] =
            std::all_of(first, first + std::ptrdiff_t(block), [](float x) { return x == 0; });
    }
    return silent;
}

}  // namespace

Gaps findGaps(const std::vector<float>& recording) {
    const std::vector<bool> silent = silentBlocksOf(recording);
    const auto heard = [](bool isSilent) { return !isSilent; };
    const auto first = std::find_if(silent.begin(), silent.end(), heard);
    const auto last = std::find_if(silent.rbegin(), silent.rend(), heard).base();
    Gaps gaps;
    if (first >= last) return gaps;
    gaps.heard = double(last - first) * 0.01;
    int run = 0;
    for (auto b = first; b != last; ++b) {
        if (*b) {
            ++run;
            continue;
        }
        if (run > 0) {
            ++gaps.count;
            gaps.seconds += run * 0.01;
            gaps.longest = std::max(gaps.longest, run * 0.01);
        }
        run = 0;
    }
    return gaps;
}

int silentBlocks(const Track& track) {
    const std::vector<bool> silent = silentBlocksOf(track.samples);
    return int(std::count(silent.begin(), silent.end(), true));
}

std::string describe(const Stretch& stretch, const std::vector<Track>& tracks) {
    char text[300];
    if (stretch.track < 0) {
        std::snprintf(text, sizeof text, "%.2f-%.2f s: %s", stretch.from, stretch.to,
                      stretch.track == -1 ? "silence" : "unknown");
    } else {
        std::snprintf(text, sizeof text,
                      "%.2f-%.2f s: %s from %.3f s, gain %.3f, correlation >= %.3f, %.2f s "
                      "unheard, %.3f s behind, silent for %.2f s up to %.2f s",
                      stretch.from, stretch.to, tracks[std::size_t(stretch.track)].name.c_str(),
                      stretch.offset, stretch.gain, stretch.minCorrelation, stretch.unheard,
                      stretch.lag, stretch.longestSilence, stretch.silenceEnd);
    }
    return text;
}

}  // namespace sound_match
