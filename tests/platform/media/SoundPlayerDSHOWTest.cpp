#include "platform/media/SoundPlayerDSHOW.h"
#include "host/media/MidiSynth.h"
#include "host/stressSwitches.h"
#include "tests/platform/media/MediaFixture.h"
#include "tests/support/AmrEncoder.h"
#include "tests/support/DeadFrames.h"
#include "tests/support/GuestTask.h"
#include "tools/datakit/Midi.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace {

using platform::SoundPlayerDSHOW;

// Two notes, one second (units of 100 ns below).
datakit::Bytes twoNotes() {
    datakit::MidiSong song;
    song.notes = {{0, 480, 60, 110, 0}, {480, 480, 64, 110, 0}};
    return datakit::writeMidi(song);
}
constexpr std::int64_t kSecond = 10'000'000;

struct DirectShowPlayerTest : testing_support::MediaTest {
    using MediaTest::MediaTest;
    SoundPlayerDSHOW* player(const std::vector<std::uint8_t>& bytes, const char* type = "audio/midi") {
        SoundPlayerDSHOW* made = rt::make<SoundPlayerDSHOW>(bytes, type);
        made->buildGraph();
        return made;
    }
    // Plays to the end, waiting as a runtime thread, and answers the time it took.
    std::uint32_t playOut(SoundPlayerDSHOW* dshow) {
        std::uint32_t started = now();
        dshow->start();
        do
            sleep(10);
        while (dshow->getState() != 0);
        return now() - started;
    }
};

