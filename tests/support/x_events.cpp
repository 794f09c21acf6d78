// Xlib lives in this file alone: its macros (None, Status, ...) clash with C++ names.
#include "x_events.hpp"

#include <X11/Xlib.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

// An X server resetting as its last client leaves refuses connections: try a few times.
Display* openDisplay() {
    Display* display = nullptr;
    for (int attempt = 0; attempt < 5 && display == nullptr; ++attempt) {
        if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(100));
        display = XOpenDisplay(nullptr);
    }
    return display;
}

bool send(unsigned long window, XEvent& event) {
    Display* display = openDisplay();
    if (display == nullptr) return false;
    event.xany.display = display;
    event.xany.window = window;
    if (event.type == ClientMessage) {
        event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        event.xclient.data.l[0] =
            static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    }
    if (event.type == KeyPress) {
        event.xkey.root = DefaultRootWindow(display);
        event.xkey.keycode = XKeysymToKeycode(display, event.xkey.keycode);
    }
    const Status sent = XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    XCloseDisplay(display);
    return sent != 0;
}

}  // namespace

bool sendCloseRequest(unsigned long window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.format = 32;
    event.xclient.data.l[1] = CurrentTime;
    return send(window, event);
}

bool sendKeyPress(unsigned long window, const char* keysymName) {
    XEvent event{};
    event.xkey.type = KeyPress;
    event.xkey.same_screen = True;
    event.xkey.time = CurrentTime;
    // The key symbol for now; send() turns it into this display's key code.
    event.xkey.keycode = static_cast<unsigned>(XStringToKeysym(keysymName));
    return send(window, event);
}

bool xdotool(const std::string& arguments) {
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (std::system(("xdotool " + arguments + " >/dev/null 2>&1").c_str()) == 0) return true;
    }
    return false;
}

bool focusWindow(unsigned long window) {
    Display* display = openDisplay();
    if (display == nullptr) return false;
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    XSync(display, False);
    XCloseDisplay(display);
    return true;
}

HeldKey::HeldKey(const char* keysymName)
    : pressed(xdotool(std::string("keydown ") + keysymName)), name(keysymName) {}

HeldKey::~HeldKey() { xdotool(std::string("keyup ") + name); }
