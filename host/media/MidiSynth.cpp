#include "host/media/MidiSynth.h"

#include "host/Log.h"
#include "host/SharedLibrary.h"

#include <fluidsynth.h>
#include <omp.h>

#include <algorithm>
#include <filesystem>

namespace host {

namespace {

// The synthesiser is a library of its own, loaded with the first song
// rendered: it brings some forty libraries with it (sound servers, sound
// files, GLib), which a program that links it maps before it starts, and
// most runs render no MIDI until long after their first frame.
#define HOST_FLUID_FUNCTIONS(X)                                                                              \
    X(fluid_set_log_function)                                                                                \
    X(new_fluid_settings)                                                                                    \
    X(delete_fluid_settings)                                                                                 \
    X(fluid_settings_setint)                                                                                 \
    X(fluid_settings_setnum)                                                                                 \
    X(new_fluid_synth)                                                                                       \
    X(delete_fluid_synth)                                                                                    \
    X(fluid_synth_sfload)                                                                                    \
    X(fluid_synth_system_reset)                                                                              \
    X(fluid_synth_write_s16)                                                                                 \
    X(fluid_synth_noteoff)                                                                                   \
    X(fluid_synth_noteon)                                                                                    \
    X(fluid_synth_key_pressure)                                                                              \
    X(fluid_synth_cc)                                                                                        \
    X(fluid_synth_program_change)                                                                            \
    X(fluid_synth_channel_pressure)                                                                          \
    X(fluid_synth_pitch_bend)

// The functions this file calls, under their own names.
struct FluidApi {
#define HOST_FLUID_MEMBER(name) decltype(&::name) name = nullptr;
    HOST_FLUID_FUNCTIONS(HOST_FLUID_MEMBER)
#undef HOST_FLUID_MEMBER
    // OpenMP's, from the library the synthesiser itself needs.
    decltype(&::omp_set_num_threads) omp_set_num_threads = nullptr;
};

constexpr const char* kFluidLibrary = "libfluidsynth.so.3";
constexpr const char* kOpenMpLibrary = "libgomp.so.1";

// FluidSynth's own messages: errors into our log, the chatter dropped.
void logFluidError(int, const char* message, void*) {
    logf(LogCategory::Host, "host: midi synthesiser: %s", message);
}

Result<FluidApi> loadFluid() {
    auto fluid = SharedLibrary::open(kFluidLibrary);
    if (!fluid)
        return std::move(fluid).error();
    auto openMp = SharedLibrary::open(kOpenMpLibrary);
    if (!openMp)
        return std::move(openMp).error();
    FluidApi api;
    const char* missing = nullptr;
#define HOST_FLUID_BIND(name)                                                                                \
    if (!missing && !fluid.value().bind(api.name, #name))                                                    \
        missing = #name;
    HOST_FLUID_FUNCTIONS(HOST_FLUID_BIND)
#undef HOST_FLUID_BIND
    if (!missing && !openMp.value().bind(api.omp_set_num_threads, "omp_set_num_threads"))
        missing = "omp_set_num_threads";
    if (missing)
        return Error::withMessage(std::string(kFluidLibrary) + " lacks " + missing);
    api.fluid_set_log_function(FLUID_PANIC, logFluidError, nullptr);
    api.fluid_set_log_function(FLUID_ERR, logFluidError, nullptr);
    api.fluid_set_log_function(FLUID_WARN, nullptr, nullptr);
    api.fluid_set_log_function(FLUID_INFO, nullptr, nullptr);
    api.fluid_set_log_function(FLUID_DBG, nullptr, nullptr);
    return api;
}

// The synthesiser's functions, loaded once for the process; null when the
// library cannot be loaded (the log says why, once).
const FluidApi* fluidApi() {
    static const Result<FluidApi> s_loaded = [] {
        Result<FluidApi> loaded = loadFluid();
        if (!loaded)
            logf(LogCategory::Host, "host: the MIDI synthesiser cannot be loaded (%s); MIDI plays silent",
                 loaded.error().message.c_str());
        return loaded;
    }();
    return s_loaded ? &s_loaded.value() : nullptr;
}

// Frames rendered per call into the synthesiser.
constexpr std::uint64_t kRenderStep = 4096;

// The synthesiser parallelises with OpenMP, whose thread count is a setting
// of each calling thread. Loads and renders are short and run on the caller's
// thread alone: the same result every time, and no threads of the library's
// own in the process.
void keepToThisThread(const FluidApi& api) {
    api.omp_set_num_threads(1);
}

std::uint64_t frameAt(std::uint64_t microseconds, std::uint32_t rate) {
    return microseconds * rate / 1'000'000;
}

} // namespace

std::vector<std::string> defaultSoundFonts() {
    return {"/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/sounds/sf2/TimGM6mb.sf2",
            "/usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/sounds/sf3/default-GM.sf3"};
}

struct MidiSynth::Fluid {
    const FluidApi& api;
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;

    explicit Fluid(const FluidApi& functions)
        : api(functions) {}
    ~Fluid() {
        if (synth)
            api.delete_fluid_synth(synth);
        if (settings)
            api.delete_fluid_settings(settings);
    }
};

MidiSynth::MidiSynth(std::vector<std::string> soundFonts)
    : m_soundFonts(std::move(soundFonts)) {
}

MidiSynth::~MidiSynth() = default;

bool MidiSynth::hasSoundFont() {
    std::lock_guard guard(m_lock);
    return ensureSynth();
}

bool MidiSynth::ensureSynth() {
    if (m_tried)
        return m_fluid != nullptr;
    m_tried = true;
    const FluidApi* api = fluidApi();
    if (!api)
        return false;
    keepToThisThread(*api);
    auto fluid = std::make_unique<Fluid>(*api);
    fluid->settings = api->new_fluid_settings();
    if (!fluid->settings)
        return false;
    api->fluid_settings_setnum(fluid->settings, "synth.sample-rate", kSampleRate);
    api->fluid_settings_setint(fluid->settings, "synth.threadsafe-api", 0);
    fluid->synth = api->new_fluid_synth(fluid->settings);
    if (!fluid->synth) {
        logf(LogCategory::Host, "host: the MIDI synthesiser cannot start; MIDI plays silent");
        return false;
    }
    for (const std::string& path : m_soundFonts) {
        std::error_code error;
        if (!std::filesystem::is_regular_file(path, error))
            continue;
        if (api->fluid_synth_sfload(fluid->synth, path.c_str(), 1) != FLUID_FAILED) {
            m_fluid = std::move(fluid);
            return true;
        }
    }
    std::string looked;
    for (const std::string& path : m_soundFonts)
        looked += (looked.empty() ? "" : ", ") + path;
    logf(LogCategory::Host, "host: no General MIDI sound font (looked for %s); MIDI plays silent",
         looked.empty() ? "none" : looked.c_str());
    return false;
}

PcmSound MidiSynth::render(const MidiSong& song) {
    std::lock_guard guard(m_lock);
    PcmSound sound;
    if (!ensureSynth()) {
        sound.format = PcmFormat{1, kSilentSampleRate, 16};
        sound.pcm.assign(frameAt(song.durationMicroseconds, kSilentSampleRate) * 2, 0);
        return sound;
    }
    sound.format = PcmFormat{2, kSampleRate, 16};
    std::uint64_t total = frameAt(song.durationMicroseconds, kSampleRate);
    sound.pcm.assign(total * 4, 0);
    auto* samples = reinterpret_cast<std::int16_t*>(sound.pcm.data());
    const FluidApi& api = m_fluid->api;
    keepToThisThread(api);
    fluid_synth_t* synth = m_fluid->synth;
    api.fluid_synth_system_reset(synth);

    std::uint64_t rendered = 0;
    auto renderTo = [&](std::uint64_t frame) {
        frame = std::min(frame, total);
        while (rendered < frame) {
            int step = static_cast<int>(std::min(kRenderStep, frame - rendered));
            api.fluid_synth_write_s16(synth, step, samples, static_cast<int>(rendered * 2), 2, samples,
                                      static_cast<int>(rendered * 2 + 1), 2);
            rendered += static_cast<std::uint64_t>(step);
        }
    };
    // `fluid_synth_write_s16` takes int offsets; ten minutes of stereo fits easily.
    for (const MidiMessage& message : song.messages) {
        renderTo(frameAt(message.microseconds, kSampleRate));
        int channel = message.status & 0x0F;
        switch (message.status & 0xF0) {
        case 0x80:
            api.fluid_synth_noteoff(synth, channel, message.data1);
            break;
        case 0x90:
            if (message.data2 == 0)
                api.fluid_synth_noteoff(synth, channel, message.data1);
            else
                api.fluid_synth_noteon(synth, channel, message.data1, message.data2);
            break;
        case 0xA0:
            api.fluid_synth_key_pressure(synth, channel, message.data1, message.data2);
            break;
        case 0xB0:
            api.fluid_synth_cc(synth, channel, message.data1, message.data2);
            break;
        case 0xC0:
            api.fluid_synth_program_change(synth, channel, message.data1);
            break;
        case 0xD0:
            api.fluid_synth_channel_pressure(synth, channel, message.data1);
            break;
        case 0xE0:
            api.fluid_synth_pitch_bend(synth, channel, message.data2 << 7 | message.data1);
            break;
        }
    }
    renderTo(total);
    return sound;
}

} // namespace host
