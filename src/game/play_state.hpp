#pragma once
// Every value one game changes or reads, with its start value, and the
// restart that begins a new game once one has ended.

#include "game/play_clock.hpp"
#include "ui/score_popup.hpp"

#include <SFML/System/Vector2.hpp>

#include <array>
#include <functional>

struct FieldArt;
struct LifeHearts;

constexpr int startLives = 3;
constexpr float ballStartSpeed = 120.f;
// By ObstacleIndex.
constexpr std::array<float, 4> obstacleStartSpeeds{80.f, 100.f, 90.f, 70.f};

struct PlayState {
    int lives = startLives;
    int score = 0;
    sf::Vector2f ballVelocity{ballStartSpeed, ballStartSpeed};
    std::array<float, 4> obstacleVelocity = obstacleStartSpeeds;
    std::array<bool, 4> hitLatch{};
    bool gameOver = false;
    bool gameWon = false;
    float flowerTimer = 0.f;
    float flowerShownTimer = 0.f;
    bool flowerVisible = false;
    ScorePopup scorePopup;
    PlayClock playClock;
};

// One draw of the random generator; a draw whose lowest bit is 0 is even.
// The game draws with the C library's rand.
using RandomDraw = std::function<int()>;

// The start-up draws: the four obstacles' directions, then the ball's.
void drawStartDirections(PlayState& state, const RandomDraw& draw);

// Begins a new game: lives, score, flags, positions, directions (the ball's
// drawn first this time), the flower and the play clock. The screen, the
// music, the contact latches and a running popup are left as they are.
void restartGame(PlayState& state, FieldArt& art, LifeHearts& hearts, const RandomDraw& draw);
