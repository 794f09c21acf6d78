#include "ui/hud.hpp"

#include <string>

void updateHud(Texts& texts, int playSeconds, int score) {
    texts.timerText.setString(std::to_string(playSeconds) + "s.");
    texts.scoreText.setString("PUNTI: " + std::to_string(score));
    centreOrigin(texts.scoreText);  // stays centred however many digits
    texts.scoreText.setPosition(scoreCentre);
}

void showFinalScore(sf::Text& finalScoreText, int score) {
    finalScoreText.setString("SCORE: " + std::to_string(score));
}
