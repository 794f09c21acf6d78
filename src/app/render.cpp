#include "app/render.hpp"

#include "ui/hud.hpp"

namespace {

void addMenu(DrawList& list, Texts& texts, int menuSelection) {
    colourMenuItems(texts, menuSelection);
    for (const sf::Text* text : {&texts.titleText, &texts.playItemText, &texts.howToPlayItemText,
                                 &texts.volumeItemText, &texts.exitItemText, &texts.menuHintText})
        list.add(*text);
}

void addWinPanel(DrawList& list, Texts& texts, int score) {
    list.add(texts.winText);
    list.add(texts.playAgainText);
    showFinalScore(texts.finalScoreText, score);
    list.add(texts.finalScoreText);
}

// The popup lies under the hearts and obstacles; the flower covers all but
// the bar, and hides the ball altogether.
void addField(DrawList& list, Game& game) {
    list.add(game.texts.timerText);
    list.add(game.texts.scoreText);
    if (game.state.scorePopup.active) list.add(game.texts.popupText);
    for (const sf::Sprite& icon : game.hearts.lifeIcon) list.add(icon);
    for (const Picture* obstacle : game.art.obstacles()) list.add(obstacle->sprite);
    list.add(game.art.flower.sprite);
    list.add(game.art.bar.sprite);
    if (!game.state.flowerVisible) list.add(game.art.ball.sprite);
}

}  // namespace

void colourMenuItems(Texts& texts, int menuSelection) {
    const int highlighted = menuSelection >= 0 && menuSelection <= 2 ? menuSelection : 3;
    sf::Text* const items[] = {&texts.playItemText, &texts.howToPlayItemText, &texts.volumeItemText,
                               &texts.exitItemText};
    for (int i = 0; i < 4; ++i) items[i]->setFillColor(i == highlighted ? menuHighlight : menuGrey);
}

DrawList composeFrame(Game& game) {
    DrawList list;
    switch (game.shell.currentScreen) {
    case Screen::Menu: addMenu(list, game.texts, game.shell.menuSelection); break;
    case Screen::Instructions:
        list.add(game.texts.instructionsTitleText);
        list.add(game.texts.instructionsBodyText);
        break;
    case Screen::Playing:
        if (game.state.gameOver) {
            list.add(game.texts.gameOverText);
            list.add(game.texts.playAgainText);
        } else if (game.state.gameWon) {
            addWinPanel(list, game.texts, game.state.score);
        } else {
            addField(list, game);
        }
        break;
    }
    return list;
}

void renderFrame(Game& game) {
    game.window.clear(sf::Color::Black);
    for (const sf::Drawable* drawable : composeFrame(game)) game.window.draw(*drawable);
    game.window.display();
}
