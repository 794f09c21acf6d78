#pragma once
// The "+100" that pops up large at the ball after a scoring hit, then shrinks
// while it rises and vanishes after popupDuration.

#include <SFML/Graphics/Text.hpp>

constexpr float popupDuration = 0.45f;
constexpr float popupStartScale = 2.5f;
constexpr float popupEndScale = 1.0f;
constexpr float popupRise = 40.f;

struct ScorePopup {
    bool active = false;
    float elapsed = 0.f;
    float scale = 0.f;
    sf::Vector2f anchor{0.f, 0.f};
};

// (Re)starts the popup at full size, centred on `anchor`.
void startScorePopup(ScorePopup& popup, sf::Text& popupText, sf::Vector2f anchor);

// Runs in every frame on every screen; a popup started this frame has not
// moved yet when it is first drawn.
void advanceScorePopup(ScorePopup& popup, sf::Text& popupText, float dt);
