// Each of the game's three files spoilt in six ways, one at a time: missing,
// empty, cut to half its size, random bytes, a good file of the other kind,
// and a folder by that name. The game in its real window must say which file
// it could not open, stop (status 1) only without its font, and otherwise
// play on without the track: menus, VOLUME, the field, EXIT THE GAME.
//
// PLUMWICK_GAME_UNDER_TEST=build-sanitize/plumwick runs the same cases against
// the sanitizer build; any AddressSanitizer or UBSan report fails them.
#include "game_looks.hpp"

#include <SFML/Audio/InputSoundFile.hpp>
#include <SFML/Config.hpp>
#include <SFML/System/Time.hpp>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

using namespace window_test;
namespace fs = std::filesystem;

namespace {

const std::string fontFile = "pixel_font.ttf";
const std::string menuMusicFile = "menu_music.ogg";
const std::string gameMusicFile = "game_music.ogg";
const std::string startLine = "PROGRAMMA AVVIATO!";
const std::string noFontLine = "ERRORE: Font non trovato!";
const std::string noMenuMusicLine = "ERRORE: impossibile caricare la musica del menu!";
const std::string noGameMusicLine = "ERRORE: impossibile caricare la musica del gioco!";
const std::string noDeviceLine =
    "ERRORE: nessun dispositivo audio, il gioco continua senza musica!";

// The bounding box of some white pixels, edges included: left, top, right, bottom.
using Box = std::array<int, 4>;

// The white "VOLUME: ON" and "VOLUME: OFF" (it keeps the origin of "ON", so
// it reaches further right) on the menu, VOLUME highlighted.
const Box volumeOnInk{320, 431, 479, 448};  // centred on x = 400
const Box volumeOffInk{320, 431, 498, 448};

enum class Spoil { Missing, Empty, CutToHalf, RandomBytes, OtherKind, Folder, Pipe };

const char* name(Spoil spoil) {
    switch (spoil) {
    case Spoil::Missing: return "missing";
    case Spoil::Empty: return "empty";
    case Spoil::CutToHalf: return "cut to half its size";
    case Spoil::RandomBytes: return "random bytes";
    case Spoil::OtherKind: return "a good file of the other kind";
    case Spoil::Folder: return "a folder";
    case Spoil::Pipe: return "a named pipe";
    }
    return "?";
}

// Spoils `file` in the game's working directory (which holds all three good files).
Prepare spoilt(const std::string& file, Spoil spoil) {
    return [file, spoil](const fs::path& dir) {
        const fs::path path = dir / file;
        const auto size = fs::file_size(path);
        switch (spoil) {
        case Spoil::Missing: fs::remove(path); break;
        case Spoil::Empty: fs::resize_file(path, 0); break;
        case Spoil::CutToHalf: fs::resize_file(path, size / 2); break;
        case Spoil::RandomBytes: {
            std::mt19937 random(static_cast<unsigned>(size));  // the same bytes every run
            std::vector<char> bytes(size);
            for (char& byte : bytes) byte = static_cast<char>(random());
            std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), size);
            break;
        }
        case Spoil::OtherKind:
            fs::copy_file(fs::path(PLUMWICK_ASSETS) / (file == fontFile ? menuMusicFile : fontFile),
                          path, fs::copy_options::overwrite_existing);
            break;
        case Spoil::Folder:
            fs::remove(path);
            fs::create_directory(path);
            break;
        case Spoil::Pipe:  // opening it for reading would wait for a writer forever
            fs::remove(path);
            ::mkfifo(path.c_str(), 0644);
            break;
        }
    };
}

Box whiteBox(const sf::Image& image, Area area) {
    const Ink found = ink(image, palette::white, area);
    return {found.left, found.top, found.right, found.bottom};
}

// Up or Down on the menu, `times` over, checked on the highlight.
void step(Game& game, const std::string& key, int times, const std::string& looks) {
    for (int i = 0; i < times; ++i) game.press(key);
    const Shot shot = game.shootUntil(menuReads(looks), 3);
    ASSERT_EQ(menuLooks(shot.image), looks)
        << "after " << times << " x " << key << "; " << shot.file;
}

