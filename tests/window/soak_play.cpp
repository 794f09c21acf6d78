// A long session of the real game (scripts/soak.sh runs it): random keys on
// every screen -- menu moves, PLAY, HOW TO PLAY and back, VOLUME, held arrows,
// Escape, Space after an end -- but never EXIT THE GAME, for
// $PLUMWICK_SOAK_SECONDS (600 by default). Every second it samples the
// game's resident memory (VmRSS), the CPU time of its main thread (which
// runs the frame loop) and its frames, counted by the frame_counter library
// preloaded into it. At the end a close request must stop it with status 0.
//
// The frame rate is compared on one fixed scene: twice, after the first
// minute and at the very end (after the first and last third of a short
// run), the game is left alone on the menu for a while, without keys or
// screenshots. What must hold there is the game's own speed, its frames per
// second of main-thread CPU time: it may fall by no more than
// $PLUMWICK_SOAK_FRAME_RATE_TOLERANCE (unset: only reported), taken at the
// best second of each stretch: on a shared
// virtual machine stolen time and a busy cache only ever lower it, by a third
// in some 5-second stretches. Frames per second of the clock are printed too,
// but they follow whatever else runs. Mesa renders in that thread
// (LP_NUM_THREADS=0), so its time does not depend on how many cores are idle.
// The resident memory at the end must be within 5% of that after the first
// quiet stretch.
#include "game_looks.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

using namespace window_test;

namespace {

struct Sample {
    double seconds;  // since the window appeared
    std::uint64_t frames;
    long residentKiB;   // VmRSS
    double cpuSeconds;  // user + system
};

long residentKiB(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    }
    return -1;
}

