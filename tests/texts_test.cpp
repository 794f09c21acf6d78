// The fifteen texts, the HUD, the win score and the "+100" popup.

#include "game_fixture.hpp"
#include "sfml_compat.hpp"
#include "ui/hud.hpp"

#include <gtest/gtest.h>

namespace {

sf::Vector2f boundsCentre(const sf::Text& text) {
    const sf::FloatRect b = text.getLocalBounds();
    return {compat::left(b) + compat::width(b) / 2.f, compat::top(b) + compat::height(b) / 2.f};
}

const sf::Vector2f topLeft{0.f, 0.f};

}  // namespace

TEST(Texts, FifteenTextsAsCreated) {
    GameFixture game;
    Texts& t = game.texts;
    const sf::Color grey{150, 150, 150};
    const std::string body =
        "Use the LEFT ARROW and RIGHT ARROW\nto move the bar.\n\nBounce the ball, don't drop it.\n"
        "Hit obstacles to increase\nits speed.\n\nWatch out for the flower: when it appears,\n"
        "the ball becomes invisible!\n\nSurvive 60 seconds to win.\n\n"
        "Press ESC to return to the menu";
    struct Row {
        const sf::Text& text;
        std::string string;
        unsigned size;
        sf::Color fill;
        bool centred;
        sf::Vector2f position;
    };
    const Row table[] = {
        {t.titleText, "PLUMWICK", 70, sf::Color::White, false, {230, 130}},
        {t.playItemText, "PLAY", 30, sf::Color::White, false, {350, 320}},
        {t.howToPlayItemText, "HOW TO PLAY", 30, sf::Color::White, false, {290, 380}},
        {t.volumeItemText, "VOLUME: ON", 30, sf::Color::White, true, {400, 440}},
        {t.exitItemText, "EXIT THE GAME", 30, sf::Color::White, true, {400, 500}},
        {t.menuHintText, "Use UP/DOWN to select, ENTER to confirm", 16, grey, false, {150, 550}},
        {t.instructionsTitleText, "INSTRUCTIONS", 40, sf::Color::White, false, {230, 60}},
        {t.instructionsBodyText, body, 22, sf::Color::White, false, {100, 150}},
        {t.timerText, "", 24, sf::Color::White, false, {700, 15}},
        {t.scoreText, "SCORE: 0", 30, sf::Color::White, true, {400, 30}},
        {t.popupText, "+100", 32, sf::Color::White, true, {0, 0}},
        {t.gameOverText, "GAME OVER", 60, sf::Color::White, false, {230, 250}},
        {t.winText, "YOU WIN!", 60, sf::Color::White, false, {250, 250}},
        {t.finalScoreText, "SCORE: ", 60, sf::Color::White, false, {250, 400}},
        {t.playAgainText, "Press SPACE to play again", 20, sf::Color::White, false, {260, 330}},
    };
    for (const Row& row : table) {
        SCOPED_TRACE(row.string);
        EXPECT_EQ(row.text.getString().toAnsiString(), row.string);
        EXPECT_EQ(row.text.getCharacterSize(), row.size);
        EXPECT_EQ(row.text.getFillColor(), row.fill);
        EXPECT_EQ(row.text.getOrigin(), row.centred ? boundsCentre(row.text) : topLeft);
        EXPECT_EQ(row.text.getPosition(), row.position);
        EXPECT_EQ(row.text.getScale(), sf::Vector2f(1.f, 1.f));
        EXPECT_EQ(row.text.getOutlineThickness(), 0.f);
        EXPECT_EQ(row.text.getStyle(), sf::Text::Regular);
    }
}

