#pragma once
// What each frame shows, in which order.

#include "app/game.hpp"

#include <SFML/Graphics/Drawable.hpp>

#include <array>
#include <cstddef>

// The objects of one frame, first drawn first. Fixed capacity: a frame
// allocates nothing.
class DrawList {
public:
    void add(const sf::Drawable& drawable) { items[count++] = &drawable; }
    const sf::Drawable* const* begin() const { return items.data(); }
    const sf::Drawable* const* end() const { return items.data() + count; }
    std::size_t size() const { return count; }

private:
    std::array<const sf::Drawable*, 16> items{};
    std::size_t count = 0;
};

// The highlighted item white, the others grey; any selection past the
// third item highlights EXIT THE GAME.
void colourMenuItems(Texts& texts, int menuSelection);

// Before a frame is drawn: the menu items take their colours, the win panel
// its score.
void updateScreenTexts(Game& game);

// What the current screen shows, first drawn first. Changes nothing.
DrawList composeFrame(const Game& game);

// Updates the screen's texts, clears to black, draws the composed frame and
// displays it.
void renderFrame(Game& game);
