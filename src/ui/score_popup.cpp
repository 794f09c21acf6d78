#include "ui/score_popup.hpp"

void startScorePopup(ScorePopup& popup, sf::Text& popupText, sf::Vector2f anchor) {
    popup.active = true;
    popup.elapsed = 0.f;
    popup.scale = popupStartScale;
    popup.anchor = anchor;
    popupText.setScale({popupStartScale, popupStartScale});
    popupText.setPosition(popup.anchor);
}

void advanceScorePopup(ScorePopup& popup, sf::Text& popupText, float dt) {
    if (!popup.active) return;
    popup.elapsed += dt;
    const float t = popup.elapsed / popupDuration;
    if (t >= 1.f) {
        popup.active = false;  // the text keeps its last scale and place
        return;
    }
    popup.scale = popupStartScale + t * (popupEndScale - popupStartScale);
    popupText.setScale({popup.scale, popup.scale});
    popupText.setPosition({popup.anchor.x, popup.anchor.y - popupRise * t});
}
