#include "game_objects.hpp"

#include "game/field.hpp"
#include "sfml_compat.hpp"

namespace {

const sf::Font& opened(sf::Font& font, bool& fontOpened) {
    fontOpened = compat::openFont(font, "pixel_font.ttf");
    return font;
}

}  // namespace

GameObjects::GameObjects(RandomDraw draw)
    : texts(opened(font, fontOpened)), scene{window, music, art,    frameClock,     state,
                                             shell,  texts, hearts, std::move(draw)} {
    compat::openWindow(window, static_cast<unsigned>(fieldWidth),
                       static_cast<unsigned>(fieldHeight), "PLUMWICK");
    openSoundtrack(music);
    playTrack(music, Track::Menu);
}
