#include "game/flower.hpp"

void flowerStep(PlayState& state, sf::Sprite& flower, float dt) {
    state.flowerTimer += dt;
    if (!state.flowerVisible && state.flowerTimer >= flowerInterval) {
        state.flowerTimer = 0.f;
        state.flowerVisible = true;
        state.flowerShownTimer = 0.f;
        flower.setScale({flowerShownScale, flowerShownScale});
    }
    if (state.flowerVisible) {
        state.flowerShownTimer += dt;
        if (state.flowerShownTimer >= flowerShowTime) {
            state.flowerVisible = false;
            flower.setScale({0.f, 0.f});
        }
    }
}
