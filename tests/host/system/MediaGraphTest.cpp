#include "host/headless/HeadlessHost.h"
#include "host/media/MidiSynth.h"
#include "tests/support/AmrEncoder.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TemporaryFolder.h"
#include "tools/datakit/Files.h"
#include "tools/datakit/Midi.h"
#include "tools/datakit/Wave.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>

namespace {

// Two notes over one second (120 beats a minute, 480 ticks a beat).
datakit::MidiSong twoNotes() {
    datakit::MidiSong song;
    song.notes = {{0, 480, 60, 110, 0}, {480, 480, 67, 110, 0}};
    return song;
}
constexpr std::int64_t kSecond = 10'000'000;

struct MediaGraphTest : ::testing::Test {
    explicit MediaGraphTest(host::HeadlessOptions options = {}) {
        host = host::makeHeadlessHost(std::move(options));
    }

    std::string file(const std::string& name, const datakit::Bytes& bytes) {
        std::string path = (folder.path() / name).string();
        EXPECT_TRUE(datakit::writeFile(path, bytes).ok());
        return path;
    }
    std::unique_ptr<host::MediaGraph> graphOf(const std::string& path) {
        auto graph = host->mediaGraphs().createGraph();
        EXPECT_TRUE(graph.ok());
        auto rendered = graph.value()->renderFile(path);
        EXPECT_TRUE(rendered.ok()) << rendered.error().message;
        return std::move(graph).value();
    }
    std::int64_t position(host::MediaGraph& graph) { return graph.currentPosition().value(); }
    host::GraphEvent waitForever(host::MediaGraph& graph) {
        return graph.waitForEvent(host::MediaGraph::kWaitForever, noCancel);
    }
    std::uint32_t now() { return host->clock().tickCount(); }

