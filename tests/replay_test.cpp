// One scripted session replayed through the frame's own phases, every
// invariant checked and the whole simulation hashed after every frame: the
// same fingerprint on every CPU, compiler and SFML the game builds with. A
// change that moves it on purpose says why in its commit.

#include "game/obstacles.hpp"
#include "game/speed_up.hpp"
#include "game_fixture.hpp"
#include "image_counts.hpp"
#include "player.hpp"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <iterator>

// Every float operation rounds to float, none is carried wider (as on x87).
static_assert(FLT_EVAL_METHOD == 0);

namespace {

// FNV-1a over the bit patterns, byte by byte from the lowest.
struct Fingerprint {
    std::uint64_t value = 0xcbf29ce484222325;
    void byte(unsigned char b) { value = (value ^ b) * 0x100000001b3; }
    void add(std::uint32_t bits) {
        for (int i = 0; i < 4; ++i) byte(static_cast<unsigned char>(bits >> 8 * i));
    }
    void add(int i) { add(static_cast<std::uint32_t>(i)); }
    void add(bool b) { add(std::uint32_t{b}); }
    void add(float f) {
        std::uint32_t bits;
        std::memcpy(&bits, &f, sizeof bits);
        add(bits);
    }
    void add(sf::Vector2f v) { add(v.x), add(v.y); }
    void add(const sf::String& text) {
        for (char c : text.toAnsiString()) byte(static_cast<unsigned char>(c));
    }
    template <class... T>
    void addAll(const T&... values) {
        (add(values), ...);
    }
};

void addState(Fingerprint& print, const Game& game) {
    const PlayState& s = game.state;
    print.addAll(s.lives, s.score, s.ballVelocity, s.gameOver, s.gameWon, s.flowerTimer,
                 s.flowerShownTimer, s.flowerVisible, currentSpeed);
    for (std::size_t i = 0; i < obstacleCount; ++i)
        print.addAll(s.obstacleVelocity[i], s.hitLatch[i],
                     game.art.obstacles()[i]->sprite.getPosition());
    print.addAll(s.scorePopup.active, s.scorePopup.elapsed, s.scorePopup.scale,
                 s.scorePopup.anchor);
    print.addAll(game.art.ball.sprite.getPosition(), game.art.bar.sprite.getPosition(),
                 game.art.flower.sprite.getScale(), game.texts.popupText.getPosition(),
                 game.texts.popupText.getScale(), game.texts.timerText.getString(),
                 game.texts.scoreText.getString());
}

// Speed-ups apply only below 500 px/s and multiply by at most 1.05², so no
// bounce leaves the ball at 551.25 or more; the bar keeps the speed; a drop
// keeps vx and sets vy to 120. Hence the bound sqrt(551.25² + 120²) ≈ 564.2.
const float speedBound = std::sqrt(551.25f * 551.25f + 120.f * 120.f);

bool finite(sf::Vector2f v) { return std::isfinite(v.x) && std::isfinite(v.y); }

void expectInvariants(const Game& game) {
    const PlayState& s = game.state;
    ASSERT_TRUE(finite(game.art.ball.sprite.getPosition()));
    ASSERT_TRUE(finite(game.art.bar.sprite.getPosition()));
    ASSERT_TRUE(std::isfinite(s.flowerTimer) && std::isfinite(s.flowerShownTimer));
    ASSERT_GE(s.lives, 0);
    ASSERT_LE(s.lives, 3);
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(textureOf(game.hearts.lifeIcon[i]),
                  s.lives > i ? &game.hearts.lifeFullTexture : &game.hearts.lifeEmptyTexture);
    ASSERT_GE(s.score, 0);
    ASSERT_EQ(s.score % 100, 0);
    ASSERT_LT(std::hypot(s.ballVelocity.x, s.ballVelocity.y), speedBound);  // false if NaN
    for (std::size_t i = 0; i < obstacleCount; ++i) {
        const sf::Sprite& sprite = game.art.obstacles()[i]->sprite;
        ASSERT_TRUE(std::isfinite(s.obstacleVelocity[i]));
        ASSERT_GE(sprite.getPosition().x, 0.f);
        ASSERT_LE(sprite.getPosition().x + compat::width(sprite.getGlobalBounds()), 800.f);
        ASSERT_EQ(sprite.getPosition().y, obstacleStarts[i].y);
    }
    const float flowerScale = game.art.flower.sprite.getScale().x;
    ASSERT_TRUE(flowerScale == 0.f || flowerScale == 40.f);
    ASSERT_EQ(flowerScale == 40.f, s.flowerVisible);
}

}  // namespace

TEST(Replay, ScriptedSessionKeepsItsFingerprint) {
    currentSpeed = 0.f;  // as the program starts, whatever tests ran before
    GameFixture game;
    std::uint32_t seed = 20261208;  // draws by integer arithmetic alone
    const auto draw = [&seed] {
        return static_cast<int>((seed = seed * 1664525 + 1013904223) >> 16);
    };
    game.randomDraw = draw;
    // Short and long frames (10 µs to 0.25 s), the same floats everywhere.
    const float dts[] = {1e-5f,   1.f / 997, 1.f / 61, 1.f / 143, 1.f / 1013,
                         0.0137f, 1.f / 29,  0.11f,    0.25f};
    game.play();
    Fingerprint print;
    long hits = 0, drops = 0, flowers = 0, won = 0, lost = 0;
    float sinceRestart = 0.f;
    HeldKeys random;
    const long frames = 225000;  // three hours of play
    for (long frame = 0; frame < frames; ++frame) {
        const PlayState before = game.state;
        HeldKeys keys = followBall(game);
        // Every other game the player follows the ball, so that games are won
        // as well as lost; in between it flips each arrow one frame in 20.
        if ((won + lost) % 2 == 1) {
            random.left ^= draw() % 20 == 0;
            random.right ^= draw() % 20 == 0;
            keys.left = random.left, keys.right = random.right;
        }
        const float dt = dts[frame % std::size(dts)];
        sinceRestart = keys.space ? dt : sinceRestart + dt;
        // A restart sets the play clock going: that frame reads 0 s of it for real.
        game.state.playClock.holdAt(sinceRestart);
        game.frame(dt, keys);
        addState(print, game);
        expectInvariants(game);
        if (testing::Test::HasFatalFailure()) FAIL() << "after frame " << frame;
        const PlayState& s = game.state;
        if (keys.space) continue;
        hits += (s.score - before.score) / pointsPerHit;
        drops += before.lives - s.lives;
        flowers += s.flowerVisible && !before.flowerVisible;
        if (gameInProgress(before) && !gameInProgress(s)) (s.gameOver ? lost : won) += 1;
    }
    std::cout << "replay: " << frames << " frames, " << hits << " hits, " << drops << " drops, "
              << flowers << " flowers, " << won + lost << " games (" << won << " won, " << lost
              << " lost), final score " << game.state.score << ", fingerprint 0x" << std::hex
              << print.value << std::dec << "\n";
    EXPECT_GT(won, 0);
    EXPECT_GT(lost, 0);
    EXPECT_EQ(print.value, 0x1abfd9ae180a2d10u);
}
