// A second, plain X window that can take the keyboard focus from the game.
#pragma once

namespace window_test {

class OtherWindow {
public:
    // A 200x200 window at the top left of the screen, mapped (false from
    // open() when there is no X server).
    OtherWindow();
    ~OtherWindow();
    OtherWindow(const OtherWindow&) = delete;
    OtherWindow& operator=(const OtherWindow&) = delete;

    bool open() const { return windowId != 0; }
    unsigned long id() const { return windowId; }

private:
    void* xDisplay = nullptr;  // Display*, kept out of this header with the rest of Xlib
    unsigned long windowId = 0;
};

}  // namespace window_test
