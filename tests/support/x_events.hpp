#pragma once
// Events sent to a window the way another X client would send them.

// WM_DELETE_WINDOW, as a window manager's close button sends it; false on failure.
bool sendCloseRequest(unsigned long window);

// A key press of `keysymName` (e.g. "Down"), sent to the window's own client.
bool sendKeyPress(unsigned long window, const char* keysymName);
