#include "app/frame.hpp"

#include "app/render.hpp"
#include "game/ball.hpp"
#include "game/bar.hpp"
#include "game/flower.hpp"
#include "game/obstacles.hpp"
#include "game/outcome.hpp"
#include "ui/hud.hpp"

void runFrame(Scene& scene) {
    handleEvents(scene);
    const float dt = scene.frameClock.restart().asSeconds();  // neither clamped nor smoothed
    advanceFrame(scene, dt, sampleHeldKeys(scene.window.hasFocus()));
    renderFrame(scene);
}

void advanceFrame(Scene& scene, float dt, HeldKeys keys) {
    advanceScorePopup(scene.state.scorePopup, scene.texts.popupText, dt);
    restartTrigger(scene.state, scene.art, scene.hearts, keys, scene.draw);
    if (scene.shell.currentScreen == Screen::Playing && gameInProgress(scene.state))
        playingUpdate(scene, dt, keys);
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
