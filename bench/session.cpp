// plumwick_session: the game's own main (src/app/zedez_eraveri.cpp, compiled
// unchanged into this program) with each of its calls to runFrame routed
// here by the linker (--wrap, see bench/CMakeLists.txt). Start-up is thus the
// game's start-up itself, not a copy of it. PLUMWICK_SESSION picks the rest:
//
//   (unset)       every frame is the game's runFrame: this is the game.
//   first-frame   the game's first frame (the menu), then it reports the time
//                 and its peak memory and closes the window, so that main
//                 returns as it does when the player closes it.
//   play:SECONDS  the first frame, then Enter (PLAY), then SECONDS of wall
//                 clock of play, restarting with Space whenever a game ends;
//                 then it reports its peak memory and closes the window.
//
// A playing frame is runFrame's phases with the keys of a player who keeps
// the bar under the ball, in place of the live keyboard.

#include "app/frame.hpp"
#include "app/render.hpp"
#include "app/screens.hpp"
#include "game/outcome.hpp"
#include "probe.hpp"
#include "sfml_compat.hpp"

#include <SFML/System/Clock.hpp>
#include <SFML/Window/Keyboard.hpp>

#include <cstdlib>
#include <cstring>
#include <string>

extern "C" void __real__Z8runFrameR5Scene(Scene& scene);
extern "C" void __wrap__Z8runFrameR5Scene(Scene& scene);

namespace {

enum class Mode { Game, FirstFrame, Play };

struct Session {
    Mode mode = Mode::Game;
    float playSeconds = 0.f;
    bool playing = false;
    sf::Clock wallClock;
    long long frames = 0;
    long long gamesEnded = 0;
};

Session readSession() {
    Session session;
    const char* value = std::getenv("PLUMWICK_SESSION");
    if (value == nullptr) return session;
    if (std::strcmp(value, "first-frame") == 0) session.mode = Mode::FirstFrame;
    if (std::strncmp(value, "play:", 5) == 0) {
        session.mode = Mode::Play;
        session.playSeconds = std::stof(value + 5);
    }
    return session;
}

// Follows the ball with the bar's centre; holds Space once a game has ended.
HeldKeys player(const Scene& scene) {
    const sf::FloatRect ball = scene.art.ball.sprite.getGlobalBounds();
    const sf::FloatRect bar = scene.art.bar.sprite.getGlobalBounds();
    const float ballCentre = compat::left(ball) + compat::width(ball) / 2.f;
    const float barCentre = compat::left(bar) + compat::width(bar) / 2.f;
    HeldKeys keys;
    keys.left = ballCentre < barCentre - 20.f;
    keys.right = ballCentre > barCentre + 20.f;
    keys.space = !gameInProgress(scene.state);
    return keys;
}

void playFrame(Session& session, Scene& scene) {
    handleEvents(scene);
    const float dt = scene.frameClock.restart().asSeconds();
    const HeldKeys keys = player(scene);
    session.gamesEnded += keys.space;  // Space restarts an ended game at once
    advanceFrame(scene, dt, keys);
    renderFrame(scene);
    ++session.frames;
}

}  // namespace

extern "C" void __wrap__Z8runFrameR5Scene(Scene& scene) {
    static Session session = readSession();
    switch (session.mode) {
    case Mode::Game: __real__Z8runFrameR5Scene(scene); break;
    case Mode::FirstFrame:
        __real__Z8runFrameR5Scene(scene);
        probe::report("first-frame-ns", probe::monotonicNanoseconds());
        probe::report("peak-kib", probe::peakResidentKib());
        scene.window.close();
        break;
    case Mode::Play:
        if (!session.playing) {
            __real__Z8runFrameR5Scene(scene);
            handleKeyPress(scene, sf::Keyboard::Key::Enter);  // PLAY is highlighted
            session.playing = true;
            session.wallClock.restart();
            break;
        }
        playFrame(session, scene);
        if (session.wallClock.getElapsedTime().asSeconds() >= session.playSeconds) {
            probe::report("frames", session.frames);
            probe::report("games-ended", session.gamesEnded);
            probe::report("score", scene.state.score);
            probe::report("peak-kib", probe::peakResidentKib());
            scene.window.close();
        }
        break;
    }
}
