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
// Without an opened font a text stays empty: SFML 3 asserts on measuring
// words in a font that has no face.
sf::Text makeText(const sf::Font& font, bool fontOpened, const char* string, unsigned size,
                  const sf::Color* fill, Origin origin, sf::Vector2f position) {
    sf::Text text = compat::makeText(font);
    if (fontOpened) text.setString(string);
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

Texts::Texts(const sf::Font& font, bool fontOpened)
    : titleText(makeText(font, fontOpened, "PLUMWICK", 70, white, Origin::TopLeft, {230, 130})),
      playItemText(
          makeText(font, fontOpened, "PLAY", 30, keepDefault, Origin::TopLeft, {350, 320})),
      howToPlayItemText(
          makeText(font, fontOpened, "HOW TO PLAY", 30, keepDefault, Origin::TopLeft, {290, 380})),
      volumeItemText(
          makeText(font, fontOpened, "VOLUME: ON", 30, keepDefault, Origin::Centre, {400, 440})),
      exitItemText(
          makeText(font, fontOpened, "EXIT THE GAME", 30, keepDefault, Origin::Centre, {400, 500})),
      menuHintText(makeText(font, fontOpened, "Use UP/DOWN to select, ENTER to confirm", 16,
                            &hintGrey, Origin::TopLeft, {150, 550})),
      instructionsTitleText(
          makeText(font, fontOpened, "INSTRUCTIONS", 40, white, Origin::TopLeft, {230, 60})),
      instructionsBodyText(
          makeText(font, fontOpened, instructionsBody, 22, white, Origin::TopLeft, {100, 150})),
      timerText(makeText(font, fontOpened, "", 24, white, Origin::TopLeft, {700, 15})),
      scoreText(
          makeText(font, fontOpened, "SCORE: 0", 30, keepDefault, Origin::Centre, scoreCentre)),
      popupText(makeText(font, fontOpened, "+100", 32, white, Origin::Centre, {0, 0})),
      gameOverText(makeText(font, fontOpened, "GAME OVER", 60, white, Origin::TopLeft, {230, 250})),
      winText(makeText(font, fontOpened, "YOU WIN!", 60, white, Origin::TopLeft, {250, 250})),
      finalScoreText(makeText(font, fontOpened, "SCORE: ", 60, white, Origin::TopLeft, {250, 400})),
      playAgainText(makeText(font, fontOpened, "Press SPACE to play again", 20, white,
                             Origin::TopLeft, {260, 330})) {}
