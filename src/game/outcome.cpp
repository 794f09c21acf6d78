#include "game/outcome.hpp"

int clockStep(PlayState& state) {
    const int playSeconds = static_cast<int>(state.playClock.elapsedSeconds());
    if (playSeconds > winAfterSeconds) state.gameWon = true;
    return playSeconds;
}

bool gameInProgress(const PlayState& state) { return !state.gameOver && !state.gameWon; }

void restartTrigger(PlayState& state, FieldArt& art, LifeHearts& hearts, HeldKeys keys,
                    const RandomDraw& draw) {
    if (!gameInProgress(state) && keys.space) restartGame(state, art, hearts, draw);
}
