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

bool openTrack(sf::Music& track, const char* file, float volume, const char* failureLine) {
    const bool opened = openIfRegularFile(track, file);
    if (!opened) std::cerr << failureLine << std::endl;
    track.setVolume(volume);
    compat::setLooping(track, true);
    return opened;
}

// SFML 3.1 asserts when a track with nothing opened behind it is played or
// stopped, so such a track is left alone.
sf::Music* openedTrack(Soundtrack& music, Track track) {
    if (track == Track::Menu) return music.menuOpened ? &music.menuMusic : nullptr;
    return music.gameOpened ? &music.gameMusic : nullptr;
}

}  // namespace

void openSoundtrack(Soundtrack& music) {
    music.menuOpened = openTrack(music.menuMusic, "menu_music.ogg", menuMusicVolume,
                                 "ERRORE: impossibile caricare la musica del menu!");
    music.gameOpened = openTrack(music.gameMusic, "game_music.ogg", gameMusicVolume,
                                 "ERRORE: impossibile caricare la musica del gioco!");
}

void playTrack(Soundtrack& music, Track track) {
    if (sf::Music* opened = openedTrack(music, track)) opened->play();
}

void stopTrack(Soundtrack& music, Track track) {
    if (sf::Music* opened = openedTrack(music, track)) opened->stop();
}

void setSoundOn(Soundtrack& music, bool on) {
    music.menuMusic.setVolume(on ? menuMusicVolume : 0.f);
    music.gameMusic.setVolume(on ? gameMusicVolume : 0.f);
}
