// Xlib lives in this file alone: its macros (None, Status, ...) clash with C++ names.
#include "x_events.hpp"

#include <X11/Xlib.h>

#include <cstdlib>
#include <string>

namespace {

bool send(unsigned long window, XEvent& event) {
    Display* display = XOpenDisplay(nullptr);
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
    return std::system(("xdotool " + arguments + " >/dev/null 2>&1").c_str()) == 0;
}

bool focusWindow(unsigned long window) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return false;
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    XSync(display, False);
    XCloseDisplay(display);
    return true;
}

HeldKey::HeldKey(const char* keysymName)
    : pressed(xdotool(std::string("keydown ") + keysymName)), name(keysymName) {}

HeldKey::~HeldKey() { xdotool(std::string("keyup ") + name); }
