#include "platform/media/Manager.h"
#include "classlib/io/ByteArrayInputStream.h"
#include "platform/media/SoundPlayerDSHOW.h"
#include "platform/media/SoundPlayerNULL.h"
#include "platform/media/SoundPlayerOGG.h"
#include "platform/media/SoundPlayerWAVE.h"
#include "tests/platform/media/MediaFixture.h"
#include "tests/support/AmrEncoder.h"
#include "tests/support/VorbisEncoder.h"
#include "tools/datakit/Midi.h"
#include "tools/datakit/Wave.h"

// Its own namespace: this file compiles in one batch with its neighbours.
namespace manager_test {

namespace {

using platform::javax_microedition_media_Manager;
using platform::javax_microedition_media_Player;
using testing_support::viewOf;
using Bytes = std::vector<std::uint8_t>;

const datakit::WaveFormat kMono{1, 8000, 16};

struct ManagerTest : testing_support::MediaTest {
    ManagerTest() {
        wave = datakit::writeWave(kMono, datakit::sinePcm(kMono, 440, 800));
        ogg = testing_support::encodeVorbis(std::vector<std::int16_t>(800, 0), 1, 8000);
        datakit::MidiSong song;
        song.notes = {{0, 240, 60, 100, 0}};
        midi = datakit::writeMidi(song);
        amr = testing_support::encodeAmr(std::vector<std::int16_t>(1600, 0));
    }

    lib::java_io_ByteArrayInputStream* streamOf(const Bytes& bytes) {
        rt::ByteArray* array = rt::newByteArray(static_cast<std::int32_t>(bytes.size()));
        std::copy(bytes.begin(), bytes.end(), reinterpret_cast<std::uint8_t*>(array->elements()));
        return rt::make<lib::java_io_ByteArrayInputStream>(array);
    }
    rt::Object* create(const Bytes& bytes, const char* type) {
        return javax_microedition_media_Manager::createPlayer(
            streamOf(bytes), type ? rt::String::newFromCString(type) : nullptr);
    }
    static std::string text(rt::String* string) { return string ? string->toUtf8() : "(null)"; }

