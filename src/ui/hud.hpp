#pragma once
// The heads-up display during play and the score of the win panel.

#include "ui/texts.hpp"

// Time at the top right ("42s."), points centred at the top ("PUNTI: 300").
void updateHud(Texts& texts, int playSeconds, int score);

// "SCORE: " and the score, for the win panel.
void showFinalScore(sf::Text& finalScoreText, int score);
