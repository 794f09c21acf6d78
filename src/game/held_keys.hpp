#pragma once
// The keys the game reads as held, sampled once per frame.

struct HeldKeys {
    bool left = false;
    bool right = false;
    bool space = false;
};

// Which keys a frame can use: each asked of the keyboard costs a round trip
// to the X server.
struct KeysWanted {
    bool arrows = false;
    bool space = false;
};

// The live keyboard, each wanted key asked once. The query sees keys pressed
// for any program on the desktop, so while the game's window lacks focus
// every key counts as released.
HeldKeys sampleHeldKeys(KeysWanted wanted, bool windowHasFocus);
