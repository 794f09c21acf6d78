// Xlib lives in this file alone: its macros (None, Status, ...) clash with C++ names.
#include "other_window.hpp"

#include "game_window.hpp"

#include <X11/Xlib.h>

namespace window_test {

OtherWindow::OtherWindow() {
    // Xvfb on a busy machine refuses a connection now and then: try a few times.
    Display* display = nullptr;
    for (int attempt = 0; attempt < 5 && display == nullptr; ++attempt) {
        if (attempt > 0) sleepFor(0.1);
        display = XOpenDisplay(nullptr);
    }
    if (display == nullptr) return;
    xDisplay = display;
    const int screen = DefaultScreen(display);
    windowId = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, 200, 200, 0,
                                   BlackPixel(display, screen), WhitePixel(display, screen));
    XStoreName(display, windowId, "plumwick test: other window");
    XMapWindow(display, windowId);
    XSync(display, False);
}

OtherWindow::~OtherWindow() {
    if (xDisplay == nullptr) return;
    Display* display = static_cast<Display*>(xDisplay);
    if (windowId != 0) XDestroyWindow(display, windowId);
    XCloseDisplay(display);
}

}  // namespace window_test
