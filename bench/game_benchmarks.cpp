#include "game_benchmarks.hpp"

#include "app/frame.hpp"
#include "app/render.hpp"
#include "app/screens.hpp"
#include "game/bar.hpp"
#include "game/flower.hpp"
#include "game/held_keys.hpp"
#include "game/obstacles.hpp"
#include "game/outcome.hpp"
#include "game/pixel_collision.hpp"
#include "player.hpp"
#include "sfml_compat.hpp"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <stdexcept>
#include <string>

namespace {

// ---- Frames ------------------------------------------------------------

enum class View { Menu, Field, FlowerField };

// Puts the game on the view: the menu, or the field of the game in progress
// (a new one if none is) held at 10 s of play, with the flower hidden or
// shown as flowerStep shows it. The game goes on from one benchmark run to
// the next, so that its frames come from all over the field. One frame of the
// game then leaves every object as the game shows it.
void show(Game& game, View view) {
    if (view == View::Menu) {
        game.shell.currentScreen = Screen::Menu;
    } else {
        game.shell.currentScreen = Screen::Playing;
        if (!gameInProgress(game.state))
            restartGame(game.state, game.art, game.hearts, game.randomDraw);
        game.state.playClock.holdAt(10.f);
        const bool flower = view == View::FlowerField;
        game.state.flowerVisible = flower;
        game.state.flowerTimer = 0.f;
        game.state.flowerShownTimer = 0.f;
        const float scale = flower ? flowerShownScale : 0.f;
        game.art.flower.sprite.setScale({scale, scale});
    }
    game.frameClock.restart();
    runFrame(game);
}

// Before each field frame: the flower stays hidden (or shown), no life is
// ever lost, and the bar is where a player puts it: under the ball, 30 px
// behind its centre, so that the ball goes on across the field.
void keepInPlay(Game& game, View view) {
    if (view == View::Menu) return;
    PlayState& state = game.state;
    if (view == View::Field)
        state.flowerTimer = 0.f;
    else
        state.flowerShownTimer = 0.f;
    if (state.lives < startLives) {
        state.lives = startLives;
        game.hearts.fill();
    }
    sf::Sprite& bar = game.art.bar.sprite;
    const float behind = state.ballVelocity.x > 0.f ? -30.f : 30.f;
    const float barHalf = compat::width(bar.getGlobalBounds()) / 2.f;
    const float barX = centreX(game.art.ball.sprite) + behind - barHalf;
    bar.setPosition({std::clamp(barX, barLeftLimit, barRightLimit), bar.getPosition().y});
}

// Counts, beside the time, the scoring hits and the share of frames that drew
// the "+100" popup: the field frames are frames of real play.
void gameFrame(benchmark::State& run, Game& game, View view) {
    show(game, view);
    const int scoreBefore = game.state.score;
    long long popupFrames = 0;
    for (auto _ : run) {
        keepInPlay(game, view);
        runFrame(game);
        popupFrames += game.state.scorePopup.active;
    }
    if (view == View::Menu) return;
    run.counters["hits"] = (game.state.score - scoreBefore) / pointsPerHit;
    run.counters["popup"] =
        benchmark::Counter(static_cast<double>(popupFrames), benchmark::Counter::kAvgIterations);
}

// The game's frame on the field as runFrame runs it, but with the held keys
// given (none) instead of asked of the keyboard: what the frame would cost
// without its two requests to the X server.
void keysGivenFrame(benchmark::State& run, Game& game) {
    show(game, View::Field);
    for (auto _ : run) {
        keepInPlay(game, View::Field);
        runFrame(game, [](const Game&) { return HeldKeys{}; });
    }
}

// The same objects in the same draw calls as the game's frame on the view,
// listed once by the game's own composition, with no game logic at all, and
// without the "+100" popup, which the game draws for 0.45 s after each
// scoring hit (the "popup" share of its frames).
void referenceFrame(benchmark::State& run, Game& game, View view) {
    show(game, view);
    game.state.scorePopup.active = false;
    const DrawList list = composeFrame(game);
    for (auto _ : run) {
        game.window.clear(sf::Color::Black);
        for (const sf::Drawable* drawable : list) game.window.draw(*drawable);
        game.window.display();
    }
}

void emptyFrame(benchmark::State& run, Game& game) {
    for (auto _ : run) {
        game.window.clear(sf::Color::Black);
        game.window.display();
    }
}

// The phases of the game's frame that the reference does not have, alone, on
// the playing field: what the frame costs beyond its draw calls.
void eventsPhase(benchmark::State& run, Game& game) {
    show(game, View::Field);
    for (auto _ : run) handleEvents(game);
}

// The keys a playing frame asks for: Left and Right.
void keysPhase(benchmark::State& run, Game&) {
    for (auto _ : run) {
        HeldKeys keys = sampleHeldKeys({true, false}, true);
        benchmark::DoNotOptimize(keys);
    }
}

void composePhase(benchmark::State& run, Game& game) {
    show(game, View::Field);
    for (auto _ : run) {
        updateScreenTexts(game);
        DrawList list = composeFrame(game);
        benchmark::DoNotOptimize(list);
    }
}

// ---- Simulation --------------------------------------------------------

constexpr float typicalDt = 0.001f;  // about one uncapped frame here

// Every value playingUpdate reads or changes, to put back before each update.
struct Arrangement {
    PlayState state;
    sf::Vector2f ball;
    sf::Vector2f bar;
    std::array<sf::Vector2f, obstacleCount> obstacles;
};

Arrangement capture(Game& game) {
    Arrangement a{
        game.state, game.art.ball.sprite.getPosition(), game.art.bar.sprite.getPosition(), {}};
    const auto obstacles = game.art.obstacles();
    for (std::size_t i = 0; i < obstacleCount; ++i)
        a.obstacles[i] = obstacles[i]->sprite.getPosition();
    return a;
}

void restore(Game& game, const Arrangement& a) {
    game.state = a.state;
    game.art.ball.sprite.setPosition(a.ball);
    game.art.bar.sprite.setPosition(a.bar);
    const auto obstacles = game.art.obstacles();
    for (std::size_t i = 0; i < obstacleCount; ++i)
        obstacles[i]->sprite.setPosition(a.obstacles[i]);
}

// A new game on the field at 10 s of play: everything where a game starts,
// the ball in open space, nothing touching.
Arrangement typicalArrangement(Game& game) {
    game.shell.currentScreen = Screen::Playing;
    restartGame(game.state, game.art, game.hearts, game.randomDraw);
    game.state.playClock.holdAt(10.f);
    return capture(game);
}

std::optional<sf::FloatRect> ballHeartOverlap(FieldArt& art) {
    return compat::findIntersection(art.ball.sprite.getGlobalBounds(),
                                    art.heartObstacle.sprite.getGlobalBounds());
}

bool ballTouchesHeart(FieldArt& art) {
    return pixelPerfectCollision(art.ball.sprite, art.ball.image, art.heartObstacle.sprite,
                                 art.heartObstacle.image);
}

// The ball wholly inside the heart's bounding box, in a corner the heart does
// not paint: the contact test then samples every pixel of the overlap and
// finds no contact. A margin of 2 px all round keeps that true after a frame
// of motion. Searched from the bottom left corner upwards.
Arrangement dearestArrangement(Game& game) {
    Arrangement a = typicalArrangement(game);
    FieldArt& art = game.art;
    const sf::FloatRect heart = art.heartObstacle.sprite.getGlobalBounds();
    const sf::FloatRect ball = art.ball.sprite.getGlobalBounds();
    const float margin = 2.f;
    const float right = compat::left(heart) + compat::width(heart) - margin;
    for (float y = compat::top(heart) + compat::height(heart) - compat::height(ball) - margin;
         y >= compat::top(heart) + margin; y -= 1.f)
        for (float x = compat::left(heart) + margin; x + compat::width(ball) <= right; x += 1.f) {
            bool clear = true;
            for (float dy = -margin; clear && dy <= margin; dy += 1.f)
                for (float dx = -margin; clear && dx <= margin; dx += 1.f) {
                    art.ball.sprite.setPosition({x + dx, y + dy});
                    clear = !ballTouchesHeart(art);
                }
            if (clear) {
                a.ball = {x, y};
                return a;
            }
        }
    throw std::runtime_error("no place in the heart's box where the ball touches nothing");
}

// One update from the arrangement must leave the ball overlapping the heart's
// box by the whole ball with no contact, and respond to no hit at all.
DearestSpot checkDearest(Game& game, const Arrangement& a) {
    restore(game, a);
    const sf::FloatRect ball = game.art.ball.sprite.getGlobalBounds();
    if (ballTouchesHeart(game.art)) throw std::runtime_error("dearest spot: contact before");
    playingUpdate(game, typicalDt, {});
    const std::optional<sf::FloatRect> overlap = ballHeartOverlap(game.art);
    const bool whole = overlap && compat::width(*overlap) == compat::width(ball) &&
                       compat::height(*overlap) == compat::height(ball);
    if (!whole || ballTouchesHeart(game.art) || game.state.score != a.state.score ||
        game.state.hitLatch[heartIndex] || game.state.ballVelocity != a.state.ballVelocity)
        throw std::runtime_error("dearest spot: not a wide overlap without contact");
    DearestSpot spot{a.ball, a.obstacles[heartIndex], compat::width(*overlap),
                     compat::height(*overlap)};
    restore(game, a);
    return spot;
}

void checkTypical(Game& game, const Arrangement& a) {
    restore(game, a);
    playingUpdate(game, typicalDt, {});
    const sf::FloatRect ball = game.art.ball.sprite.getGlobalBounds();
    for (const Picture* obstacle : game.art.obstacles())
        if (compat::findIntersection(ball, obstacle->sprite.getGlobalBounds()))
            throw std::runtime_error("typical update: the ball overlaps an obstacle");
    if (game.state.ballVelocity != a.state.ballVelocity)
        throw std::runtime_error("typical update: the ball bounced");
    restore(game, a);
}

void updateFrom(benchmark::State& run, Game& game, const Arrangement& a) {
    game.shell.currentScreen = Screen::Playing;
    for (auto _ : run) {
        restore(game, a);
        playingUpdate(game, typicalDt, {});
    }
}

void restoreOnly(benchmark::State& run, Game& game, const Arrangement& a) {
    for (auto _ : run) {
        restore(game, a);
        benchmark::ClobberMemory();
    }
}

void collisionAt(benchmark::State& run, Game& game, const Arrangement& a) {
    restore(game, a);
    FieldArt& art = game.art;
    for (auto _ : run) {
        bool touching = pixelPerfectCollision(art.ball.sprite, art.ball.image,
                                              art.heartObstacle.sprite, art.heartObstacle.image);
        benchmark::DoNotOptimize(touching);
    }
}

benchmark::internal::Benchmark* withLength(benchmark::internal::Benchmark* b, RunLength length) {
    return b->MinTime(length.minSeconds)
        ->Repetitions(length.repetitions)
        ->ReportAggregatesOnly(true)
        ->UseRealTime();
}

}  // namespace