// On the menu (PLAY highlighted) for `menuSeconds`, then VOLUME off and on
// again, PLAY, `fieldSeconds` on the field, Escape, EXIT THE GAME: status 0.
void playEveryScreen(Game& game, double menuSeconds = 0, double fieldSeconds = 0) {
    ASSERT_TRUE(game.waitForWindow()) << "no window titled PLUMWICK";
    const auto start = Clock::now();
    ASSERT_EQ(menuLooks(game.shootUntil(menuReads("WGGG"), 5).image), "WGGG");
    while (secondsSince(start) < menuSeconds) {  // it keeps answering meanwhile
        step(game, "Down", 1, "GWGG");
        step(game, "Up", 1, "WGGG");
        sleepFor(0.5);
    }

    step(game, "Down", 2, "GGWG");
    const Shot on = game.shoot();
    EXPECT_EQ(whiteBox(on.image, volumeLine), volumeOnInk) << on.file;
    game.press("Return");
    const Shot off = game.shootUntil(
        [](const sf::Image& image) { return whiteBox(image, volumeLine) == volumeOffInk; }, 3);
    EXPECT_EQ(whiteBox(off.image, volumeLine), volumeOffInk) << "VOLUME: OFF; " << off.file;
    game.press("Return");
    const Shot onAgain = game.shootUntil(
        [](const sf::Image& image) { return whiteBox(image, volumeLine) == volumeOnInk; }, 3);
    EXPECT_EQ(whiteBox(onAgain.image, volumeLine), volumeOnInk) << onAgain.file;

    step(game, "Up", 2, "WGGG");
    game.press("Return");  // PLAY
    const Shot field = game.shootUntil(newGameAtRest, 3);
    ASSERT_TRUE(newGameAtRest(field.image)) << "no field after PLAY; " << field.file;
    const Ink bar = ink(field.image, palette::crimson, barBand);
    EXPECT_EQ(bar.top, 550) << field.file;
    EXPECT_EQ(bar.height(), 20) << field.file;

    // Playing on: every shot shows the field or an end panel, and each differs from the one a
    // second before, but under the flower (all but the bar) or on an end panel, which stand still.
    const auto playing = Clock::now();
    Shot last = field;
    while (secondsSince(playing) < fieldSeconds) {
        sleepFor(1);
        const Shot shot = game.shoot();
        ASSERT_TRUE(fieldShown(shot.image) || endPanelShown(shot.image)) << shot.file;
        const bool still = (petals(last.image) > 0 && petals(shot.image) > 0) ||
                           (endPanelShown(last.image) && endPanelShown(shot.image));
        EXPECT_TRUE(still || !samePicture(shot.image, last.image))
            << "the game stood still; " << last.file << " " << shot.file;
        last = shot;
    }

    game.press("Escape");
    ASSERT_EQ(menuLooks(game.shootUntil(menuReads("WGGG"), 3).image), "WGGG");
    game.press("Up");
    game.press("Return");  // EXIT THE GAME
    EXPECT_EQ(game.waitForExit(10), 0);
}

// How long the cut track plays before it runs out (and loops).
double secondsOfMusic(const fs::path& file) {
    sf::InputSoundFile track;
    if (!track.openFromFile(file.string())) return 0;
    return track.getDuration().asSeconds();
}

class BadDataFiles : public RealWindow {};

TEST_F(BadDataFiles, AFontThatCannotBeOpenedStopsTheGameWithStatus1) {
    for (Spoil spoil : {Spoil::Missing, Spoil::Empty, Spoil::RandomBytes, Spoil::OtherKind,
                        Spoil::Folder, Spoil::Pipe}) {
        SCOPED_TRACE(std::string("the font ") + name(spoil));
        Game game(allAssets, spoilt(fontFile, spoil));
        // It starts (see waitForWindow), then ends as soon as it finds no font.
        EXPECT_EQ(game.waitForExit(startUpSeconds + 15), 1);
        EXPECT_EQ(game.stdoutLines(), (Lines{startLine, noFontLine}));
        EXPECT_EQ(game.stderrLines(), Lines{});
        EXPECT_FALSE(sanitizerReport(game.stderrText())) << game.stderrText();
    }
}

TEST_F(BadDataFiles, AMusicThatCannotBeOpenedIsLeftOutAndTheGamePlaysOn) {
    for (const auto& [file, line] :
         {std::pair{menuMusicFile, noMenuMusicLine}, {gameMusicFile, noGameMusicLine}}) {
        for (Spoil spoil : {Spoil::Missing, Spoil::Empty, Spoil::RandomBytes, Spoil::OtherKind,
                            Spoil::Folder, Spoil::Pipe}) {
            SCOPED_TRACE(file + " " + name(spoil));
            Game game(allAssets, spoilt(file, spoil));
            playEveryScreen(game);
            EXPECT_EQ(game.stdoutLines(), Lines{startLine});
            EXPECT_EQ(game.stderrLines(), Lines{line});
            EXPECT_FALSE(sanitizerReport(game.stderrText())) << game.stderrText();
        }
    }
}

