#include "app/screens.hpp"

#include "app/game.hpp"
#include "sfml_compat.hpp"

namespace {

void moveSelection(ShellState& shell, int step) {
    shell.menuSelection += step;
    if (shell.menuSelection > exitItem) shell.menuSelection = playItem;
    if (shell.menuSelection < playItem) shell.menuSelection = exitItem;
}

// PLAY resumes the game where it was left; only its play clock restarts.
void startPlaying(Game& game) {
    stopTrack(game.music, Track::Menu);
    playTrack(game.music, Track::Game);
    game.shell.currentScreen = Screen::Playing;
    game.state.playClock.restart();
}

void switchVolume(Game& game) {
    game.shell.volumeOn = !game.shell.volumeOn;
    // The origin stays where "VOLUME: ON" put it, so "OFF" reaches further right.
    game.texts.volumeItemText.setString(game.shell.volumeOn ? "VOLUME: ON" : "VOLUME: OFF");
    setSoundOn(game.music, game.shell.volumeOn);
}

void activateMenuItem(Game& game) {
    switch (game.shell.menuSelection) {
    case playItem: startPlaying(game); break;
    case howToPlayItem: game.shell.currentScreen = Screen::Instructions; break;
    case volumeItem: switchVolume(game); break;
    case exitItem: game.window.close(); break;
    default: break;
    }
}

void handleMenuKey(Game& game, sf::Keyboard::Key key) {
    if (key == sf::Keyboard::Key::Down) moveSelection(game.shell, +1);
    if (key == sf::Keyboard::Key::Up) moveSelection(game.shell, -1);
    if (key == sf::Keyboard::Key::Enter) activateMenuItem(game);
}

void leaveInstructions(Game& game) {
    stopTrack(game.music, Track::Game);
    playTrack(game.music, Track::Menu);
    game.shell.currentScreen = Screen::Menu;
}

}  // namespace

void handleKeyPress(Game& game, sf::Keyboard::Key key) {
    switch (game.shell.currentScreen) {
    case Screen::Menu: handleMenuKey(game, key); break;
    case Screen::Instructions:
        if (key == sf::Keyboard::Key::Escape) leaveInstructions(game);
        break;
    case Screen::Playing:
        // Back to the menu with the game held as it is; the music carries on.
        if (key == sf::Keyboard::Key::Escape) game.shell.currentScreen = Screen::Menu;
        break;
    }
}

void handleEvents(Game& game) {
    while (const std::optional<compat::WindowEvent> event = compat::pollEvent(game.window)) {
        if (event->closed) game.window.close();
        if (event->pressedKey) handleKeyPress(game, *event->pressedKey);
        if (event->focused) game.shell.windowFocused = *event->focused;
    }
}
