// One scripted session replayed through the frame's own phases, the whole
// simulation hashed after every frame: the same fingerprint on every CPU,
// compiler and SFML the game builds with. A change that moves it on purpose
// says why in its commit.

#include "game/obstacles.hpp"
#include "game/speed_up.hpp"
#include "game_fixture.hpp"
#include "player.hpp"

#include <gtest/gtest.h>

#include <cfloat>
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

}  // namespace

TEST(Replay, ScriptedSessionKeepsItsFingerprint) {
    currentSpeed = 0.f;  // as the program starts, whatever tests ran before
    GameFixture game;
    std::uint32_t seed = 20261208;  // draws by integer arithmetic alone
    game.randomDraw = [&seed] {
        return static_cast<int>((seed = seed * 1664525 + 1013904223) >> 16);
    };
    // Short and long frames (1 ms to 0.11 s), the same floats everywhere.
    const float dts[] = {1.f / 997, 1.f / 61, 1.f / 143, 1.f / 1013, 0.0137f, 1.f / 29, 0.11f};
    game.play();
    Fingerprint print;
    long hits = 0, drops = 0, flowers = 0, won = 0, lost = 0;
    float sinceRestart = 0.f;
    const long frames = 100000;
    for (long frame = 0; frame < frames; ++frame) {
        const PlayState before = game.state;
        const HeldKeys keys = followBall(game);
        const float dt = dts[frame % std::size(dts)];
        sinceRestart = keys.space ? dt : sinceRestart + dt;
        // A restart sets the play clock going: that frame reads 0 s of it for real.
        game.state.playClock.holdAt(sinceRestart);
        game.frame(dt, keys);
        addState(print, game);
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
    EXPECT_EQ(print.value, 0x8cec75aa7c365eebu);
}
