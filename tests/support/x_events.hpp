#pragma once
// Events sent to a window the way another X client would send them.

#include <string>

// WM_DELETE_WINDOW, as a window manager's close button sends it; false on failure.
bool sendCloseRequest(unsigned long window);

// A key press of `keysymName` (e.g. "Down"), sent to the window's own client.
bool sendKeyPress(unsigned long window, const char* keysymName);

// Runs xdotool with the arguments; false when it fails.
bool xdotool(const std::string& arguments);

// Gives the window the input focus, as a click on it would, or with 0 takes
// it from every window; false on failure.
bool focusWindow(unsigned long window);

// A key held down through XTEST, as a player holds it, until this goes: the
// keyboard itself reads it as pressed.
class HeldKey {
public:
    explicit HeldKey(const char* keysymName);
    ~HeldKey();
    HeldKey(const HeldKey&) = delete;
    HeldKey& operator=(const HeldKey&) = delete;
    const bool pressed;

private:
    const char* const name;
};
