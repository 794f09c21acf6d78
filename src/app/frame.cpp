#include "app/frame.hpp"

#include "app/render.hpp"
#include "game/ball.hpp"
#include "game/bar.hpp"
#include "game/flower.hpp"
#include "game/obstacles.hpp"
#include "game/outcome.hpp"
#include "ui/hud.hpp"

namespace {

bool updatesPlay(const Scene& scene) {
    return scene.shell.currentScreen == Screen::Playing && gameInProgress(scene.state);
}

// Space matters only after a game has ended; the arrows only in a frame whose
// playing update runs, which a restart with Space can also bring about.
HeldKeys sampleFrameKeys(const Scene& scene) {
    const bool focused = scene.shell.windowFocused;
    const bool ended = !gameInProgress(scene.state);
    const bool space = sampleHeldKeys({false, ended}, focused).space;
    const bool onPlaying = scene.shell.currentScreen == Screen::Playing;
    HeldKeys keys = sampleHeldKeys({onPlaying && (!ended || space), false}, focused);
    keys.space = space;
    return keys;
}

}  // namespace

void runFrame(Scene& scene) {
    handleEvents(scene);
    const float dt = scene.frameClock.restart().asSeconds();  // neither clamped nor smoothed
    advanceFrame(scene, dt, sampleFrameKeys(scene));
    renderFrame(scene);
}

void advanceFrame(Scene& scene, float dt, HeldKeys keys) {
    advanceScorePopup(scene.state.scorePopup, scene.texts.popupText, dt);
    restartTrigger(scene.state, scene.art, scene.hearts, keys, scene.draw);
    if (updatesPlay(scene)) playingUpdate(scene, dt, keys);
}

void playingUpdate(Scene& scene, float dt, HeldKeys keys) {
    flowerStep(scene.state, scene.art.flower.sprite, dt);
    obstacleMotionStep(scene.state, scene.art, dt);
    ballStep(scene.state, scene.art, scene.hearts, dt);
    obstacleHitStep(scene.state, scene.art, scene.texts.popupText);
    barStep(scene.art.bar.sprite, keys, dt);
    const int playSeconds = clockStep(scene.state);
    updateHud(scene.texts, playSeconds, scene.state.score);
}
