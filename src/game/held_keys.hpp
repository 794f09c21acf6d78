#pragma once
// The keys the game reads as held, sampled once per frame.

struct HeldKeys {
    bool left = false;
    bool right = false;
    bool space = false;
};

// The live keyboard, as the game samples it each frame. The keyboard query
// sees keys pressed for any program on the desktop, so while the game's
// window lacks focus every key counts as released.
HeldKeys sampleHeldKeys(bool windowHasFocus);
