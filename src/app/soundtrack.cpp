#include "app/soundtrack.hpp"

#include "sfml_compat.hpp"

#include <filesystem>
#include <iostream>
#include <system_error>

namespace {

// SFML's audio decoders never return from reading a directory, so anything
// but a regular file is refused before SFML sees it.
bool openIfRegularFile(sf::Music& track, const char* file) {
    std::error_code error;
    return std::filesystem::is_regular_file(file, error) && track.openFromFile(file);
}

void openTrack(sf::Music& track, const char* file, float volume, const char* failureLine) {
    if (!openIfRegularFile(track, file)) std::cerr << failureLine << std::endl;
    track.setVolume(volume);
    compat::setLooping(track, true);
}

}  // namespace

void openSoundtrack(Soundtrack& music) {
    openTrack(music.menuMusic, "menu_music.ogg", menuMusicVolume,
              "ERRORE: impossibile caricare la musica del menu!");
    openTrack(music.gameMusic, "game_music.ogg", gameMusicVolume,
              "ERRORE: impossibile caricare la musica del gioco!");
}

void setSoundOn(Soundtrack& music, bool on) {
    music.menuMusic.setVolume(on ? menuMusicVolume : 0.f);
    music.gameMusic.setVolume(on ? gameMusicVolume : 0.f);
}
