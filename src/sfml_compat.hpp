#pragma once
// The one place where SFML 2.5 and SFML 3 differ for this game. Everything
// else is written against SFML 3 names; these helpers give the 2.5 spelling
// of the few calls whose signatures changed between the two majors.

#include <SFML/Audio/Music.hpp>
#include <SFML/Config.hpp>
#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Window/Event.hpp>
#include <SFML/Window/Keyboard.hpp>
#include <SFML/Window/VideoMode.hpp>

#include <optional>
#include <string>

namespace compat {

// --- Images ---------------------------------------------------------------

inline sf::Image makeImage(unsigned width, unsigned height) {
#if SFML_VERSION_MAJOR >= 3
    return sf::Image({width, height}, sf::Color::Transparent);
#else
    sf::Image image;
    image.create(width, height, sf::Color::Transparent);
    return image;
#endif
}

inline void setPixel(sf::Image& image, unsigned x, unsigned y, sf::Color colour) {
#if SFML_VERSION_MAJOR >= 3
    image.setPixel({x, y}, colour);
#else
    image.setPixel(x, y, colour);
#endif
}

inline sf::Color getPixel(const sf::Image& image, unsigned x, unsigned y) {
#if SFML_VERSION_MAJOR >= 3
    return image.getPixel({x, y});
#else
    return image.getPixel(x, y);
#endif
}

// Loads without sRGB conversion in both majors (2.5's default is off too).
inline bool loadTexture(sf::Texture& texture, const sf::Image& image) {
    return texture.loadFromImage(image);
}

// --- Rectangles -----------------------------------------------------------

inline float left(const sf::FloatRect& r) {
#if SFML_VERSION_MAJOR >= 3
    return r.position.x;
#else
    return r.left;
#endif
}
inline float top(const sf::FloatRect& r) {
#if SFML_VERSION_MAJOR >= 3
    return r.position.y;
#else
    return r.top;
#endif
}
inline float width(const sf::FloatRect& r) {
#if SFML_VERSION_MAJOR >= 3
    return r.size.x;
#else
    return r.width;
#endif
}
inline float height(const sf::FloatRect& r) {
#if SFML_VERSION_MAJOR >= 3
    return r.size.y;
#else
    return r.height;
#endif
}

// A rectangle only for an overlap of positive width and height.
inline std::optional<sf::FloatRect> findIntersection(const sf::FloatRect& a,
                                                     const sf::FloatRect& b) {
#if SFML_VERSION_MAJOR >= 3
    return a.findIntersection(b);
#else
    sf::FloatRect overlap;
    if (a.intersects(b, overlap)) return overlap;
    return std::nullopt;
#endif
}

// --- Texts and fonts ------------------------------------------------------

// An empty text of size 30 on the font, as both majors create one.
inline sf::Text makeText(const sf::Font& font) {
#if SFML_VERSION_MAJOR >= 3
    return sf::Text(font, "", 30);
#else
    return sf::Text("", font, 30);
#endif
}

inline bool openFont(sf::Font& font, const std::string& path) {
#if SFML_VERSION_MAJOR >= 3
    return font.openFromFile(path);
#else
    return font.loadFromFile(path);
#endif
}

// --- Music ----------------------------------------------------------------

inline void setLooping(sf::Music& music, bool looping) {
#if SFML_VERSION_MAJOR >= 3
    music.setLooping(looping);
#else
    music.setLoop(looping);
#endif
}

inline bool isLooping(const sf::Music& music) {
#if SFML_VERSION_MAJOR >= 3
    return music.isLooping();
#else
    return music.getLoop();
#endif
}

// --- Window and events ----------------------------------------------------

inline void openWindow(sf::RenderWindow& window, unsigned width, unsigned height,
                       const std::string& title) {
#if SFML_VERSION_MAJOR >= 3
    window.create(sf::VideoMode({width, height}, 32), title, sf::Style::Default,
                  sf::State::Windowed);
    // Without a window manager SFML 3.0 leaves the window half off the
    // screen; centre it on the desktop as 2.5 does.
    const sf::Vector2u desktop = sf::VideoMode::getDesktopMode().size;
    window.setPosition({(static_cast<int>(desktop.x) - static_cast<int>(width)) / 2,
                        (static_cast<int>(desktop.y) - static_cast<int>(height)) / 2});
#else
    window.create(sf::VideoMode(width, height, 32), title, sf::Style::Default);
#endif
}

// The window system's own handle of the window (an X window id here).
inline sf::WindowHandle nativeHandle(const sf::Window& window) {
#if SFML_VERSION_MAJOR >= 3
    return window.getNativeHandle();
#else
    return window.getSystemHandle();
#endif
}

// The window's icon, from an RGBA picture.
inline void setIcon(sf::Window& window, const sf::Image& icon) {
#if SFML_VERSION_MAJOR >= 3
    window.setIcon(icon.getSize(), icon.getPixelsPtr());
#else
    window.setIcon(icon.getSize().x, icon.getSize().y, icon.getPixelsPtr());
#endif
}

// The kinds of event the game looks at; every other event comes out with no
// field set.
struct WindowEvent {
    bool closed = false;
    std::optional<sf::Keyboard::Key> pressedKey;
    std::optional<bool> focused;  // the window gained (true) or lost (false) the focus
};

inline std::optional<WindowEvent> pollEvent(sf::Window& window) {
    WindowEvent result;
#if SFML_VERSION_MAJOR >= 3
    const std::optional<sf::Event> event = window.pollEvent();
    if (!event) return std::nullopt;
    result.closed = event->is<sf::Event::Closed>();
    if (const auto* key = event->getIf<sf::Event::KeyPressed>()) result.pressedKey = key->code;
    if (event->is<sf::Event::FocusGained>()) result.focused = true;
    if (event->is<sf::Event::FocusLost>()) result.focused = false;
#else
    sf::Event event;
    if (!window.pollEvent(event)) return std::nullopt;
    result.closed = event.type == sf::Event::Closed;
    if (event.type == sf::Event::KeyPressed) result.pressedKey = event.key.code;
    if (event.type == sf::Event::GainedFocus) result.focused = true;
    if (event.type == sf::Event::LostFocus) result.focused = false;
#endif
    return result;
}

}  // namespace compat
