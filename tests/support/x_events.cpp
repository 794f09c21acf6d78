// Xlib lives in this file alone: its macros (None, Status, ...) clash with C++ names.
#include "x_events.hpp"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

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

namespace {

std::vector<WindowIcon> netIcons(Display* display, unsigned long window) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const Atom icon = XInternAtom(display, "_NET_WM_ICON", False);
    XGetWindowProperty(display, window, icon, 0, 1L << 24, False, XA_CARDINAL, &type, &format,
                       &count, &after, &data);
    std::vector<WindowIcon> icons;
    if (data != nullptr && format == 32) {
        // Xlib hands 32-bit items over as longs, whatever their size.
        const unsigned long* items = reinterpret_cast<const unsigned long*>(data);
        for (unsigned long at = 0; at + 2 <= count;) {
            WindowIcon picture{
                static_cast<unsigned>(items[at]), static_cast<unsigned>(items[at + 1]), {}};
            const unsigned long pixels = static_cast<unsigned long>(picture.width) * picture.height;
            at += 2;
            if (pixels == 0 || pixels > count - at) {
                icons.clear();
                break;
            }
            for (unsigned long i = 0; i < pixels; ++i)
                picture.argb.push_back(static_cast<std::uint32_t>(items[at + i]));
            at += pixels;
            icons.push_back(std::move(picture));
        }
    }
    if (data != nullptr) XFree(data);
    return icons;
}

XImage* wholePixmap(Display* display, Pixmap pixmap) {
    Window root = 0;
    int x = 0, y = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    if (!XGetGeometry(display, pixmap, &root, &x, &y, &width, &height, &border, &depth))
        return nullptr;
    return XGetImage(display, pixmap, 0, 0, width, height, AllPlanes, ZPixmap);
}

// The pixmap's pixels as 0xRRGGBB: a 24-bit true-colour screen's, as Xvfb's.
std::optional<WindowIcon> hintedIcon(Display* display, unsigned long window) {
    XWMHints* hints = XGetWMHints(display, window);
    if (hints == nullptr) return std::nullopt;
    const bool given = (hints->flags & IconPixmapHint) != 0;
    const Pixmap pixmap = hints->icon_pixmap;
    const Pixmap mask = (hints->flags & IconMaskHint) != 0 ? hints->icon_mask : 0;
    XFree(hints);
    if (!given) return std::nullopt;
    XImage* colours = wholePixmap(display, pixmap);
    XImage* opaque = mask != 0 ? wholePixmap(display, mask) : nullptr;
    std::optional<WindowIcon> icon;
    if (colours != nullptr && (mask == 0 || opaque != nullptr)) {
        icon = WindowIcon{
            static_cast<unsigned>(colours->width), static_cast<unsigned>(colours->height), {}};
        for (int y = 0; y < colours->height; ++y)
            for (int x = 0; x < colours->width; ++x) {
                const bool shown = opaque == nullptr || (x < opaque->width && y < opaque->height &&
                                                         XGetPixel(opaque, x, y) != 0);
                const unsigned long rgb = XGetPixel(colours, x, y) & 0xffffff;
                icon->argb.push_back(static_cast<std::uint32_t>((shown ? 0xff000000 : 0) | rgb));
            }
    }
    if (colours != nullptr) XDestroyImage(colours);
    if (opaque != nullptr) XDestroyImage(opaque);
    return icon;
}

}  // namespace

std::vector<WindowIcon> windowIcons(unsigned long window) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return {};
    // The window may change its icon while it is read (Wine replaces the
    // hints' pixmap at each WM_SETICON): a pixmap gone by then is an X error,
    // which Xlib's own handler answers by ending this process. Here it only
    // fails that read, and the caller reads again.
    const auto keepGoing = [](Display*, XErrorEvent*) { return 0; };
    const XErrorHandler before = XSetErrorHandler(keepGoing);
    std::vector<WindowIcon> icons = netIcons(display, window);
    if (std::optional<WindowIcon> hinted = hintedIcon(display, window))
        icons.push_back(std::move(*hinted));
    XSync(display, False);
    XSetErrorHandler(before);
    XCloseDisplay(display);
    return icons;
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
