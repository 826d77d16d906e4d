#include "host/sdl/SdlAudio.h"

#include "host/Log.h"
#include "host/headless/HeadlessAudio.h"
#include "host/sdl/SdlLibrary.h"
#include "host/system/AudioMixer.h"

#include <dlfcn.h>

namespace host {

namespace {

// The mix is made at this rate; SDL converts it to the device's own.
constexpr int kOutputRate = 44100;
constexpr Uint16 kBlockFrames = 1024;

class SdlAudio final : public Audio {
public:
    // With SDL's audio subsystem initialised; `openDevice` completes it.
    SdlAudio()
        : m_mixer(kOutputRate) {}

    ~SdlAudio() override {
        if (m_device != 0)
            sdl().SDL_CloseAudioDevice(m_device);
        sdl().SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    // Opens the output and starts it; false, with SDL's error set, when it cannot.
    bool openDevice() {
        SDL_AudioSpec want{};
        want.freq = kOutputRate;
        want.format = AUDIO_S16SYS;
        want.channels = 2;
        want.samples = kBlockFrames;
        want.callback = &SdlAudio::fill;
        want.userdata = this;
        m_device = sdl().SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
        if (m_device == 0)
            return false;
        sdl().SDL_PauseAudioDevice(m_device, 0);
        return true;
    }

    int deviceCount() override { return 1; }

    Result<AudioCaps> caps(int device) override {
        if (device != 0)
            return Error::withMessage("audio: no device " + std::to_string(device));
        return AudioCaps{true, true};
    }

    Result<std::unique_ptr<AudioStream>> open(int device, const PcmFormat& format,
                                              Completion onDone) override {
        if (device != 0)
            return Error::withMessage("audio: no device " + std::to_string(device));
        HOST_TRY(checkPcmFormat(format));
        return m_mixer.open(format, std::move(onDone));
    }

    std::uint32_t masterVolume() override { return m_mixer.masterVolume(); }
    void setMasterVolume(std::uint32_t volume) override { m_mixer.setMasterVolume(volume); }

private:
    // SDL's audio thread asks for the next block here.
    static void fill(void* self, Uint8* stream, int length) {
        auto* samples = reinterpret_cast<std::int16_t*>(stream);
        static_cast<SdlAudio*>(self)->m_mixer.mix(
            std::span<std::int16_t>(samples, static_cast<std::size_t>(length) / 2));
    }

    AudioMixer m_mixer;
    SDL_AudioDeviceID m_device = 0;
};

// ALSA's own error handler writes several lines to standard error when it
// finds no sound card; the host says it in one line of its own instead.
// SDL opens the same library, which stays loaded, so the handler holds for it.
void silentAlsaError(const char*, int, const char*, int, const char*, ...) {
}

void quietAlsa() {
    void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_GLOBAL);
    if (!alsa)
        return;
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    using SetHandler = int (*)(Handler);
    if (auto set = reinterpret_cast<SetHandler>(dlsym(alsa, "snd_lib_error_set_handler")))
        set(&silentAlsaError);
}

void sayNoSound() {
    logFailuref(LogCategory::Host, "host: no sound output (%s); the game plays on without sound",
                sdl().SDL_GetError());
}

} // namespace

std::unique_ptr<Audio> makeSdlAudio(const std::string& driver, Clock& clock, Threads& threads) {
    if (auto loaded = ensureSdl(); !loaded) {
        logFailuref(LogCategory::Host, "host: no sound output (%s); the game plays on without sound",
                    loaded.error().message.c_str());
        return std::make_unique<HeadlessAudio>(clock, threads);
    }
    if (!driver.empty())
        sdl().SDL_SetHint(SDL_HINT_AUDIODRIVER, driver.c_str());
    quietAlsa();
    if (sdl().SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
        auto audio = std::make_unique<SdlAudio>();
        if (audio->openDevice())
            return audio;
        sayNoSound(); // before the subsystem goes, which clears SDL's error
    } else {
        sayNoSound();
    }
    // What cannot be heard plays on the clock all the same.
    return std::make_unique<HeadlessAudio>(clock, threads);
}

} // namespace host
