#include "app/screens.hpp"

#include "app/scene.hpp"
#include "sfml_compat.hpp"

namespace {

void moveSelection(ShellState& shell, int step) {
    shell.menuSelection += step;
    if (shell.menuSelection > exitItem) shell.menuSelection = playItem;
    if (shell.menuSelection < playItem) shell.menuSelection = exitItem;
}

// PLAY resumes the game where it was left; only its play clock restarts.
void startPlaying(Scene& scene) {
    stopTrack(scene.music, Track::Menu);
    playTrack(scene.music, Track::Game);
    scene.shell.currentScreen = Screen::Playing;
    scene.state.playClock.restart();
}

void switchVolume(Scene& scene) {
    scene.shell.volumeOn = !scene.shell.volumeOn;
    // The origin stays where "VOLUME: ON" put it, so "OFF" reaches further right.
    scene.texts.volumeItemText.setString(scene.shell.volumeOn ? "VOLUME: ON" : "VOLUME: OFF");
    setSoundOn(scene.music, scene.shell.volumeOn);
}

void activateMenuItem(Scene& scene) {
    switch (scene.shell.menuSelection) {
    case playItem: startPlaying(scene); break;
    case howToPlayItem: scene.shell.currentScreen = Screen::Instructions; break;
    case volumeItem: switchVolume(scene); break;
    case exitItem: scene.window.close(); break;
    default: break;
    }
}

void handleMenuKey(Scene& scene, sf::Keyboard::Key key) {
    if (key == sf::Keyboard::Key::Down) moveSelection(scene.shell, +1);
    if (key == sf::Keyboard::Key::Up) moveSelection(scene.shell, -1);
    if (key == sf::Keyboard::Key::Enter) activateMenuItem(scene);
}

void leaveInstructions(Scene& scene) {
    stopTrack(scene.music, Track::Game);
    playTrack(scene.music, Track::Menu);
    scene.shell.currentScreen = Screen::Menu;
}

}  // namespace

void handleKeyPress(Scene& scene, sf::Keyboard::Key key) {
    switch (scene.shell.currentScreen) {
    case Screen::Menu: handleMenuKey(scene, key); break;
    case Screen::Instructions:
        if (key == sf::Keyboard::Key::Escape) leaveInstructions(scene);
        break;
    case Screen::Playing:
        // Back to the menu with the game held as it is; the music carries on.
        if (key == sf::Keyboard::Key::Escape) scene.shell.currentScreen = Screen::Menu;
        break;
    }
}

void handleEvents(Scene& scene) {
    while (const std::optional<compat::WindowEvent> event = compat::pollEvent(scene.window)) {
        if (event->closed) scene.window.close();
        if (event->pressedKey) handleKeyPress(scene, *event->pressedKey);
        if (event->focused) scene.shell.windowFocused = *event->focused;
    }
}