    testing_support::LogCapture log;
    std::unique_ptr<host::HeadlessHost> host;
    testing_support::TemporaryFolder folder{"vorlax-graph"};
    std::atomic<bool> noCancel{false};
};

TEST_F(MediaGraphTest, MidiPlaysThroughTheSoundFontToItsEnd) {
    if (!host::MidiSynth(host::defaultSoundFonts()).hasSoundFont())
        GTEST_SKIP() << "no General MIDI sound font installed";
    auto graph = graphOf(file("song.mid", datakit::writeMidi(twoNotes())));
    EXPECT_EQ(graph->duration().value(), kSecond);
    EXPECT_EQ(graph->stopPosition().value(), kSecond);
    EXPECT_EQ(graph->state(), host::GraphState::Stopped);

    ASSERT_TRUE(graph->run().ok());
    EXPECT_EQ(graph->state(), host::GraphState::Running);
    host->clock().sleep(250);
    EXPECT_NEAR(position(*graph), kSecond / 4, kSecond / 1000) << "the device counts whole milliseconds";
    EXPECT_EQ(waitForever(*graph), host::GraphEvent::Complete);
    EXPECT_EQ(now(), 1000u);
    EXPECT_EQ(position(*graph), kSecond);
    EXPECT_EQ(graph->state(), host::GraphState::Running) << "a graph that played out still runs";

    host::AudioRecording played = host->headlessAudio().recordings().at(0);
    EXPECT_EQ(played.format, (host::PcmFormat{2, host::MidiSynth::kSampleRate, 16}));
    EXPECT_EQ(played.pcm.size(), host::MidiSynth::kSampleRate * 4u);
    auto* samples = reinterpret_cast<const std::int16_t*>(played.pcm.data());
    auto loudest = std::max_element(samples, samples + played.pcm.size() / 2,
                                    [](std::int16_t a, std::int16_t b) { return std::abs(a) < std::abs(b); });
    EXPECT_GT(std::abs(*loudest), 1000) << "the notes are heard";
}

TEST_F(MediaGraphTest, PausesSeeksAndCountsItsCompletions) {
    auto graph =
        graphOf(file("speech.amr", testing_support::encodeAmr(std::vector<std::int16_t>(25 * 160, 100))));
    const std::int64_t half = kSecond / 2;
    EXPECT_EQ(graph->duration().value(), half) << "25 frames of 20 ms";

    ASSERT_TRUE(graph->run().ok());
    host->clock().sleep(300);
    ASSERT_TRUE(graph->pause().ok());
    host->clock().sleep(1000);
    EXPECT_EQ(position(*graph), 3 * kSecond / 10);
    EXPECT_EQ(graph->state(), host::GraphState::Paused);
    ASSERT_TRUE(graph->run().ok());
    EXPECT_EQ(waitForever(*graph), host::GraphEvent::Complete);
    EXPECT_EQ(now(), 1500u) << "the paused second does not count";

    // Running at the end completes again at once; a rewind drops that completion.
    ASSERT_TRUE(graph->stop().ok());
    EXPECT_EQ(position(*graph), half);
    ASSERT_TRUE(graph->run().ok());
    ASSERT_TRUE(graph->setPositions(0, half).ok());
    EXPECT_EQ(graph->waitForEvent(0, noCancel), host::GraphEvent::None);
    EXPECT_EQ(waitForever(*graph), host::GraphEvent::Complete);
    EXPECT_EQ(now(), 2000u);

    // Seeking a paused graph: it plays from there when it runs.
    ASSERT_TRUE(graph->pause().ok());
    ASSERT_TRUE(graph->setPositions(4 * kSecond / 10, half).ok());
    host->clock().sleep(100);
    EXPECT_EQ(position(*graph), 4 * kSecond / 10);
    ASSERT_TRUE(graph->run().ok());
    EXPECT_EQ(waitForever(*graph), host::GraphEvent::Complete);
    EXPECT_EQ(now(), 2200u);

    EXPECT_EQ(host->headlessAudio().recordings().at(0).bytesPlayed, (25 + 25 + 5) * 320u);
    EXPECT_FALSE(graph->setPositions(0, half + 1).ok());
    EXPECT_FALSE(graph->setPositions(-1, half).ok());
}

TEST_F(MediaGraphTest, AWaitEndsWhenItsCancelFlagIsSetAndTheWaitInterrupted) {
    auto graph = graphOf(file("speech.amr", testing_support::encodeAmr(std::vector<std::int16_t>(160, 0))));
    std::atomic<bool> cancel{false};
    std::atomic<int> seen{-1};
    auto waiter = host->threads().create(
        [&] { seen = static_cast<int>(graph->waitForEvent(host::MediaGraph::kWaitForever, cancel)); });
    ASSERT_TRUE(waiter.ok());
    waiter.value()->resume();
    host->clock().sleep(50);
    EXPECT_EQ(seen.load(), -1);
    graph->interruptWait();
    host->clock().sleep(50);
    EXPECT_EQ(seen.load(), -1) << "a wake without the flag waits on";
    cancel = true;
    graph->interruptWait();
    waiter.value()->join();
    EXPECT_EQ(seen.load(), static_cast<int>(host::GraphEvent::Cancelled));
    EXPECT_EQ(graph->waitForEvent(10, noCancel), host::GraphEvent::None);
}

TEST_F(MediaGraphTest, RefusesWhatItCannotRender) {
    auto graph = std::move(host->mediaGraphs().createGraph()).value();
    EXPECT_FALSE(graph->run().ok()) << "nothing rendered yet";
    EXPECT_FALSE(graph->duration().ok());
    EXPECT_FALSE(graph->renderFile((folder.path() / "missing.mid").string()).ok());
    std::string wave = file("sound.wav", datakit::writeWave({}, datakit::sinePcm({}, 440, 80)));
    EXPECT_FALSE(graph->renderFile(wave).ok());
    std::string broken = file("broken.mid", datakit::Bytes{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 0});
    EXPECT_FALSE(graph->renderFile(broken).ok());

    std::string song = file("song.mid", datakit::writeMidi(twoNotes()));
    ASSERT_TRUE(graph->renderFile(song).ok());
    EXPECT_FALSE(graph->renderFile(song).ok()) << "one file per graph";
    EXPECT_EQ(graph->volume().value(), 0);
    EXPECT_TRUE(graph->setVolume(-600).ok());
    EXPECT_FALSE(graph->setVolume(1).ok());
    EXPECT_FALSE(graph->setVolume(-10001).ok());
    EXPECT_EQ(graph->volume().value(), -600);
}

host::HeadlessOptions withoutSoundFont() {
    host::HeadlessOptions options;
    options.mediaGraphs.soundFonts = {"/nonexistent/none.sf2"};
    return options;
}

struct MediaGraphSilentMidiTest : MediaGraphTest {
    MediaGraphSilentMidiTest()
        : MediaGraphTest(withoutSoundFont()) {}
};

TEST_F(MediaGraphSilentMidiTest, WithoutASoundFontMidiPlaysSilentForItsTrueDuration) {
    auto graph = graphOf(file("song.mid", datakit::writeMidi(twoNotes())));
    EXPECT_TRUE(log.contains(
        "host: no General MIDI sound font (looked for /nonexistent/none.sf2); MIDI plays silent"));
    EXPECT_EQ(graph->duration().value(), kSecond);
    ASSERT_TRUE(graph->run().ok());
    EXPECT_EQ(waitForever(*graph), host::GraphEvent::Complete);
    EXPECT_EQ(now(), 1000u);
    host::AudioRecording played = host->headlessAudio().recordings().at(0);
    EXPECT_EQ(played.pcm, std::vector<std::uint8_t>(host::MidiSynth::kSilentSampleRate * 2u, 0));

    graph.reset();
    auto second = graphOf(file("again.mid", datakit::writeMidi(twoNotes())));
    auto lines = log.lines();
    EXPECT_EQ(
        std::count_if(lines.begin(), lines.end(),
                      [](const std::string& line) { return line.find("sound font") != std::string::npos; }),
        1)
        << "said once";
}

struct MediaGraphNoDeviceTest : MediaGraphTest {
    static host::HeadlessOptions options() {
        host::HeadlessOptions options;
        options.audio.devices = 0;
        return options;
    }
    MediaGraphNoDeviceTest()
        : MediaGraphTest(options()) {}
};

TEST_F(MediaGraphNoDeviceTest, NothingRendersWithoutAnAudioDevice) {
    auto graph = std::move(host->mediaGraphs().createGraph()).value();
    EXPECT_FALSE(graph->renderFile(file("song.mid", datakit::writeMidi(twoNotes()))).ok());
}

} // namespace
