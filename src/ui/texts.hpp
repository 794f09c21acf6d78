#pragma once
// Every word the game shows: fifteen texts in one font, created in this order.

#include <SFML/Graphics.hpp>

extern const char* const instructionsBody;

// Where the points stand, centred, whatever their digits.
inline const sf::Vector2f scoreCentre{400.f, 30.f};

// The menu item the player is on, and the others.
inline const sf::Color menuHighlight{255, 255, 255};
inline const sf::Color menuGrey{100, 100, 100};

struct Texts {
    sf::Text titleText;
    sf::Text playItemText;
    sf::Text howToPlayItemText;
    sf::Text volumeItemText;
    sf::Text exitItemText;
    sf::Text menuHintText;
    sf::Text instructionsTitleText;
    sf::Text instructionsBodyText;
    sf::Text timerText;
    sf::Text scoreText;
    sf::Text popupText;
    sf::Text gameOverText;
    sf::Text winText;
    sf::Text finalScoreText;
    sf::Text playAgainText;
};

// Fifteen empty texts on the font, which must outlive them.
Texts blankTexts(const sf::Font& font);

// Gives every text its words, size, colour, origin and place, in the order
// of the members. The font must be open: SFML 3 asserts on measuring words
// in a font that has no face.
void buildTexts(Texts& texts, const sf::Font& font);

// Sets the origin to the centre of the text's bounds as they are now.
void centreOrigin(sf::Text& text);