// No sound device: OpenAL (SFML 2) is given no driver to open one with. SFML
// 3's miniaudio finds no PulseAudio server and then an ALSA device that is
// not there, as in a root with ALSA's PulseAudio plugin and no server (were
// no backend to list a device at all, it would play into a silent null
// device of its own). The game says so once and plays on as without its
// music; SFML 2 used to start the stream anyway and report its failure in a
// loop that never slept, tens of megabytes a second. A bad music file is
// still named.
TEST_F(BadDataFiles, WithoutASoundDeviceTheGameSaysSoOnceAndPlaysOnInSilence) {
    const auto noCard = [](const fs::path& dir) {
        spoilt(gameMusicFile, Spoil::Missing)(dir);
        std::ofstream(dir / "alsa.conf")
            << "pcm.!default { type hw card 9 hint { show on description \"not there\" } }\n";
    };
    Game game(
        allAssets, noCard,
        {"ALSOFT_DRIVERS=none", "PULSE_SERVER=unix:/nonexistent", "ALSA_CONFIG_PATH=alsa.conf"});
    ASSERT_TRUE(game.waitForWindow()) << "no window titled PLUMWICK";
    ASSERT_EQ(menuLooks(game.shootUntil(menuReads("WGGG"), 5).image), "WGGG");
    const std::size_t atStartUp = game.stderrText().size();  // the menu shows: start-up is over
    playEveryScreen(game, 6, 5);
    EXPECT_EQ(game.stdoutLines(), Lines{startLine});
    EXPECT_EQ(game.stderrLines(), (Lines{noDeviceLine, noGameMusicLine}));
    // The libraries have their say at start-up (SFML 3.1 with miniaudio and
    // ALSA: some forty lines), and none later.
    const std::string err = game.stderrText();
    EXPECT_EQ(err.size(), atStartUp) << err.substr(0, 2000);
    EXPECT_LT(err.size(), 4096u) << err.substr(0, 2000);
    EXPECT_FALSE(sanitizerReport(err)) << err.substr(0, 2000);
}

// A file cut to half still opens: the game says nothing and plays on. A cut
// track is a shorter one whose end lies where the file was cut; each is
// played past that end, where its stream runs out of data and starts again.
TEST_F(BadDataFiles, AFileCutToHalfOpensAndTheGamePlaysOn) {
    for (const std::string& file : {menuMusicFile, gameMusicFile}) {
        SCOPED_TRACE(file + " cut to half its size");
        double seconds = 0;
        Game game(allAssets, [&](const fs::path& dir) {
            spoilt(file, Spoil::CutToHalf)(dir);
            seconds = secondsOfMusic(dir / file);
        });
        ASSERT_GT(seconds, 15) << "the cut track is shorter than expected";
        // The menu music plays from the start, the game music from PLAY on.
        if (file == menuMusicFile) playEveryScreen(game, seconds + 1, 0);
        if (file == gameMusicFile) playEveryScreen(game, 0, seconds + 1);
        EXPECT_EQ(game.stdoutLines(), Lines{startLine});
        EXPECT_EQ(game.stderrLines(), Lines{});
        EXPECT_FALSE(sanitizerReport(game.stderrText())) << game.stderrText();
    }
    {
        // Its texts may come out empty or as specks: go by keys, and by the field's pictures.
        SCOPED_TRACE("the font cut to half its size");
        Game game(allAssets, spoilt(fontFile, Spoil::CutToHalf));
        ASSERT_TRUE(game.waitForWindow()) << "no window titled PLUMWICK";
        sleepFor(0.5);
        game.press("Return");  // PLAY
        const Shot field = game.shootUntil(threeHeartsShown, 5);
        ASSERT_TRUE(threeHeartsShown(field.image)) << "no field after PLAY; " << field.file;
        keepForReadme(game.shoot(), "cut_font_field.png");
        game.press("Escape");
        const Shot menu =
            game.shootUntil([](const sf::Image& image) { return !fieldShown(image); }, 3);
        ASSERT_FALSE(fieldShown(menu.image)) << menu.file;
        keepForReadme(menu, "cut_font_menu.png");
        game.press("Up");
        sleepFor(0.3);
        game.press("Return");  // EXIT THE GAME
        EXPECT_EQ(game.waitForExit(10), 0);
        EXPECT_EQ(game.stdoutLines(), Lines{startLine});
        EXPECT_EQ(game.stderrLines(), Lines{});
        EXPECT_FALSE(sanitizerReport(game.stderrText())) << game.stderrText();
    }
}

}  // namespace
