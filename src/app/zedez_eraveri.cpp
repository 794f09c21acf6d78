// PLUMWICK: keep the ball in play for 60 seconds.

#include "app/frame.hpp"
#include "app/game.hpp"
#include "platform.hpp"

namespace {

// False when the game could not start; its window has gone either way.
bool playUntilClosed() {
    Game game;
    if (!game.started()) return false;
    while (game.window.isOpen()) runFrame(game);
    return true;
}

}  // namespace

int main() {
    platform::prepareProcess();
    if (playUntilClosed()) return 0;
    platform::sayWhyItStopped();
    return 1;
}