DearestSpot registerGameBenchmarks(Game& game, RunLength frames, RunLength updates) {
    using benchmark::RegisterBenchmark;
    namespace n = bench_names;
    struct Pair {
        const char* game;
        const char* reference;
        View view;
    };
    withLength(
        RegisterBenchmark(n::emptyFrame, [&game](benchmark::State& run) { emptyFrame(run, game); }),
        frames)
        ->Unit(benchmark::kMicrosecond);
    for (const Pair& p : {Pair{n::menuGame, n::menuReference, View::Menu},
                          Pair{n::fieldGame, n::fieldReference, View::Field},
                          Pair{n::flowerGame, n::flowerReference, View::FlowerField}}) {
        const View view = p.view;
        withLength(
            RegisterBenchmark(p.game,
                              [&game, view](benchmark::State& run) { gameFrame(run, game, view); }),
            frames)
            ->Unit(benchmark::kMicrosecond);
        withLength(RegisterBenchmark(
                       p.reference,
                       [&game, view](benchmark::State& run) { referenceFrame(run, game, view); }),
                   frames)
            ->Unit(benchmark::kMicrosecond);
    }

    withLength(RegisterBenchmark(n::fieldKeysGiven,
                                 [&game](benchmark::State& run) { keysGivenFrame(run, game); }),
               frames)
        ->Unit(benchmark::kMicrosecond);
    struct Phase {
        const char* name;
        void (*measure)(benchmark::State&, Game&);
    };
    for (const Phase& phase : {Phase{n::eventsPhase, eventsPhase}, Phase{n::keysPhase, keysPhase},
                               Phase{n::composePhase, composePhase}}) {
        const auto measure = phase.measure;
        withLength(RegisterBenchmark(
                       phase.name, [&game, measure](benchmark::State& run) { measure(run, game); }),
                   updates)
            ->Unit(benchmark::kMicrosecond);
    }

    const Arrangement typical = typicalArrangement(game);
    checkTypical(game, typical);
    const Arrangement dearest = dearestArrangement(game);
    const DearestSpot spot = checkDearest(game, dearest);
    const auto update = [&game](const Arrangement& a) {
        return [&game, a](benchmark::State& run) { updateFrom(run, game, a); };
    };
    withLength(RegisterBenchmark(n::typicalUpdate, update(typical)), updates)
        ->Unit(benchmark::kNanosecond);
    withLength(RegisterBenchmark(n::dearestUpdate, update(dearest)), updates)
        ->Unit(benchmark::kNanosecond);
    withLength(RegisterBenchmark(
                   n::restoreOnly,
                   [&game, typical](benchmark::State& run) { restoreOnly(run, game, typical); }),
               updates)
        ->Unit(benchmark::kNanosecond);
    withLength(RegisterBenchmark(
                   n::collision,
                   [&game, dearest](benchmark::State& run) { collisionAt(run, game, dearest); }),
               updates)
        ->Unit(benchmark::kNanosecond);
    return spot;
}
