// plumwick_bench: what PLUMWICK costs, beside what it cannot do without, in
// one run. Frames of the game against the same draw calls with no logic and
// against clear-and-display; its simulation against an empty frame; its
// start-up and peak memory against the minimal SFML program.
//
//   plumwick_bench [--quick] [--no-processes] [Google Benchmark flags]
//
// --quick (or PLUMWICK_BENCH_QUICK=1) is a smoke run of a few seconds: every
// figure is printed, none is worth quoting. --no-processes leaves out the
// start-up and memory, for profiling the rest (with --benchmark_filter, only
// the figures of the benchmarks run are summed up). Needs a display (Xvfb
// will do).

#include "game_benchmarks.hpp"
#include "processes.hpp"
#include "silence.hpp"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <exception>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <vector>

namespace {

struct Settings {
    RunLength frames;
    RunLength updates;
    int spawns;
    double playSeconds;
    double silenceSeconds;  // on the menu with no sound device (silence.cpp)
};

// 65 s of play: a whole game, won at 60 s, its win panel and the next game.
const Settings fullRun{{0.05, 80}, {0.2, 12}, 15, 65.0, 60.0};
const Settings quickRun{{0.05, 2}, {0.02, 2}, 2, 2.0, 2.0};

struct Figure {
    double median = 0;  // wall time, seconds
    double stddev = 0;
    double cpuMedian = 0;  // the benchmark thread's CPU time, seconds
};

// Prints what the console reporter prints, and keeps each benchmark's median
// and standard deviation over its repetitions.
class KeepingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Aggregate) continue;
            const double unit = benchmark::GetTimeUnitMultiplier(run.time_unit);
            Figure& figure = figures[run.run_name.function_name];
            if (run.aggregate_name == "median") {
                figure.median = run.GetAdjustedRealTime() / unit;
                figure.cpuMedian = run.GetAdjustedCPUTime() / unit;
            }
            if (run.aggregate_name == "stddev") figure.stddev = run.GetAdjustedRealTime() / unit;
        }
    }

    std::map<std::string, Figure> figures;
};

bool has(const std::map<std::string, Figure>& figures, const std::vector<const char*>& names) {
    for (const char* name : names)
        if (figures.count(name) == 0) return false;
    return true;
}

const std::vector<const char*> framesNeed{bench_names::emptyFrame,     bench_names::menuGame,
                                          bench_names::menuReference,  bench_names::fieldGame,
                                          bench_names::fieldReference, bench_names::flowerGame,
                                          bench_names::flowerReference};
const std::vector<const char*> simulationNeeds{bench_names::emptyFrame, bench_names::typicalUpdate,
                                               bench_names::dearestUpdate, bench_names::restoreOnly,
                                               bench_names::collision};

