// Xlib lives in this file alone: its macros (None, Status, ...) clash with C++ names.
#include "game_window.hpp"

#include <X11/Xlib.h>

namespace window_test {

bool sendCloseRequest(unsigned long window) {
    // Xvfb on a busy machine refuses a connection now and then: try a few times.
    Display* display = nullptr;
    for (int attempt = 0; attempt < 5 && display == nullptr; ++attempt) {
        if (attempt > 0) sleepFor(0.1);
        display = XOpenDisplay(nullptr);
    }
    if (display == nullptr) return false;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
    XCloseDisplay(display);
    return sent != 0;
}

}  // namespace window_test