double mainThreadCpuSeconds(pid_t pid) {
    const std::string id = std::to_string(pid);
    std::ifstream in("/proc/" + id + "/task/" + id + "/stat");
    const std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::istringstream fields(stat.substr(stat.rfind(") ") + 2));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {  // fields 14 and 15 of proc(5)
        if (i == 14) utime = std::stoull(field);
        if (i == 15) stime = std::stoull(field);
    }
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

std::uint64_t framesShown(const std::string& counterFile) {
    std::uint64_t frames = 0;
    std::ifstream(counterFile, std::ios::binary)
        .read(reinterpret_cast<char*>(&frames), sizeof frames);
    return frames;
}

double readNumber(const char* variable, double fallback) {
    const char* value = std::getenv(variable);
    return value != nullptr && *value != '\0' ? std::atof(value) : fallback;
}

enum class Screen { Menu, Instructions, Field, End, Other };

Screen screenOf(const sf::Image& image) {
    if (endPanelShown(image)) return Screen::End;
    if (fieldShown(image)) return Screen::Field;
    if (menuShown(image)) return Screen::Menu;
    if (instructionsShown(image)) return Screen::Instructions;
    return Screen::Other;  // e.g. between two screens
}

double framesPerSecond(const Sample& from, const Sample& to) {
    return static_cast<double>(to.frames - from.frames) / (to.seconds - from.seconds);
}

double framesPerCpuSecond(const Sample& from, const Sample& to) {
    return static_cast<double>(to.frames - from.frames) / (to.cpuSeconds - from.cpuSeconds);
}

class Soak : public RealWindow {};

TEST_F(Soak, RandomPlayOnEveryScreenKeepsMemoryAndFrameRate) {
    const double seconds = readNumber("PLUMWICK_SOAK_SECONDS", 600);
    const double firstQuietAt = std::min(60.0, seconds / 3);
    const double quiet = std::min(15.0, seconds / 6);
    const double tolerance = readNumber("PLUMWICK_SOAK_FRAME_RATE_TOLERANCE", -1);

    const FrameCounterFile counter;
    const std::string& counterFile = counter.path();
    Lines environment = counter.environment();
    environment.push_back("LP_NUM_THREADS=0");
    Game game(allAssets, {}, environment);
    ASSERT_TRUE(game.waitForWindow()) << "no window titled PLUMWICK";
    const pid_t pid = game.pid();
    const auto start = Clock::now();
    ASSERT_EQ(menuLooks(game.shootUntil(menuReads("WGGG"), 5).image), "WGGG");

    std::mt19937 random(static_cast<unsigned>(readNumber("PLUMWICK_SOAK_SEED", 1)));
    const auto chance = [&](double p) {
        return std::uniform_real_distribution<>(0, 1)(random) < p;
    };
    const auto between = [&](double a, double b) {
        return std::uniform_real_distribution<>(a, b)(random);
    };
    std::vector<Sample> samples;
    const auto sample = [&] {
        samples.push_back({secondsSince(start), framesShown(counterFile), residentKiB(pid),
                           mainThreadCpuSeconds(pid)});
        return samples.back();
    };
    sample();

    int games = 0, won = 0, restarts = 0, visits[5] = {};
    // Escape to the menu, then leave the game alone there for `quiet` seconds,
    // sampled every second; `best` is its best second's frames per CPU second.
    // The screens seen on the way count as visited.
    const auto quietOnTheMenu = [&](Sample& from, Sample& to, double& best) {
        for (int attempt = 0; attempt < 5; ++attempt) {
            const Screen screen = screenOf(game.shoot().image);
            ++visits[static_cast<int>(screen)];
            if (screen == Screen::Menu) break;
            game.press("Escape");
            sleepFor(0.2);
        }
        ASSERT_TRUE(menuShown(game.shoot().image)) << "could not reach the menu";
        from = sample();
        best = 0;
        for (Sample before = from; secondsSince(start) < from.seconds + quiet; before = to) {
            sleepFor(1);
            to = sample();
            if (to.cpuSeconds > before.cpuSeconds)
                best = std::max(best, framesPerCpuSecond(before, to));
        }
    };
    Sample firstQuietFrom{}, firstQuietTo{}, lastQuietFrom{}, lastQuietTo{};
    double bestFirst = 0, bestLast = 0;
    bool firstQuietDone = false;

    bool ended = false;  // a game has ended and no new one has begun
    // The menu item to choose next: first a tour of HOW TO PLAY, VOLUME and PLAY, then at random.
    const int tour[3] = {1, 2, 0};
    int chosen = 0, target = tour[0];
    while (secondsSince(start) < seconds - quiet) {
        if (!firstQuietDone && secondsSince(start) >= firstQuietAt) {
            quietOnTheMenu(firstQuietFrom, firstQuietTo, bestFirst);
            firstQuietDone = true;
        }
        if (secondsSince(start) >= samples.back().seconds + 1) sample();
        const Shot shot = game.shoot();
        const Screen screen = screenOf(shot.image);
        ++visits[static_cast<int>(screen)];
        if (screen == Screen::End && !ended) {
            ++games;
            if (ink(shot.image, palette::white, winScoreLine).count > 0) ++won;
            ended = true;
        }
        if (screen == Screen::Field && ended && threeHeartsShown(shot.image)) {
            ++restarts;
            ended = false;
        }

        switch (screen) {
        case Screen::Menu: {
            // Head for PLAY, HOW TO PLAY or VOLUME by random steps; never EXIT THE GAME.
            const int highlighted = static_cast<int>(menuLooks(shot.image).find('W'));
            if (ended && chance(0.15)) {
                HeldKey space(game, "space");  // a new game from the menu
                sleepFor(0.3);
            } else if (highlighted == target) {
                game.press("Return");
                target = ++chosen < 3 ? tour[chosen] : chance(0.45) ? 0 : chance(0.5) ? 1 : 2;
            } else {
                // Mostly the shorter way round, so that a short soak on a
                // slow machine still gets to every screen.
                const bool downIsShorter = (target - highlighted + 4) % 4 <= 2;
                game.press(chance(0.75) == downIsShorter ? "Down" : "Up");
            }
            break;
        }
        case Screen::Instructions:
            sleepFor(between(0.1, 1));
            game.press("Escape");
            break;
        case Screen::Field:
            if (chance(0.015)) {
                game.press("Escape");
            } else if (chance(0.75)) {
                HeldKey arrow(game, chance(0.5) ? "Left" : "Right");
                sleepFor(between(0.05, 0.8));
            } else {
                sleepFor(between(0.05, 0.5));
            }
            break;
        case Screen::End:
            if (chance(0.2)) {
                game.press("Escape");
            } else {
                HeldKey space(game, "space");
                sleepFor(0.3);
            }
            break;
        case Screen::Other: sleepFor(0.05); break;
        }
    }
    ASSERT_TRUE(firstQuietDone);
    quietOnTheMenu(lastQuietFrom, lastQuietTo, bestLast);
    const Sample last = samples.back();

    game.requestClose();
    EXPECT_EQ(game.waitForExit(15), 0);
    EXPECT_EQ(game.stderrLines(), Lines{});
    EXPECT_FALSE(sanitizerReport(game.stderrText())) << game.stderrText();

    const double memoryGrowth =
        static_cast<double>(last.residentKiB - firstQuietTo.residentKiB) / firstQuietTo.residentKiB;
    const double fpsFirst = framesPerSecond(firstQuietFrom, firstQuietTo);
    const double fpsLast = framesPerSecond(lastQuietFrom, lastQuietTo);
    const double perCpuFirst = framesPerCpuSecond(firstQuietFrom, firstQuietTo);
    const double perCpuLast = framesPerCpuSecond(lastQuietFrom, lastQuietTo);

    std::printf(
        "soak: %.0f s, %llu frames (%.0f per second), %d games ended (%d won), %d new "
        "games by Space\n",
        last.seconds, static_cast<unsigned long long>(last.frames), last.frames / last.seconds,
        games, won, restarts);
    std::printf("soak: shots on the menu %d, instructions %d, field %d, end panel %d, between %d\n",
                visits[0], visits[1], visits[2], visits[3], visits[4]);
    std::printf("soak: resident memory %ld KiB at %.0f s, %ld KiB at the end (%+.2f%%)\n",
                firstQuietTo.residentKiB, firstQuietTo.seconds, last.residentKiB,
                100 * memoryGrowth);
    std::printf(
        "soak: quiet on the menu [%.0f, %.0f] s and [%.0f, %.0f] s: %.0f and %.0f frames "
        "per second (%+.1f%%); %.0f and %.0f per CPU second of its main thread (%+.1f%%), "
        "%.0f and %.0f at the best second (%+.1f%%)\n",
        firstQuietFrom.seconds, firstQuietTo.seconds, lastQuietFrom.seconds, lastQuietTo.seconds,
        fpsFirst, fpsLast, 100 * (fpsLast / fpsFirst - 1), perCpuFirst, perCpuLast,
        100 * (perCpuLast / perCpuFirst - 1), bestFirst, bestLast,
        100 * (bestLast / bestFirst - 1));
    const auto at = [&](double t) -> const Sample& {
        for (const Sample& s : samples)
            if (s.seconds >= t) return s;
        return samples.back();
    };
    const double minute = std::min(60.0, seconds / 3);
    std::printf("soak: whole run, first and last %.0f s: %.0f and %.0f frames per second\n", minute,
                framesPerSecond(samples.front(), at(minute)),
                framesPerSecond(at(last.seconds - minute), last));
    if (const char* log = std::getenv("PLUMWICK_SOAK_LOG"); log != nullptr && *log != '\0') {
        std::ofstream out(log);
        out << "seconds,frames,resident_kib,cpu_seconds\n";
        for (const Sample& s : samples)
            out << s.seconds << ',' << s.frames << ',' << s.residentKiB << ',' << s.cpuSeconds
                << '\n';
    }

    ASSERT_GT(last.frames, 0u) << "no frame counted: " << PLUMWICK_FRAME_COUNTER_LIB
                               << " saw no glXSwapBuffers";
    if (seconds >= 120) {
        EXPECT_GT(games, 0) << "no game ended";  // a short run may not see one
    }
    for (const Screen screen : {Screen::Menu, Screen::Instructions, Screen::Field}) {
        EXPECT_GT(visits[static_cast<int>(screen)], 0) << "a screen never shown";
    }
    EXPECT_LE(std::abs(memoryGrowth), 0.05) << "resident memory moved by more than 5%";
    // A slowdown is what a leak or a growing list would bring about.
    if (tolerance >= 0) {
        EXPECT_GE(bestLast / bestFirst - 1, -tolerance)
            << "the game's frames per CPU second, at the best second of each quiet stretch, fell "
               "by more than "
            << 100 * tolerance << "%";
    }
}

}  // namespace
