// PLUMWICK: keep the ball in play for 60 seconds.

#include "app/frame.hpp"
#include "app/game.hpp"
#include "platform.hpp"

int main() {
    platform::prepareProcess();
    Game game;
    if (!game.started()) return 1;
    while (game.window.isOpen()) runFrame(game);
    return 0;
}
