#include "ui/texts.hpp"

#include "sfml_compat.hpp"

const char* const instructionsBody =
    "Use the LEFT ARROW and RIGHT ARROW\n"
    "to move the bar.\n"
    "\n"
    "Bounce the ball, don't drop it.\n"
    "Hit obstacles to increase\n"
    "its speed.\n"
    "\n"
    "Watch out for the flower: when it appears,\n"
    "the ball becomes invisible!\n"
    "\n"
    "Survive 60 seconds to win.\n"
    "\n"
    "Press ESC to return to the menu";

namespace {

const sf::Color hintGrey{150, 150, 150};

enum class Origin { TopLeft, Centre };

// A text as the table gives it. The fill colour is set only where asked; the
// others keep the default white. A centred origin waits for string and size.
sf::Text makeText(const sf::Font& font, const char* string, unsigned size, const sf::Color* fill,
                  Origin origin, sf::Vector2f position) {
    sf::Text text = compat::makeText(font);
    text.setString(string);
    text.setCharacterSize(size);
    if (fill) text.setFillColor(*fill);
    if (origin == Origin::Centre) centreOrigin(text);
    text.setPosition(position);
    return text;
}

const sf::Color* const white = &sf::Color::White;
const sf::Color* const keepDefault = nullptr;

}  // namespace

void centreOrigin(sf::Text& text) {
    const sf::FloatRect bounds = text.getLocalBounds();
    text.setOrigin({compat::left(bounds) + compat::width(bounds) / 2.f,
                    compat::top(bounds) + compat::height(bounds) / 2.f});
}

Texts blankTexts(const sf::Font& font) {
    const sf::Text blank = compat::makeText(font);
    return {blank, blank, blank, blank, blank, blank, blank, blank,
            blank, blank, blank, blank, blank, blank, blank};
}

void buildTexts(Texts& texts, const sf::Font& font) {
    texts.titleText = makeText(font, "PLUMWICK", 70, white, Origin::TopLeft, {230, 130});
    texts.playItemText = makeText(font, "PLAY", 30, keepDefault, Origin::TopLeft, {350, 320});
    texts.howToPlayItemText =
        makeText(font, "HOW TO PLAY", 30, keepDefault, Origin::TopLeft, {290, 380});
    texts.volumeItemText =
        makeText(font, "VOLUME: ON", 30, keepDefault, Origin::Centre, {400, 440});
    texts.exitItemText =
        makeText(font, "EXIT THE GAME", 30, keepDefault, Origin::Centre, {400, 500});
    texts.menuHintText = makeText(font, "Use UP/DOWN to select, ENTER to confirm", 16, &hintGrey,
                                  Origin::TopLeft, {150, 550});
    texts.instructionsTitleText =
        makeText(font, "INSTRUCTIONS", 40, white, Origin::TopLeft, {230, 60});
    texts.instructionsBodyText =
        makeText(font, instructionsBody, 22, white, Origin::TopLeft, {100, 150});
    texts.timerText = makeText(font, "", 24, white, Origin::TopLeft, {700, 15});
    texts.scoreText = makeText(font, "SCORE: 0", 30, keepDefault, Origin::Centre, scoreCentre);
    texts.popupText = makeText(font, "+100", 32, white, Origin::Centre, {0, 0});
    texts.gameOverText = makeText(font, "GAME OVER", 60, white, Origin::TopLeft, {230, 250});
    texts.winText = makeText(font, "YOU WIN!", 60, white, Origin::TopLeft, {250, 250});
    texts.finalScoreText = makeText(font, "SCORE: ", 60, white, Origin::TopLeft, {250, 400});
    texts.playAgainText =
        makeText(font, "Press SPACE to play again", 20, white, Origin::TopLeft, {260, 330});
}
