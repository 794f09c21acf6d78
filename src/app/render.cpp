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
void addField(DrawList& list, Scene& scene) {
    list.add(scene.texts.timerText);
    list.add(scene.texts.scoreText);
    if (scene.state.scorePopup.active) list.add(scene.texts.popupText);
    for (const sf::Sprite& icon : scene.hearts.lifeIcon) list.add(icon);
    for (const Picture* obstacle : scene.art.obstacles()) list.add(obstacle->sprite);
    list.add(scene.art.flower.sprite);
    list.add(scene.art.bar.sprite);
    if (!scene.state.flowerVisible) list.add(scene.art.ball.sprite);
}

}  // namespace

void colourMenuItems(Texts& texts, int menuSelection) {
    const int highlighted = menuSelection >= 0 && menuSelection <= 2 ? menuSelection : 3;
    sf::Text* const items[] = {&texts.playItemText, &texts.howToPlayItemText, &texts.volumeItemText,
                               &texts.exitItemText};
    for (int i = 0; i < 4; ++i) items[i]->setFillColor(i == highlighted ? menuHighlight : menuGrey);
}

DrawList composeFrame(Scene& scene) {
    DrawList list;
    switch (scene.shell.currentScreen) {
    case Screen::Menu: addMenu(list, scene.texts, scene.shell.menuSelection); break;
    case Screen::Instructions:
        list.add(scene.texts.instructionsTitleText);
        list.add(scene.texts.instructionsBodyText);
        break;
    case Screen::Playing:
        if (scene.state.gameOver) {
            list.add(scene.texts.gameOverText);
            list.add(scene.texts.playAgainText);
        } else if (scene.state.gameWon) {
            addWinPanel(list, scene.texts, scene.state.score);
        } else {
            addField(list, scene);
        }
        break;
    }
    return list;
}

void renderFrame(Scene& scene) {
    scene.window.clear(sf::Color::Black);
    for (const sf::Drawable* drawable : composeFrame(scene)) scene.window.draw(*drawable);
    scene.window.display();
}
