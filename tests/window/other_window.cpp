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
    display_ = display;
    const int screen = DefaultScreen(display);
    window_ = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, 200, 200, 0,
                                  BlackPixel(display, screen), WhitePixel(display, screen));
    XStoreName(display, window_, "plumwick test: other window");
    XMapWindow(display, window_);
    XSync(display, False);
}

OtherWindow::~OtherWindow() {
    if (display_ == nullptr) return;
    Display* display = static_cast<Display*>(display_);
    if (window_ != 0) XDestroyWindow(display, window_);
    XCloseDisplay(display);
}

}  // namespace window_test
