// The program started as `vorlax --headless --script FILE FOLDER` starts it,
// on a data set that datakit writes: what the MIDlet does must reach the
// host's screen, sound, device and files with nothing set by the test. And
// each way a start can fail ends with its documented status and one line.

#include "platform/shell/Program.h"

#include "classlib/lang/Runtime.h"
#include "host/headless/HeadlessHost.h"
#include "platform/app/DataSet.h"
#include "platform/io/Class.h"
#include "platform/io/RecordStore.h"
#include "platform/lcdui/Font.h"
#include "platform/media/Manager.h"
#include "platform/media/Player.h"
#include "runtime/OutOfStore.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/TestMidlet.h"
#include "tools/datakit/Archive.h"
#include "tools/datakit/Constants.h"
#include "tools/datakit/Files.h"
#include "tools/datakit/RecordStore.h"
#include "tools/datakit/Wave.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace {

using Args = std::vector<const char*>;
using datakit::Bytes;
using testing_support::MidletRecord;
using testing_support::TestMidlet;

// The constant strings record stores build their file names from (C14, the
// vendor, stays empty: the stores live in the program folder).
const datakit::RecordStoreNames kNames{"Rms_", ".DAT", "#"};
const datakit::WaveFormat kMono{1, 8000, 16};
// A quarter second of 440 Hz.
const Bytes kBeep = datakit::sinePcm(kMono, 440, 2000);
const std::string kRecord = "lap 1:02.5";

Bytes constantStrings() {
    std::vector<std::u16string> strings(104);
    strings[99] = u"\\";
    strings[100] = u"Rms_";
    strings[101] = u".DAT";
    strings[103] = u"#";
    return datakit::writeConstants(strings);
}

// A program folder holding `archive` as its data.bar; the script ends the run.
struct ProgramFolder {
    explicit ProgramFolder(const Bytes& archive) {
        EXPECT_TRUE(datakit::writeFile((folder.path() / "data.bar").string(), archive).ok());
        std::ofstream(script) << "0 activate\n0 focus-gained\n600 key-up Q\n";
    }
    testing_support::TemporaryFolder folder{"vorlax-started"};
    std::string script = (folder.path() / "run.txt").string();

    int run(const platform::ProgramParts& parts) const {
        std::string path = folder.path().string();
        Args args = {"vorlax", "--headless", "--script", script.c_str(), path.c_str()};
        return platform::runProgram(args, parts);
    }
};

// The program's own start-up with the test MIDlet in place of the game's.
platform::ProgramParts programParts(MidletRecord& record) {
    platform::ProgramParts parts;
    parts.startup = testing_support::midletHooks(record);
    parts.startup.initializeStatics = platform::loadDataSet;
    return parts;
}

rt::ByteArray* byteArrayOf(std::string_view text) {
    rt::ByteArray* array = rt::newByteArray(static_cast<std::int32_t>(text.size()));
    for (std::size_t i = 0; i < text.size(); ++i)
        array->elements()[i] = static_cast<std::int8_t>(text[i]);
    return array;
}

