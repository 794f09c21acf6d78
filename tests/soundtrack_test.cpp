// Opening the music: a track that cannot be opened gets its one console line
// and stays silent, never played or stopped; the other track is unaffected.
// Without the font no track starts at all.

#include "app/soundtrack.hpp"
#include "app/game.hpp"
#include "sfml_compat.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

namespace fs = std::filesystem;

namespace {

// Runs in a fresh working directory, the way the game opens files by bare name.
class InFolder {
public:
    InFolder() : previous(fs::current_path()) {
        // A new folder of its own (mkdtemp is POSIX only): create_directory
        // says false when the name is taken.
        std::random_device random;
        do folder = fs::temp_directory_path() / ("plumwick-" + std::to_string(random()));
        while (!fs::create_directory(folder));
        fs::current_path(folder);
    }
    ~InFolder() {
        fs::current_path(previous);
        fs::remove_all(folder);
    }
    const fs::path previous;

private:
    fs::path folder;
};

std::string openAndCaptureStderr(Soundtrack& music) {
    testing::internal::CaptureStderr();
    openSoundtrack(music);
    return testing::internal::GetCapturedStderr();
}

}  // namespace

TEST(Soundtrack, ReportsEachTrackThatCannotBeOpenedAndNoneStartsWithoutTheFont) {
    const std::string menuLine = "ERRORE: impossibile caricare la musica del menu!\n";
    const std::string gameLine = "ERRORE: impossibile caricare la musica del gioco!\n";
    {
        InFolder folder;  // nothing there
        Soundtrack music;
        const std::string err = openAndCaptureStderr(music);
        const auto menuAt = err.find(menuLine);
        ASSERT_NE(menuAt, std::string::npos) << err;
        EXPECT_NE(err.find(gameLine, menuAt), std::string::npos) << err;
        EXPECT_FLOAT_EQ(music.menuMusic.value().getVolume(), 40.f);
        EXPECT_FLOAT_EQ(music.gameMusic.value().getVolume(), 50.f);
        EXPECT_TRUE(compat::isLooping(*music.menuMusic));
        EXPECT_TRUE(compat::isLooping(*music.gameMusic));
        // Nothing to play: the tracks are left alone, without a word from SFML.
        testing::internal::CaptureStderr();
        playTrack(music, Track::Menu);
        stopTrack(music, Track::Menu);
        playTrack(music, Track::Game);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_EQ(music.gameMusic.value().getStatus(), sf::SoundSource::Status::Stopped);
    }
    {
        // A folder named like the menu music (SFML would read it forever);
        // the game music is a real file and opens.
        InFolder folder;
        fs::create_directory("menu_music.ogg");
        fs::copy_file(folder.previous / "game_music.ogg", "game_music.ogg");
        Soundtrack music;
        const std::string err = openAndCaptureStderr(music);
        EXPECT_NE(err.find(menuLine), std::string::npos) << err;
        EXPECT_EQ(err.find(gameLine), std::string::npos) << err;
        EXPECT_GT(music.gameMusic.value().getDuration().asSeconds(), 20.f);
        playTrack(music, Track::Game);
        EXPECT_EQ(music.gameMusic.value().getStatus(), sf::SoundSource::Status::Playing);
        stopTrack(music, Track::Game);
        EXPECT_EQ(music.gameMusic.value().getStatus(), sf::SoundSource::Status::Stopped);
    }
    {
        // Both tracks, no font: the start-up ends there, before any music.
        InFolder folder;
        for (const char* file : {"menu_music.ogg", "game_music.ogg"})
            fs::copy_file(folder.previous / file, file);
        testing::internal::CaptureStdout();
        Game game([] { return 1; });
        EXPECT_EQ(testing::internal::GetCapturedStdout(),
                  "PROGRAMMA AVVIATO!\nERRORE: Font non trovato!\n");
        EXPECT_FALSE(game.started());
        EXPECT_EQ(game.music.menuMusic.value().getStatus(), sf::SoundSource::Status::Stopped);
        EXPECT_EQ(game.music.gameMusic.value().getStatus(), sf::SoundSource::Status::Stopped);
    }
}
