#include "app/render.hpp"

#include "ui/hud.hpp"

namespace {

void addMenu(DrawList& list, const Texts& texts) {
    for (const sf::Text* text : {&texts.titleText, &texts.playItemText, &texts.howToPlayItemText,
                                 &texts.volumeItemText, &texts.exitItemText, &texts.menuHintText})
        list.add(*text);
}

void addWinPanel(DrawList& list, const Texts& texts) {
    list.add(texts.winText);
    list.add(texts.playAgainText);
    list.add(texts.finalScoreText);
}

bool winPanelShown(const Game& game) {
    return game.shell.currentScreen == Screen::Playing && !game.state.gameOver &&
           game.state.gameWon;
}

// The popup lies under the hearts and obstacles; the flower covers all but
// the bar, and hides the ball altogether.
void addField(DrawList& list, const Game& game) {
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
    const bool onItem = menuSelection >= playItem && menuSelection < exitItem;
    const int highlighted = onItem ? menuSelection : exitItem;
    sf::Text* const items[] = {&texts.playItemText, &texts.howToPlayItemText, &texts.volumeItemText,
                               &texts.exitItemText};
    for (int i = playItem; i <= exitItem; ++i)
        items[i]->setFillColor(i == highlighted ? menuHighlight : menuGrey);
}

void updateScreenTexts(Game& game) {
    if (game.shell.currentScreen == Screen::Menu)
        colourMenuItems(game.texts, game.shell.menuSelection);
    if (winPanelShown(game)) showFinalScore(game.texts.finalScoreText, game.state.score);
}

DrawList composeFrame(const Game& game) {
    DrawList list;
    switch (game.shell.currentScreen) {
    case Screen::Menu: addMenu(list, game.texts); break;
    case Screen::Instructions:
        list.add(game.texts.instructionsTitleText);
        list.add(game.texts.instructionsBodyText);
        break;
    case Screen::Playing:
        if (game.state.gameOver) {
            list.add(game.texts.gameOverText);
            list.add(game.texts.playAgainText);
        } else if (game.state.gameWon) {
            addWinPanel(list, game.texts);
        } else {
            addField(list, game);
        }
        break;
    }
    return list;
}

void renderFrame(Game& game) {
    updateScreenTexts(game);
    game.window.clear(sf::Color::Black);
    for (const sf::Drawable* drawable : composeFrame(game)) game.window.draw(*drawable);
    game.window.display();
}