TEST(StartedProgram, TheMidletDrawsTextPlaysSoundStoresRecordsAndSeesTheDevicesMemory) {
    ProgramFolder program(datakit::writeArchive({
        datakit::archiveEntry("constants.bin", constantStrings()),
        datakit::archiveEntry("beep.wav", datakit::writeWave(kMono, kBeep)),
    }));

    MidletRecord record;
    std::int32_t fontHeight = 0;
    std::int32_t textWidth = 0;
    std::int64_t totalMemory = 0;
    std::int32_t playerState = 0;
    std::int32_t recordId = 0;
    record.onStart = [&](TestMidlet&) {
        auto* font = platform::javax_microedition_lcdui_Font::getDefaultFont();
        fontHeight = font->getHeight();
        textWidth = font->stringWidth(rt::String::newFromCString("VORLAX"));
        totalMemory = lib::java_lang_Runtime::getRuntime()->totalMemory();

        rt::Object* player = platform::javax_microedition_media_Manager::createPlayer(
            platform::Class::getResourceAsStream(rt::String::newFromCString("/beep.wav")),
            rt::String::newFromCString("audio/x-wav"));
        if (auto* view = rt::interfaceOf<platform::javax_microedition_media_Player>(player)) {
            view->start();
            rt::java_lang_Thread::sleep(300); // the player stays on this stack while it plays
            playerState = view->getState();
        }

        auto* store = platform::javax_microedition_rms_RecordStore::openRecordStore(
            rt::String::newFromCString("scores"), true);
        if (store) {
            recordId = store->addRecord(byteArrayOf(kRecord), 0, static_cast<std::int32_t>(kRecord.size()));
            store->closeRecordStore();
        }
    };
    record.onPaint = [](platform::javax_microedition_lcdui_Graphics* graphics, int) {
        graphics->setColor(0x000000);
        graphics->fillRect(0, 0, 200, 40);
        graphics->setColor(0xFFFFFF);
        graphics->drawString(rt::String::newFromCString("VORLAX"), 10, 10,
                             platform::javax_microedition_lcdui_Graphics::TOP |
                                 platform::javax_microedition_lcdui_Graphics::LEFT);
    };
    std::vector<std::uint16_t> screen;
    std::vector<host::AudioRecording> sound;
    record.onDestroy = [&](TestMidlet&) {
        auto& headless = static_cast<host::HeadlessHost&>(platform::ApplicationImpl::current()->host());
        auto pixels = headless.screen().pixels();
        screen.assign(pixels.begin(), pixels.end());
        sound = headless.headlessAudio().recordings();
    };

    EXPECT_EQ(program.run(programParts(record)), 0);

    EXPECT_GT(fontHeight, 0);
    EXPECT_GT(textWidth, 0);
    ASSERT_EQ(screen.size(), 480u * 640u);
    int lit = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x)
            lit += screen[static_cast<std::size_t>(y * 480 + x)] != 0;
    EXPECT_GT(lit, 20) << "the string lights pixels of the black box";

    EXPECT_EQ(totalMemory, std::int64_t{64} << 20) << "the headless device's memory, not the heaps'";

    EXPECT_EQ(playerState, platform::kPlayerPrefetched) << "the sound played to its end";
    ASSERT_EQ(sound.size(), 1u);
    EXPECT_EQ(sound[0].format, (host::PcmFormat{1, 8000, 16}));
    EXPECT_EQ(sound[0].pcm, kBeep);

    EXPECT_EQ(recordId, 1);
    std::ifstream stored(program.folder.path() / datakit::recordFileName("scores", 1, kNames),
                         std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(stored), {}), kRecord);
}

// What a player meets when the data set is not there or not sound: each
// status, and one line on the log naming the folder or the file.
TEST(StartedProgram, AMissingOrBrokenDataSetEndsWithItsStatusAndALineNamingIt) {
    struct Case {
        const char* what;
        std::optional<Bytes> archive; // none: no data.bar
        int status;
        const char* line;
    };
    datakit::ArchiveOptions cut;
    cut.truncateTo = 9;
    const Case cases[] = {
        {"no data.bar", std::nullopt, 2, "vorlax: no data set in "},
        {"no constants.bin", datakit::writeArchive({datakit::archiveEntry("beep.wav", "RIFF")}), 3,
         "vorlax: the data set is broken: data.bar: "},
        {"a cut index",
         datakit::writeArchive({datakit::archiveEntry("constants.bin", constantStrings())}, cut), 3,
         "vorlax: the data set is broken: data.bar: the index is cut at entry 1 of 1"},
        {"an app.jad of too many lines",
         datakit::writeArchive({datakit::archiveEntry("constants.bin", constantStrings()),
                                datakit::archiveEntry("app.jad", std::string(2000, '\n'))}),
         3, "vorlax: the data set is broken: app.jad: 2001 lines, more than the 1024 it may have"},
        {"constants.bin with a false count",
         datakit::writeArchive({datakit::archiveEntry(
             "constants.bin", datakit::writeConstants({u"a"}, datakit::ConstantsOptions{5}))}),
         3, "vorlax: the data set is broken: data.bar: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ProgramFolder program(c.archive.value_or(Bytes{}));
        if (!c.archive)
            std::filesystem::remove(program.folder.path() / "data.bar");
        MidletRecord record;
        testing_support::LogCapture log;
        EXPECT_EQ(program.run(programParts(record)), c.status);
        EXPECT_EQ(record.made, 0) << "no MIDlet was made";
        EXPECT_TRUE(log.contains(c.line)) << testing::PrintToString(log.lines());
        if (!c.archive) {
            EXPECT_TRUE(log.contains(program.folder.path().string())) << "the line names the folder";
        }
    }
}

// A data file that fills the object heap while it loads ends the start, not
// the process.
TEST(StartedProgram, RunningOutOfStoreWhileLoadingIsABrokenDataSet) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto start = [] {
        int status = 0;
        {
            ProgramFolder program(
                datakit::writeArchive({datakit::archiveEntry("constants.bin", constantStrings())}));
            MidletRecord record;
            platform::ProgramParts parts = programParts(record);
            parts.startup.initializeStatics = []() -> platform::StartupResult {
                if (platform::StartupResult loaded = platform::loadDataSet(); !loaded.ok())
                    return loaded;
                rt::outOfStore();
            };
            status = program.run(parts);
        }
        std::_Exit(status);
    };
    EXPECT_EXIT(start(), testing::ExitedWithCode(3),
                "vorlax: the data set is broken: loading it filled the object heap");
}

} // namespace
