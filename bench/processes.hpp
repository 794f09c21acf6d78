#pragma once
// Start-up and peak memory, measured on separate processes: the game's own
// start-up (plumwick_session builds the same Game as main) against the
// minimal SFML program (plumwick_minimal).

struct ProcessFigures {
    int runs = 0;                  // spawns of each program for the start-up
    double gameStartupMs = 0;      // median, spawn to first frame displayed
    double minimalStartupMs = 0;   // the same for the minimal program
    double gameFirstFrameKib = 0;  // median VmHWM at the game's first frame
    double minimalPeakKib = 0;     // median VmHWM of the minimal program
    double playSeconds = 0;        // of wall clock played by the game
    long long playFrames = 0;      // frames it showed meanwhile
    long long playGamesEnded = 0;  // games lost or won meanwhile
    long long playPeakKib = 0;     // VmHWM of the game after that play
};

// Spawns both programs `runs` times each, alternately (after one unmeasured
// spawn of each), from the working directory; then lets the game play for
// `playSeconds`. Throws when a program fails or does not report.
ProcessFigures measureProcesses(int runs, double playSeconds);
