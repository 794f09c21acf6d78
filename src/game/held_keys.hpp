#pragma once
// The keys the game reads as held, sampled once per frame.

struct HeldKeys {
    bool left = false;
    bool right = false;
    bool space = false;
};

// The live keyboard, as the game samples it each frame.
HeldKeys sampleHeldKeys();
