// plumwick_session: the game's start-up (the Game of the game itself), then
// what PLUMWICK_SESSION asks for:
//
//   first-frame   the game's first frame (the menu), then it reports the time
//                 and its peak memory and ends as the game does.
//   play:SECONDS  the first frame, then Enter (PLAY), then SECONDS of wall
//                 clock of play by a player who keeps the bar under the ball
//                 and restarts with Space whenever a game ends; then it
//                 reports its frames and peak memory.

#include "app/frame.hpp"
#include "app/game.hpp"
#include "player.hpp"
#include "probe.hpp"

#include <SFML/System/Clock.hpp>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void play(Game& game, float seconds) {
    handleKeyPress(game, sf::Keyboard::Key::Enter);  // PLAY is highlighted
    long long frames = 0, gamesEnded = 0;
    const sf::Clock wallClock;
    while (wallClock.getElapsedTime().asSeconds() < seconds) {
        gamesEnded += !gameInProgress(game.state);  // Space restarts an ended game at once
        runFrame(game, [](const Game& g) { return followBall(g); });
        ++frames;
    }
    probe::report("frames", frames);
    probe::report("games-ended", gamesEnded);
    probe::report("score", game.state.score);
}

}  // namespace

int main() {
    const char* session = std::getenv("PLUMWICK_SESSION");
    Game game;
    if (!game.started()) return 1;
    runFrame(game);
    if (session != nullptr && std::strncmp(session, "play:", 5) == 0)
        play(game, std::stof(session + 5));
    else
        probe::report("first-frame-ns", probe::monotonicNanoseconds());
    probe::report("peak-kib", probe::peakResidentKib());
    return 0;
}
