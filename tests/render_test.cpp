// What each frame draws, in which order, and the menu's highlight.

#include "app/render.hpp"
#include "game_fixture.hpp"
#include "image_counts.hpp"
#include "sfml_compat.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::vector<const sf::Drawable*> drawn(GameFixture& game) {
    updateScreenTexts(game);
    const DrawList list = composeFrame(game);
    return {list.begin(), list.end()};
}

std::vector<const sf::Drawable*> field(GameFixture& game, bool popup, bool ball) {
    Texts& t = game.texts;
    FieldArt& a = game.art;
    std::vector<const sf::Drawable*> list{&t.timerText, &t.scoreText};
    if (popup) list.push_back(&t.popupText);
    for (const sf::Sprite& icon : game.hearts.lifeIcon) list.push_back(&icon);
    for (const Picture* p : {&a.blockObstacle, &a.trapezoidObstacle, &a.diamondObstacle,
                             &a.heartObstacle, &a.flower, &a.bar})
        list.push_back(&p->sprite);
    if (ball) list.push_back(&a.ball.sprite);
    return list;
}

}  // namespace

TEST(Render, EachScreenAndOutcomeDrawsItsObjectsInOrder) {
    GameFixture game;
    Texts& t = game.texts;
    EXPECT_EQ(drawn(game), (std::vector<const sf::Drawable*>{
                               &t.titleText, &t.playItemText, &t.howToPlayItemText,
                               &t.volumeItemText, &t.exitItemText, &t.menuHintText}));
    game.shell.currentScreen = Screen::Instructions;
    EXPECT_EQ(drawn(game), (std::vector<const sf::Drawable*>{&t.instructionsTitleText,
                                                             &t.instructionsBodyText}));
    game.shell.currentScreen = Screen::Playing;
    EXPECT_EQ(drawn(game), field(game, false, true));
    game.state.scorePopup.active = true;
    EXPECT_EQ(drawn(game), field(game, true, true));
    game.state.flowerVisible = true;  // the ball is hidden, the bar is not
    EXPECT_EQ(drawn(game), field(game, true, false));

    game.state.score = 4500;
    game.state.gameWon = true;
    EXPECT_EQ(drawn(game),
              (std::vector<const sf::Drawable*>{&t.winText, &t.playAgainText, &t.finalScoreText}));
    EXPECT_EQ(t.finalScoreText.getString().toAnsiString(), "SCORE: 4500");

    game.state.score = 100;
    game.state.gameOver = true;  // both flags: the game-over panel, no score
    EXPECT_EQ(drawn(game), (std::vector<const sf::Drawable*>{&t.gameOverText, &t.playAgainText}));
    EXPECT_EQ(t.finalScoreText.getString().toAnsiString(), "SCORE: 4500");
}

TEST(Render, MenuHighlightFollowsTheSelection) {
    GameFixture game;
    const sf::Color white{255, 255, 255}, grey{100, 100, 100};
    const sf::Text* items[] = {&game.texts.playItemText, &game.texts.howToPlayItemText,
                               &game.texts.volumeItemText, &game.texts.exitItemText};
    for (int selection : {0, 1, 2, 3, 4, 17, -1}) {
        game.shell.menuSelection = selection;
        updateScreenTexts(game);
        const int lit = selection >= 0 && selection <= 2 ? selection : 3;
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(items[i]->getFillColor(), i == lit ? white : grey)
                << "selection " << selection << ", item " << i;
    }
    EXPECT_EQ(game.texts.titleText.getFillColor(), white);
    EXPECT_EQ(game.texts.menuHintText.getFillColor(), sf::Color(150, 150, 150));
}

TEST(Render, ClearsToBlackAndDrawsTheField) {
    GameFixture game;
    game.play();
    game.frame(0.f);
    renderFrame(game);
    const sf::Image shot = captureWindow(game.window);
    ASSERT_EQ(shot.getSize(), sf::Vector2u(800, 600));
    EXPECT_EQ(compat::getPixel(shot, 5, 5), sf::Color::Black);
    EXPECT_EQ(compat::getPixel(shot, 400, 128), sf::Color(20, 120, 50));  // the block's inside
    EXPECT_EQ(compat::getPixel(shot, 326, 551), sf::Color::Black);  // the bar's empty first column
    EXPECT_EQ(compat::getPixel(shot, 328, 551), sf::Color(140, 20, 80));  // its border
}

TEST(Render, WinPanelShowsOnlyItsTextsAndTheScore) {
    GameFixture game;
    game.play();
    game.state.score = 2300;
    game.state.gameWon = true;
    renderFrame(game);
    const sf::Image shot = captureWindow(game.window);
    int white = 0, other = 0, whiteBelow400 = 0;
    for (unsigned y = 0; y < 600; ++y)
        for (unsigned x = 0; x < 800; ++x) {
            const sf::Color c = compat::getPixel(shot, x, y);
            if (c == sf::Color::White) {
                ++white;
                whiteBelow400 += y >= 400;
            } else if (c.r != c.g || c.g != c.b) {
                ++other;  // anything coloured: the field would show here
            }
        }
    EXPECT_EQ(other, 0);
    EXPECT_GT(white, 1000);
    EXPECT_GT(whiteBelow400, 100);  // "SCORE: 2300" at (250, 400)
    EXPECT_EQ(game.texts.finalScoreText.getString().toAnsiString(), "SCORE: 2300");
    // The README's picture of the win panel comes from here.
    if (const char* dir = std::getenv("PLUMWICK_SHOTS_DIR")) {
        EXPECT_TRUE(shot.saveToFile(std::string(dir) + "/win.png"));
    }
}