    Bytes wave, ogg, midi, amr;
};

enum class Kind { Wave, Ogg, DirectShow, Silent };

Kind kindOf(rt::Object* player) {
    if (dynamic_cast<platform::SoundPlayerOGG*>(player))
        return Kind::Ogg;
    if (dynamic_cast<platform::SoundPlayerWAVE*>(player))
        return Kind::Wave;
    if (dynamic_cast<platform::SoundPlayerDSHOW*>(player))
        return Kind::DirectShow;
    EXPECT_NE(dynamic_cast<platform::SoundPlayerNULL*>(player), nullptr);
    return Kind::Silent;
}

TEST_F(ManagerTest, TheTypeOrElseTheFirstBytesPickThePlayer) {
    struct Case {
        const char* name;
        const Bytes& bytes;
        const char* type;
        Kind kind;
        const char* contentType; // once realized
    };
    Bytes unknown = {'A', 'B', 'C', 'D', 'E', 'F'};
    const Case cases[] = {
        {"RIFF", wave, nullptr, Kind::Wave, "audio/x-wav"},
        {"OggS", ogg, nullptr, Kind::Ogg, "audio/ogg"},
        {"MThd", midi, nullptr, Kind::DirectShow, "audio/midi"},
        {"AMR bytes without a type", amr, nullptr, Kind::Silent, "audio/dummy"},
        {"unknown bytes", unknown, nullptr, Kind::Silent, "audio/dummy"},
        {"a given type wins over the bytes", wave, "audio/ogg", Kind::Ogg, nullptr},
        {"types ignore ASCII case", wave, "AUDIO/X-WAV", Kind::Wave, "audio/x-wav"},
        {"AMR by its type", amr, "audio/amr", Kind::DirectShow, "audio/amr"},
        {"MIDI by its type", midi, "audio/MIDI", Kind::DirectShow, "audio/midi"},
        {"an empty type", wave, "", Kind::Silent, "audio/dummy"},
        {"the start of a type", wave, "audio/", Kind::Silent, "audio/dummy"},
        {"a longer type", wave, "audio/x-wave", Kind::Silent, "audio/dummy"},
    };
    for (const Case& c : cases) {
        rt::Object* player = create(c.bytes, c.type);
        ASSERT_NE(player, nullptr) << c.name;
        EXPECT_EQ(kindOf(player), c.kind) << c.name;
        auto* view = viewOf<javax_microedition_media_Player>(player);
        view->realize();
        if (c.contentType)
            EXPECT_EQ(text(view->getContentType()), c.contentType) << c.name;
        else
            EXPECT_EQ(view->getState(), 100) << c.name << ": an Ogg player over WAVE bytes cannot realize";
        view->close();
    }
    EXPECT_EQ(javax_microedition_media_Manager::createPlayer(nullptr, nullptr), nullptr);
    EXPECT_EQ(kindOf(create({}, "audio/x-wav")), Kind::Silent) << "nothing available: silent content";
    EXPECT_FALSE(rt::exceptionPending());
}

TEST_F(ManagerTest, TheSilentPlayerMovesItsStateAndAnswersNeutrally) {
    rt::Object* silent = create({'?'}, "text/plain");
    EXPECT_EQ(silent->classId(), rt::ClassId::Object);
    auto* player = viewOf<javax_microedition_media_Player>(silent);
    using Step = void (javax_microedition_media_Player::*)();
    struct Case {
        Step step;
        std::int32_t state;
    };
    EXPECT_EQ(player->getState(), 100);
    for (Case c : {Case{&javax_microedition_media_Player::realize, 200},
                   Case{&javax_microedition_media_Player::prefetch, 300},
                   Case{&javax_microedition_media_Player::start, 400},
                   Case{&javax_microedition_media_Player::stop, 300},
                   Case{&javax_microedition_media_Player::deallocate, 200},
                   Case{&javax_microedition_media_Player::close, 0}}) {
        (player->*c.step)();
        EXPECT_EQ(player->getState(), c.state);
    }
    EXPECT_EQ(player->getDuration(), -1);
    EXPECT_EQ(player->getMediaTime(), -1);
    EXPECT_EQ(player->setMediaTime(5), -1);
    EXPECT_EQ(text(player->getContentType()), "audio/dummy");
    auto* volume = viewOf<platform::javax_microedition_media_control_VolumeControl>(silent);
    EXPECT_EQ(volume->getLevel(), -1);
    EXPECT_EQ(volume->setLevel(40), 0);
    EXPECT_FALSE(volume->isMuted());
    auto* tempo = viewOf<platform::javax_microedition_media_control_TempoControl>(silent);
    EXPECT_EQ(tempo->getMaxRate(), 0);
    EXPECT_EQ(tempo->setRate(100'000), 0);
    EXPECT_EQ(tempo->setTempo(100'000), -1);
    EXPECT_EQ(tempo->getTempo(), -1);
    EXPECT_EQ(streamsOpened(), 0u);
}

TEST_F(ManagerTest, ControlsAndViewsByNameAndClassId) {
    rt::Object* wavePlayer = create(wave, nullptr);
    rt::Object* midiPlayer = create(midi, nullptr);
    for (rt::Object* player : {wavePlayer, midiPlayer}) {
        auto* controllable = viewOf<platform::javax_microedition_media_Controllable>(player);
        ASSERT_NE(controllable, nullptr);
        EXPECT_EQ(controllable->getControl(rt::String::newFromCString("VolumeControl")), player);
        EXPECT_EQ(controllable->getControl(rt::String::newFromCString("volumecontrol")), player);
        EXPECT_EQ(controllable->getControl(rt::String::newFromCString("Volume")), nullptr);
        EXPECT_EQ(controllable->getControls(), nullptr);
        EXPECT_NE(viewOf<platform::javax_microedition_media_control_VolumeControl>(player), nullptr);
        EXPECT_EQ(player->getInterface(rt::ClassId::java_lang_Runnable), nullptr);
    }
    auto* waveControls = viewOf<platform::javax_microedition_media_Controllable>(wavePlayer);
    EXPECT_EQ(waveControls->getControl(rt::String::newFromCString("RateControl")), wavePlayer);
    EXPECT_EQ(waveControls->getControl(rt::String::newFromCString("TempoControl")), wavePlayer);
    EXPECT_EQ(waveControls->getControl(nullptr), nullptr);
    EXPECT_TRUE(log.contains("NullPointer"));

    auto* midiControls = viewOf<platform::javax_microedition_media_Controllable>(midiPlayer);
    EXPECT_EQ(midiControls->getControl(rt::String::newFromCString("RateControl")), nullptr);
    EXPECT_EQ(static_cast<void*>(midiControls),
              static_cast<void*>(static_cast<platform::javax_microedition_media_Controllable*>(
                  viewOf<javax_microedition_media_Player>(midiPlayer))))
        << "the DirectShow player answers its Player view for Controllable";
    EXPECT_EQ(viewOf<platform::javax_microedition_media_control_RateControl>(midiPlayer), nullptr);
    EXPECT_EQ(viewOf<platform::javax_microedition_media_control_TempoControl>(midiPlayer), nullptr);

    // Rate and tempo through their views, within their limits.
    viewOf<javax_microedition_media_Player>(wavePlayer)->realize();
    auto* tempo = viewOf<platform::javax_microedition_media_control_TempoControl>(wavePlayer);
    auto* rate = viewOf<platform::javax_microedition_media_control_RateControl>(wavePlayer);
    EXPECT_EQ(tempo->setTempo(125'000), 100'000);
    EXPECT_EQ(rate->getRate(), 125'000);
    EXPECT_EQ(rate->setRate(rate->getMaxRate() + 1), 125'000);
    EXPECT_EQ(tempo->getTempo(), 200'000);
}

// A stream that announces more than it has, or fails on its second read.
struct ShortStream final : lib::java_io_InputStream {
    static constexpr rt::ClassId kClassId = rt::ClassId::java_io_InputStream;
    ShortStream(Bytes data, bool failing)
        : java_io_InputStream(kClassId)
        , m_data(std::move(data))
        , m_failing(failing) {}
    using java_io_InputStream::read;
    std::int32_t read() override {
        if (m_failing && ++m_reads == 2)
            return rt::raise(rt::ClassId::java_io_IOException);
        return m_at < m_data.size() ? m_data[m_at++] : -1;
    }
    std::int32_t available() override { return static_cast<std::int32_t>(m_data.size()) + 1000; }
    Bytes m_data;
    std::size_t m_at = 0;
    bool m_failing;
    int m_reads = 0;
    RT_NO_REFERENCE_FIELDS(ShortStream, java_io_InputStream)
};

TEST_F(ManagerTest, PlayersGetWhatTheStreamGaveAndAFailingStreamGivesNone) {
    rt::Object* player =
        javax_microedition_media_Manager::createPlayer(rt::make<ShortStream>(wave, false), nullptr);
    auto* view = viewOf<javax_microedition_media_Player>(player);
    view->start();
    sleep(101);
    EXPECT_EQ(view->getState(), 300);
    EXPECT_EQ(heard().pcm, Bytes(wave.begin() + 44, wave.end())) << "no bytes made up at the end";

    EXPECT_EQ(javax_microedition_media_Manager::createPlayer(rt::make<ShortStream>(wave, true), nullptr),
              nullptr);
    EXPECT_NE(rt::catchException(rt::ClassId::java_io_IOException), nullptr);
}

TEST_F(ManagerTest, SupportedTypesAndProtocols) {
    rt::ObjectArray* types = javax_microedition_media_Manager::getSupportedContentTypes(nullptr);
    ASSERT_EQ(types->length(), 3);
    EXPECT_EQ(text(static_cast<rt::String*>(types->elements()[0])), "audio/x-wav");
    EXPECT_EQ(text(static_cast<rt::String*>(types->elements()[1])), "audio/ogg");
    EXPECT_EQ(text(static_cast<rt::String*>(types->elements()[2])), "audio/midi");
    rt::ObjectArray* protocols =
        javax_microedition_media_Manager::getSupportedProtocols(rt::String::newFromCString("x"));
    ASSERT_EQ(protocols->length(), 1);
    EXPECT_EQ(text(static_cast<rt::String*>(protocols->elements()[0])), "file");
}

} // namespace

} // namespace manager_test
