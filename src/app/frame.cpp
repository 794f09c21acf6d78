#include "app/frame.hpp"

#include "app/render.hpp"
#include "game/ball.hpp"
#include "game/bar.hpp"
#include "game/flower.hpp"
#include "game/obstacles.hpp"
#include "game/outcome.hpp"
#include "ui/hud.hpp"

namespace {

bool updatesPlay(const Game& game) {
    return game.shell.currentScreen == Screen::Playing && gameInProgress(game.state);
}

// Space matters only after a game has ended; the arrows only in a frame whose
// playing update runs, which a restart with Space can also bring about.
HeldKeys sampleFrameKeys(const Game& game) {
    const bool focused = game.shell.windowFocused;
    const bool ended = !gameInProgress(game.state);
    const bool space = sampleHeldKeys({false, ended}, focused).space;
    const bool onPlaying = game.shell.currentScreen == Screen::Playing;
    HeldKeys keys = sampleHeldKeys({onPlaying && (!ended || space), false}, focused);
    keys.space = space;
    return keys;
}

}  // namespace

void runFrame(Game& game) { runFrame(game, sampleFrameKeys); }

void runFrame(Game& game, const KeysOf& keysOf) {
    handleEvents(game);
    const float dt = game.frameClock.restart().asSeconds();  // neither clamped nor smoothed
    advanceFrame(game, dt, keysOf(game));
    renderFrame(game);
}

void advanceFrame(Game& game, float dt, HeldKeys keys) {
    advanceScorePopup(game.state.scorePopup, game.texts.popupText, dt);
    restartTrigger(game.state, game.art, game.hearts, keys, game.randomDraw);
    if (updatesPlay(game)) playingUpdate(game, dt, keys);
}

void playingUpdate(Game& game, float dt, HeldKeys keys) {
    flowerStep(game.state, game.art.flower.sprite, dt);
    obstacleMotionStep(game.state, game.art, dt);
    ballStep(game.state, game.art, game.hearts, dt);
    obstacleHitStep(game.state, game.art, game.texts.popupText);
    barStep(game.art.bar.sprite, keys, dt);
    const int playSeconds = clockStep(game.state);
    updateHud(game.texts, playSeconds, game.state.score);
}