// The machine's 1, 5 and 15 minute load averages: figures taken while other
// programs keep its processors busy are worth less.
std::string loadAverage() {
    std::ifstream file("/proc/loadavg");
    std::string one, five, fifteen;
    file >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

const char* verdict(bool met) { return met ? "met" : "MISSED"; }

void printFrames(const std::map<std::string, Figure>& f, int repetitions) {
    namespace n = bench_names;
    const Figure empty = f.at(n::emptyFrame);
    std::printf(
        "\nFrame cost: wall time per frame, median (+- standard deviation) of %d repetitions\n"
        "interleaved in a random order\n",
        repetitions);
    std::printf("  %-22s %18s %18s %15s %11s\n", "screen", "game us", "reference us",
                "game/reference", "game/empty");
    struct Row {
        const char* label;
        const char* game;
        const char* reference;
    };
    for (const Row& row : {Row{"menu", n::menuGame, n::menuReference},
                           Row{"playing field", n::fieldGame, n::fieldReference},
                           Row{"field under the flower", n::flowerGame, n::flowerReference}}) {
        const Figure game = f.at(row.game);
        const Figure reference = f.at(row.reference);
        std::printf("  %-22s %9.1f +- %5.1f %9.1f +- %5.1f %9.3f (fps) %6.3f (time)\n", row.label,
                    game.median * 1e6, game.stddev * 1e6, reference.median * 1e6,
                    reference.stddev * 1e6, reference.median / game.median,
                    game.median / empty.median);
    }
    std::printf("  %-22s %9.1f +- %5.1f   (clear and display only)\n", "empty loop",
                empty.median * 1e6, empty.stddev * 1e6);
    const std::vector<const char*> phases{n::eventsPhase, n::keysPhase, n::composePhase};
    if (has(f, phases)) {
        const double events = f.at(n::eventsPhase).median, keys = f.at(n::keysPhase).median,
                     compose = f.at(n::composePhase).median;
        std::printf(
            "  playing field, game - reference: %.1f us; the phases the reference lacks,\n"
            "  alone: events %.1f us, held arrow keys %.1f us, composition %.2f us (sum %.1f us)\n",
            (f.at(n::fieldGame).median - f.at(n::fieldReference).median) * 1e6, events * 1e6,
            keys * 1e6, compose * 1e6, (events + keys + compose) * 1e6);
    }
    if (f.count(n::fieldKeysGiven) != 0)
        std::printf(
            "  playing field with the keys given, not asked of the X server: %.1f us,"
            " game/reference %.3f (fps)\n",
            f.at(n::fieldKeysGiven).median * 1e6,
            f.at(n::fieldReference).median / f.at(n::fieldKeysGiven).median);
    const double fieldRatio = f.at(n::fieldReference).median / f.at(n::fieldGame).median;
    std::printf("  target: playing field game/reference >= 0.95 in frames per second: %.3f %s\n",
                fieldRatio, verdict(fieldRatio >= 0.95));
}

void printSimulation(const std::map<std::string, Figure>& f, const DearestSpot& spot) {
    namespace n = bench_names;
    const double empty = f.at(n::emptyFrame).median;
    std::printf(
        "\nSimulation cost: CPU time of the update's thread, as a share of the empty\n"
        "frame's wall time (%.1f us) of the same run\n",
        empty * 1e6);
    struct Row {
        const char* label;
        const char* name;
        double targetPercent;  // 0: none
    };
    for (const Row& row : {Row{"playingUpdate, typical frame", n::typicalUpdate, 1.0},
                           Row{"playingUpdate, dearest frame", n::dearestUpdate, 5.0},
                           Row{"pixelPerfectCollision, dearest", n::collision, 0.0}}) {
        const Figure figure = f.at(row.name);
        const double percent = 100.0 * figure.cpuMedian / empty;
        std::printf("  %-32s %9.0f ns (wall %9.0f) %7.3f %%", row.label, figure.cpuMedian * 1e9,
                    figure.median * 1e9, percent);
        if (row.targetPercent > 0)
            std::printf("   target < %.0f %%: %s", row.targetPercent,
                        verdict(percent < row.targetPercent));
        std::printf("\n");
    }
    std::printf("  (each update includes putting its arrangement back: %.0f ns; dt = 1 ms)\n",
                f.at(n::restoreOnly).cpuMedian * 1e9);
    std::printf(
        "  dearest: ball at (%.0f, %.0f) in the heart's box at (%.0f, %.0f): %.0f x %.0f"
        " px of overlap, no opaque contact\n",
        spot.ballPosition.x, spot.ballPosition.y, spot.heartPosition.x, spot.heartPosition.y,
        spot.overlapWidth, spot.overlapHeight);
}

void printProcesses(const ProcessFigures& p) {
    const double startupRatio = p.gameStartupMs / p.minimalStartupMs;
    std::printf("\nStart-up: spawn to first frame displayed, median of %d spawns each\n", p.runs);
    std::printf("  %-44s %9.1f ms\n", "game (its own start-up, first menu frame)", p.gameStartupMs);
    std::printf("  %-44s %9.1f ms\n", "minimal SFML program (window, one frame)",
                p.minimalStartupMs);
    std::printf("  game/minimal %.2f   target <= 1.5: %s\n", startupRatio,
                verdict(startupRatio <= 1.5));

    const double memoryRatio = static_cast<double>(p.playPeakKib) / p.minimalPeakKib;
    std::printf("\nPeak resident memory (VmHWM)\n");
    std::printf("  game after %.0f s of play (%lld frames, %lld games ended) %9lld KiB\n",
                p.playSeconds, p.playFrames, p.playGamesEnded, p.playPeakKib);
    std::printf("  %-44s %9.0f KiB\n", "game at its first frame", p.gameFirstFrameKib);
    std::printf("  %-44s %9.0f KiB\n", "minimal SFML program", p.minimalPeakKib);
    std::printf("  game/minimal %.2f   target <= 1.3: %s\n", memoryRatio,
                verdict(memoryRatio <= 1.3));
}

}  // namespace

int main(int argc, char** argv) {
    bool quick = std::getenv("PLUMWICK_BENCH_QUICK") != nullptr &&
                 std::strcmp(std::getenv("PLUMWICK_BENCH_QUICK"), "0") != 0;
    std::vector<char*> args{argv[0]};
    static char interleave[] = "--benchmark_enable_random_interleaving=true";
    args.push_back(interleave);  // before the caller's flags, which may override it
    bool processes = true;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quick") == 0)
            quick = true;
        else if (std::strcmp(argv[i], "--no-processes") == 0)
            processes = false;
        else
            args.push_back(argv[i]);
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 2;
    const Settings& settings = quick ? quickRun : fullRun;

    const std::string loadAtStart = loadAverage();
    try {
        // The game and the minimal program open their files by bare name.
        if (chdir(PLUMWICK_ASSETS_DIR) != 0) throw std::runtime_error("no " PLUMWICK_ASSETS_DIR);
        // Other processes first, while this one has no window nor music playing.
        ProcessFigures processFigures;
        if (processes) processFigures = measureProcesses(settings.spawns, settings.playSeconds);
        const SilenceFigures silence =
            processes ? measureSilence(settings.silenceSeconds) : SilenceFigures{};

        std::srand(20261207);
        Game game([] { return std::rand(); });
        if (!game.started()) throw std::runtime_error("pixel_font.ttf not found");
        game.shell.windowFocused = true;  // a player's window: the frames ask for their keys
        const DearestSpot spot = registerGameBenchmarks(game, settings.frames, settings.updates);
        KeepingReporter reporter;
        benchmark::RunSpecifiedBenchmarks(&reporter);
        benchmark::Shutdown();

        std::printf("\n==== PLUMWICK performance%s ====\n", quick ? " (quick smoke run)" : "");
        std::printf("load average at start: %s, at end: %s\n", loadAtStart.c_str(),
                    loadAverage().c_str());
        const auto& figures = reporter.figures;
        if (has(figures, framesNeed)) printFrames(figures, settings.frames.repetitions);
        if (has(figures, simulationNeeds)) printSimulation(figures, spot);
        if (processes) printProcesses(processFigures);
        if (processes) printSilence(silence);
        std::fflush(stdout);
    } catch (const std::exception& error) {
        std::cerr << "plumwick_bench: " << error.what() << std::endl;
        return 1;
    }
    return 0;
}