TEST(Texts, HudWritesTimeAndPointsAndKeepsThemCentred) {
    GameFixture game;
    updateHud(game.texts, 42, 300);
    EXPECT_EQ(game.texts.timerText.getString().toAnsiString(), "42s.");
    EXPECT_EQ(game.texts.scoreText.getString().toAnsiString(), "PUNTI: 300");
    EXPECT_EQ(game.texts.scoreText.getOrigin(), boundsCentre(game.texts.scoreText));
    EXPECT_EQ(game.texts.scoreText.getPosition(), sf::Vector2f(400.f, 30.f));
    const float narrowOrigin = game.texts.scoreText.getOrigin().x;

    updateHud(game.texts, 0, 12300);
    EXPECT_EQ(game.texts.timerText.getString().toAnsiString(), "0s.");
    EXPECT_EQ(game.texts.scoreText.getString().toAnsiString(), "PUNTI: 12300");
    EXPECT_GT(game.texts.scoreText.getOrigin().x, narrowOrigin);  // re-centred for more digits
    EXPECT_EQ(game.texts.scoreText.getOrigin(), boundsCentre(game.texts.scoreText));

    showFinalScore(game.texts.finalScoreText, 0);
    EXPECT_EQ(game.texts.finalScoreText.getString().toAnsiString(), "SCORE: 0");
    showFinalScore(game.texts.finalScoreText, 12300);
    EXPECT_EQ(game.texts.finalScoreText.getString().toAnsiString(), "SCORE: 12300");
}

TEST(Texts, PopupStartsLargeThenShrinksAndRises) {
    GameFixture game;
    ScorePopup& popup = game.state.scorePopup;
    sf::Text& text = game.texts.popupText;

    startScorePopup(popup, text, {100.f, 200.f});
    EXPECT_TRUE(popup.active);
    EXPECT_EQ(popup.elapsed, 0.f);
    EXPECT_EQ(popup.scale, 2.5f);
    EXPECT_EQ(text.getScale(), sf::Vector2f(2.5f, 2.5f));
    EXPECT_EQ(text.getPosition(), sf::Vector2f(100.f, 200.f));

    advanceScorePopup(popup, text, 0.225f);  // half-way
    EXPECT_FLOAT_EQ(popup.scale, 1.75f);
    EXPECT_FLOAT_EQ(text.getScale().x, 1.75f);
    EXPECT_FLOAT_EQ(text.getPosition().x, 100.f);
    EXPECT_FLOAT_EQ(text.getPosition().y, 180.f);

    advanceScorePopup(popup, text, 0.2f);  // 0.425 s: last frame drawn, above 1.0
    EXPECT_TRUE(popup.active);
    const sf::Vector2f lastScale = text.getScale();
    const sf::Vector2f lastPosition = text.getPosition();
    EXPECT_GT(lastScale.x, 1.f);
    EXPECT_GT(lastPosition.y, 160.f);

    advanceScorePopup(popup, text, 0.025f);  // reaches 0.45 s: over, nothing moves
    EXPECT_FALSE(popup.active);
    EXPECT_EQ(text.getScale(), lastScale);
    EXPECT_EQ(text.getPosition(), lastPosition);
    const float endedAt = popup.elapsed;
    advanceScorePopup(popup, text, 1.f);  // idle: nothing advances
    EXPECT_EQ(popup.elapsed, endedAt);

    // A new start while running restarts from the new anchor; a long frame
    // right after the start ends it at once.
    startScorePopup(popup, text, {10.f, 20.f});
    advanceScorePopup(popup, text, 0.1f);
    startScorePopup(popup, text, {30.f, 40.f});
    EXPECT_EQ(popup.elapsed, 0.f);
    EXPECT_EQ(text.getPosition(), sf::Vector2f(30.f, 40.f));
    EXPECT_EQ(text.getScale(), sf::Vector2f(2.5f, 2.5f));
    advanceScorePopup(popup, text, 0.45f);
    EXPECT_FALSE(popup.active);
    EXPECT_EQ(text.getScale(), sf::Vector2f(2.5f, 2.5f));
}

TEST(Texts, PopupAdvancesOnEveryScreenAndOutcome) {
    GameFixture game;
    startScorePopup(game.state.scorePopup, game.texts.popupText, {50.f, 60.f});
    game.frame(0.1f);  // menu
    game.shell.currentScreen = Screen::Instructions;
    game.frame(0.1f);
    game.shell.currentScreen = Screen::Playing;
    game.state.gameOver = true;
    game.frame(0.1f);
    EXPECT_FLOAT_EQ(game.state.scorePopup.elapsed, 0.3f);
    EXPECT_TRUE(game.state.scorePopup.active);
    game.frame(0.2f);
    EXPECT_FALSE(game.state.scorePopup.active);
}
