#pragma once
// The game on its menu with no sound device (OpenAL told to open none)
// against a working silent one (OpenAL's null driver): CPU and stderr.

struct SilenceFigures {
    double seconds = 0;           // measured, after each copy's start-up
    double noDeviceCpu = 0;       // CPU seconds per second, ALSOFT_DRIVERS=none
    double nullDriverCpu = 0;     // the same with ALSOFT_DRIVERS=null
    long long noDeviceBytes = 0;  // all it wrote to stderr, start-up included
    long long nullDriverBytes = 0;
};

// Runs both copies of the game (its own main, left on the menu) side by side,
// so that they share the machine alike, for `seconds` after 3 s of start-up;
// then kills them. Throws when one cannot be started or dies.
SilenceFigures measureSilence(double seconds);

void printSilence(const SilenceFigures& figures);