TEST_F(DirectShowPlayerTest, MidiLoopsThroughTheGraphsCompletions) {
    SoundPlayerDSHOW* midi = player(twoNotes());
    const std::filesystem::path file = midi->temporaryFile();
    ASSERT_EQ(file.filename(), "sound1.mid");
    EXPECT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(midi->getDuration(), 0) << "not realized yet";
    midi->setLoopCount(3);
    EXPECT_EQ(midi->getState(), 0) << "realized, but the graph does not run";
    EXPECT_EQ(midi->getDuration(), kSecond);

    std::uint32_t started = now();
    midi->start();
    sleep(2500);
    EXPECT_EQ(midi->getState(), 400) << "the third play runs";
    sleep(510);
    EXPECT_EQ(midi->getState(), 0) << "played out, though the graph still runs";
    EXPECT_EQ(now() - started, 3010u);
    host::AudioRecording played = heard();
    EXPECT_EQ(played.completions, 3u);
    EXPECT_EQ(played.bytesPlayed, 3u * played.format.sampleRate * played.format.blockAlign())
        << "three seconds";
    if (host::MidiSynth(host::defaultSoundFonts()).hasSoundFont()) {
        auto* samples = reinterpret_cast<const std::int16_t*>(played.pcm.data());
        EXPECT_TRUE(std::any_of(samples, samples + played.pcm.size() / 2, [](std::int16_t s) {
            return std::abs(s) > 1000;
        })) << "the notes are heard";
    }

    // A new start rewinds the stream that played out, and plays it once.
    EXPECT_EQ(playOut(midi), 1000u);
    EXPECT_EQ(heard().completions, 4u);
    EXPECT_TRUE(midi->getContentType()->equalsCString("audio/midi"));
    midi->close();
    EXPECT_EQ(midi->getState(), 0);
    EXPECT_FALSE(std::filesystem::exists(file)) << "close deletes the temporary file";
    EXPECT_TRUE(std::filesystem::is_empty(folder.path())) << "and its folder";
    midi->close();
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(DirectShowPlayerTest, LoopCountsOfOneAndZeroPlayOnceAndStopHoldsThePosition) {
    SoundPlayerDSHOW* midi = player(twoNotes());
    midi->setLoopCount(1);
    midi->setLoopCount(0);
    EXPECT_EQ(playOut(midi), 1000u);
    EXPECT_EQ(heard().completions, 1u);

    midi->start();
    sleep(400);
    midi->stop();
    EXPECT_EQ(midi->getState(), 0);
    midi->stop();
    EXPECT_NEAR(midi->getMediaTime(), 4 * kSecond / 10, kSecond / 1000);
    EXPECT_EQ(playOut(midi), 600u) << "a start after stop goes on where it stopped";

    // An endless loop ends with stop, and stop keeps it ended.
    midi->setLoopCount(-1);
    midi->start();
    sleep(9'500);
    EXPECT_EQ(midi->getState(), 400);
    midi->stop();
    sleep(5'000);
    EXPECT_EQ(heard().completions, 2u + 9u);
}

TEST_F(DirectShowPlayerTest, AmrFilesHaveTheirOwnNumberedFilesAndTheirLength) {
    SoundPlayerDSHOW* first = player(twoNotes());
    SoundPlayerDSHOW* amr =
        player(testing_support::encodeAmr(std::vector<std::int16_t>(25 * 160, 500)), "audio/amr");
    EXPECT_EQ(std::filesystem::path(first->temporaryFile()).filename(), "sound1.mid");
    EXPECT_EQ(std::filesystem::path(amr->temporaryFile()).filename(), "sound2.amr");
    amr->realize();
    EXPECT_EQ(amr->getDuration(), kSecond / 2);
    EXPECT_EQ(playOut(amr), 500u);
    EXPECT_EQ(heard(1).pcm.size(), 25u * 320) << "20 ms of 8 kHz samples per frame";

    struct Case {
        const char* type;
        const char* extension;
    };
    for (Case c : {Case{"audio/MIDI", "mid"}, Case{"audio/x-wav", "wav"}, Case{"audio/mpeg", "mp3"},
                   Case{"aac", "aac"}, Case{"audio/ogg", "NULL"}, Case{"", "NULL"}}) {
        EXPECT_STREQ(SoundPlayerDSHOW::extensionFor(c.type), c.extension) << c.type;
    }
}

// The shared temporary folder is open to every user: another one can plant a
// link under any name there. Sound files go into a folder of the player's
// own, which only this user can enter, and which goes when the player closes.
TEST_F(DirectShowPlayerTest, TemporaryFilesLiveInAPrivateFolderAndFollowNoPlantedLink) {
    namespace fs = std::filesystem;
    testing_support::TemporaryFolder elsewhere("vorlax-media-target");
    const fs::path target = elsewhere.path() / "precious";
    const std::string kPrecious = "not to be overwritten";
    std::ofstream(target) << kPrecious;
    std::vector<fs::path> planted;
    for (const char* name : {"sound1.mid", "sound2.mid", "sound1.amr", "sound2.amr"}) {
        planted.push_back(folder.path() / name);
        fs::create_symlink(target, planted.back());
    }
    const datakit::Bytes song = twoNotes();
    SoundPlayerDSHOW* midi = player(song);
    SoundPlayerDSHOW* amr =
        player(testing_support::encodeAmr(std::vector<std::int16_t>(25 * 160, 500)), "audio/amr");

    auto contents = [](const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    EXPECT_EQ(contents(target), kPrecious) << "no planted link was followed";
    const fs::path file = midi->temporaryFile();
    EXPECT_EQ(file.filename(), "sound1.mid");
    EXPECT_EQ(file.parent_path().parent_path(), folder.path())
        << "a folder of its own in the temporary folder";
    EXPECT_FALSE(fs::is_symlink(file));
    EXPECT_TRUE(contents(file) == std::string(song.begin(), song.end())) << "the song's bytes";
    EXPECT_EQ(fs::status(file.parent_path()).permissions(), fs::perms::owner_all);
    EXPECT_NE(fs::path(amr->temporaryFile()).parent_path(), file.parent_path()) << "one folder per player";
    EXPECT_EQ(playOut(midi), 1000u) << "the graph plays the private file";

    midi->close();
    amr->close();
    EXPECT_FALSE(fs::exists(file));
    std::vector<fs::path> left;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder.path()))
        left.push_back(entry.path());
    std::sort(left.begin(), left.end());
    std::sort(planted.begin(), planted.end());
    EXPECT_EQ(left, planted) << "closing leaves no file and no folder behind";
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(DirectShowPlayerTest, VolumeLevelsMapOntoDecibelsAndMuteKeepsTheLevel) {
    SoundPlayerDSHOW* midi = player(twoNotes());
    EXPECT_EQ(midi->setLevel(50), -1) << "not realized";
    EXPECT_EQ(midi->getLevel(), 0);
    midi->realize();
    EXPECT_EQ(midi->getLevel(), 100);
    EXPECT_EQ(midi->setLevel(50), 100);
    EXPECT_EQ(midi->getLevel(), 50);
    std::uint32_t word = heard().volume;
    EXPECT_EQ(word >> 16, word & 0xFFFF);
    EXPECT_NEAR(word & 0xFFFF, 0x8000, 16) << "-6 dB is half the amplitude";
    midi->setMute(true);
    EXPECT_TRUE(midi->isMuted());
    EXPECT_EQ(heard().volume, 0u);
    midi->setMute(false);
    EXPECT_FALSE(midi->isMuted());
    EXPECT_EQ(midi->getLevel(), 50);
    EXPECT_EQ(midi->setLevel(0), 50);
    EXPECT_TRUE(midi->isMuted());
    EXPECT_EQ(midi->setLevel(400), 0);
    EXPECT_EQ(midi->getLevel(), 100);
    EXPECT_EQ(midi->getControl(rt::String::newFromCString("volumecontrol")), midi);
    EXPECT_EQ(midi->getControl(rt::String::newFromCString("RateControl")), nullptr);
}

TEST_F(DirectShowPlayerTest, WithoutAGraphItStaysSilentAndSaysWhy) {
    SoundPlayerDSHOW* broken = player({'n', 'o', 't', ' ', 'M', 'I', 'D', 'I'});
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{
                  "ERROR - Could not construct a filter graph that will play the specified file."}));
    broken->setLoopCount(3);
    broken->start();
    EXPECT_EQ(broken->getState(), 0);
    EXPECT_EQ(broken->getMediaTime(), 0);
    EXPECT_EQ(broken->setMediaTime(5), -1);
    EXPECT_EQ(streamsOpened(), 0u);
    const std::string file = broken->temporaryFile();
    EXPECT_FALSE(file.empty());
    broken->close();
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

// Starts an endless MIDI loop on a player nothing refers to once this
// returns, and answers its temporary file.
[[gnu::noinline]] std::string startForgottenLoop(DirectShowPlayerTest& test) {
    SoundPlayerDSHOW* midi = test.player(twoNotes());
    midi->setLoopCount(-1);
    midi->start();
    return midi->temporaryFile();
}

// A collection that frees a looping player closes it from its destructor
// while another runtime thread is stopped: the loop thread ends, the file
// goes, and nothing waits for the stopped thread.
TEST_F(DirectShowPlayerTest, TheCollectorClosesALoopingPlayer) {
    // The stacks are scanned conservatively: a stress run collects inside
    // every allocation that made the player, and a word left from those
    // collections may keep it, which this test cannot clear.
    if (host::collectionStressRequested())
        GTEST_SKIP() << "the player's address may stay in a scanned frame";
    std::atomic<bool> stop{false};
    testing_support::startGuestTask([&] {
        while (!stop)
            rt::java_lang_Thread::sleep(5);
    });
    std::string file = startForgottenLoop(*this);
    sleep(2500);
    EXPECT_TRUE(std::filesystem::exists(file));
    constexpr std::uint32_t kCollectNow = 1;
    testing_support::clearDeadFrames();
    EXPECT_GE(runtime->objectManager().gc(kCollectNow).freed, 1u);
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_TRUE(std::filesystem::is_empty(folder.path())) << "the file's folder goes with it";
    EXPECT_FALSE(heard().open);
    std::uint64_t played = heard().bytesPlayed;
    sleep(2000);
    EXPECT_EQ(heard().bytesPlayed, played);
    stop = true;
    sleep(20);
}

} // namespace
