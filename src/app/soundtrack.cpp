#include "app/soundtrack.hpp"

#include "app/data_file.hpp"
#include "sfml_compat.hpp"

#include <SFML/Audio/InputSoundFile.hpp>

#include <iostream>

namespace {

void openTrack(bool deviceOpened, std::optional<sf::Music>& track, bool& opened, const char* file,
               float volume, const char* failureLine) {
    if (deviceOpened) {
        track.emplace();
        opened = isRegularFile(file) && track->openFromFile(file);
    } else {
        // The same decoders a track opens its file with, with nothing to
        // play it on: a file is judged as it would be with sound.
        sf::InputSoundFile reader;
        opened = isRegularFile(file) && reader.openFromFile(file);
    }
    if (!opened) std::cerr << failureLine << std::endl;
    if (!track) return;
    track->setVolume(volume);
    compat::setLooping(*track, true);
}

// SFML 3.1 asserts when a track with nothing opened behind it is played or
// stopped, so such a track is left alone; and no track exists without a device.
sf::Music* openedTrack(Soundtrack& music, Track track) {
    std::optional<sf::Music>& chosen = track == Track::Menu ? music.menuMusic : music.gameMusic;
    const bool opened = track == Track::Menu ? music.menuOpened : music.gameOpened;
    return opened && chosen ? &*chosen : nullptr;
}

}  // namespace

void openSoundtrack(Soundtrack& music) {
    music.device.emplace();
    const bool deviceOpened = compat::audioDeviceOpened();
    if (!deviceOpened)
        std::cerr << "ERRORE: nessun dispositivo audio, il gioco continua senza musica!"
                  << std::endl;
    openTrack(deviceOpened, music.menuMusic, music.menuOpened, "menu_music.ogg", menuMusicVolume,
              "ERRORE: impossibile caricare la musica del menu!");
    openTrack(deviceOpened, music.gameMusic, music.gameOpened, "game_music.ogg", gameMusicVolume,
              "ERRORE: impossibile caricare la musica del gioco!");
}

void playTrack(Soundtrack& music, Track track) {
    if (sf::Music* opened = openedTrack(music, track)) opened->play();
}

void stopTrack(Soundtrack& music, Track track) {
    if (sf::Music* opened = openedTrack(music, track)) opened->stop();
}

void setSoundOn(Soundtrack& music, bool on) {
    if (music.menuMusic) music.menuMusic->setVolume(on ? menuMusicVolume : 0.f);
    if (music.gameMusic) music.gameMusic->setVolume(on ? gameMusicVolume : 0.f);
}
