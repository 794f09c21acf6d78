#pragma once
// Events sent to a window the way another X client would send them.

#include <cstdint>
#include <string>
#include <vector>

// WM_DELETE_WINDOW, as a window manager's close button sends it; false on failure.
bool sendCloseRequest(unsigned long window);

// A key press of `keysymName` (e.g. "Down"), sent to the window's own client.
bool sendKeyPress(unsigned long window, const char* keysymName);

// One picture of a window's _NET_WM_ICON, the icon a window manager shows:
// its pixels row by row, each as 0xAARRGGBB.
struct WindowIcon {
    unsigned width = 0, height = 0;
    std::vector<std::uint32_t> argb;
};

// Every icon a window manager may show for the window: each picture of its
// _NET_WM_ICON, in the order listed, then the pixmap of its WM_HINTS (the
// older way, opaque where its mask is set). None when it has neither; a
// malformed _NET_WM_ICON counts as none.
std::vector<WindowIcon> windowIcons(unsigned long window);

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
