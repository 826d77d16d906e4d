#include "platform/media/SoundPlayerWAVE.h"

#include "platform/media/MediaServices.h"
#include "runtime/Exceptions.h"
#include "runtime/checks.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

constexpr int kDevice = 0;

// A 16.16 device rate as a rate in thousandths of a percent, within the player's limits.
std::int32_t rateFromDevice(std::uint32_t deviceRate) {
    double fraction = std::clamp(deviceRate / 65536.0, 0.5, 2.0);
    return static_cast<std::int32_t>(fraction * 100000);
}

} // namespace

SoundPlayerWAVE::SoundPlayerWAVE(std::span<const std::uint8_t> bytes)
    : Object(kClassId)
    , m_soundFileData(bytes.begin(), bytes.end())
    , m_dataLength(static_cast<std::int32_t>(bytes.size())) {
}

SoundPlayerWAVE::~SoundPlayerWAVE() {
    m_duringCollection = true;
    closePlayer();
}

void* SoundPlayerWAVE::getInterface(rt::ClassId interfaceId) {
    void* view = playerView(this, interfaceId);
    return view ? view : Object::getInterface(interfaceId);
}

std::int32_t SoundPlayerWAVE::readHeader(std::uint8_t (&header)[kCanonicalWaveHeader]) {
    if (m_soundFileData.size() < kCanonicalWaveHeader)
        return 0;
    std::memcpy(header, m_soundFileData.data(), kCanonicalWaveHeader);
    return 1;
}

std::int32_t SoundPlayerWAVE::parseFormat() {
    std::uint8_t header[kCanonicalWaveHeader];
    if (!readHeader(header) || std::memcmp(header, "RIFF", 4) != 0)
        return 0;
    std::optional<WaveLayout> layout = parseWave(m_soundFileData);
    if (!layout)
        return 0;
    m_waveFormat = layout->format;
    m_pcmOffset = layout->dataOffset;
    m_pcmLength = static_cast<std::int32_t>(layout->dataLength);
    m_duration = waveDurationMicroseconds(m_waveFormat, layout->dataLength);
    return 1;
}

std::int32_t SoundPlayerWAVE::readSoundFilePcmData(std::vector<std::uint8_t>& pcm) {
    if (m_soundFileData.empty()) {
        rt::logPrintf("SoundPlayerWAVE::readSoundFilePcmData(): m_pSoundFileData == NULL\n");
        return -1;
    }
    if (m_pcmLength <= 0) {
        rt::logPrintf("SoundPlayerWAVE::readSoundFilePcmData(): m_pcmDataLength <= 0\n");
        return -1;
    }
    auto first = m_soundFileData.begin() + static_cast<std::ptrdiff_t>(m_pcmOffset);
    pcm.assign(first, first + m_pcmLength);
    return m_pcmLength;
}

void SoundPlayerWAVE::realize() {
    if (m_state.load() != kPlayerUnrealized)
        return;
    if (!parseFormat())
        return;
    m_headerLoops = static_cast<std::uint32_t>(m_loopCount);
    m_loopCount = 1;
    std::vector<std::uint8_t> pcm;
    std::int32_t length = readSoundFilePcmData(pcm);
    if (length == -1) {
        rt::logPrintf("SoundPlayerWAVE::realize(): readSoundFilePcmData returned -1.\n");
        return;
    }
    m_pcm = std::move(pcm);
    m_pcmLength = length;
    m_soundFileData = {};
    m_soundFileData.shrink_to_fit();

    host::Audio* audio = mediaServices().audio;
    HostCall call(m_duringCollection);
    if (!audio || audio->deviceCount() == 0)
        return;
    // The device takes uncompressed PCM only, in whole frames of its own size.
    host::PcmFormat format{m_waveFormat.channels, m_waveFormat.samplesPerSec, m_waveFormat.bitsPerSample};
    if (m_waveFormat.formatTag == kWaveFormatPcm && host::checkPcmFormat(format).ok()) {
        m_pcm.resize(m_pcm.size() - m_pcm.size() % format.blockAlign());
        std::atomic<std::int32_t>* state = &m_state;
        auto device = audio->open(kDevice, format, [state] {
            std::int32_t started = kPlayerStarted;
            state->compare_exchange_strong(started, kPlayerPrefetched);
        });
        if (device.ok()) {
            m_device = std::move(device).value();
            m_state.store(kPlayerRealized);
        }
    }
    auto caps = audio->caps(kDevice);
    if (caps.ok() && caps.value().volume)
        m_volumeSupported = true;
}

void SoundPlayerWAVE::prefetch() {
    if (m_state.load() == kPlayerUnrealized)
        realize();
    if (m_state.load() != kPlayerRealized)
        return;
    m_prepared = true;
    if (m_volumeSupported) {
        HostCall call(m_duringCollection);
        m_savedVolume = m_device->volume();
        m_level = static_cast<std::int32_t>((m_savedVolume & 0xFFFF) * 100 / 65535);
    }
    m_state.store(kPlayerPrefetched);
}

void SoundPlayerWAVE::start() {
    if (m_state.load() == kPlayerUnrealized)
        realize();
    if (m_state.load() == kPlayerRealized)
        prefetch();
    if (m_state.load() != kPlayerPrefetched || m_muted)
        return;
    HostCall call(m_duringCollection);
    // Set first: the completion of a short sound may come before `write` returns.
    m_state.store(kPlayerStarted);
    if (!m_device->write(m_pcm, m_headerLoops).ok())
        m_state.store(kPlayerPrefetched);
}

void SoundPlayerWAVE::stop() {
    if (m_state.load() != kPlayerStarted)
        return;
    HostCall call(m_duringCollection);
    m_device->reset();
    m_state.store(kPlayerPrefetched);
}

void SoundPlayerWAVE::deallocate() {
    if (m_state.load() != kPlayerPrefetched)
        return;
    m_prepared = false;
    m_state.store(kPlayerRealized);
}

void SoundPlayerWAVE::close() {
    closePlayer();
}

void SoundPlayerWAVE::closePlayer() {
    if (m_state.load() == kPlayerClosed)
        return;
    stop();
    if (m_device) {
        HostCall call(m_duringCollection);
        if (m_volumeSupported)
            m_device->setVolume(m_savedVolume);
        deallocate();
        // Closing the device ends the use of the PCM block, so it goes after.
        m_device.reset();
    }
    m_pcm = {};
    m_soundFileData = {};
    m_pcmLength = 0;
    m_state.store(kPlayerClosed);
}

std::int64_t SoundPlayerWAVE::setMediaTime(std::int64_t now) {
    if (now > 0) {
        rt::logPrintf("WARNING: setMediaTime(long64 now) not implemented for now > 0\n");
    } else if (m_device) {
        HostCall call(m_duringCollection);
        m_device->restart();
    }
    return now;
}

std::int64_t SoundPlayerWAVE::getMediaTime() {
    if (m_state.load() == kPlayerClosed)
        return rt::raise(rt::ClassId::java_lang_IllegalStateException);
    if (!m_device)
        return -1;
    HostCall call(m_duringCollection);
    return std::int64_t{m_device->positionMilliseconds()} * 1000;
}

std::int64_t SoundPlayerWAVE::getDuration() {
    if (m_state.load() == kPlayerClosed)
        return rt::raise(rt::ClassId::java_lang_IllegalStateException);
    return m_duration;
}

rt::String* SoundPlayerWAVE::getContentType() {
    std::int32_t state = m_state.load();
    if (state == kPlayerClosed || state == kPlayerUnrealized)
        return rt::raise(rt::ClassId::java_lang_IllegalStateException);
    return rt::String::newFromCString(contentType());
}

void SoundPlayerWAVE::setLoopCount(std::int32_t count) {
    m_loopCount = count < 0 ? kLoopForever : count == 0 ? 1 : count;
}

rt::Object* SoundPlayerWAVE::getControl(rt::String* controlType) {
    return controlByName(this, controlType, true);
}

std::int32_t SoundPlayerWAVE::setLevel(std::int32_t level) {
    std::int32_t previous = m_level;
    m_level = std::clamp(level, 0, 100);
    if (m_volumeSupported && m_device) {
        // Both halves of the word: left and right alike.
        auto half = static_cast<std::uint32_t>(m_level) * 65535 / 100;
        HostCall call(m_duringCollection);
        m_device->setVolume(half | half << 16);
    }
    return previous;
}

std::int32_t SoundPlayerWAVE::getRate() {
    if (!m_device)
        return -1;
    HostCall call(m_duringCollection);
    return rateFromDevice(m_device->playbackRate());
}

std::int32_t SoundPlayerWAVE::setRate(std::int32_t rate) {
    if (!m_device || rate < 0)
        return -1;
    HostCall call(m_duringCollection);
    std::uint32_t before = m_device->playbackRate();
    double fraction = std::clamp(rate / 100000.0, 0.5, 2.0);
    if (!m_device->setPlaybackRate(static_cast<std::uint32_t>(fraction * 65536 + 0.5)).ok())
        return -1;
    return rateFromDevice(before);
}

} // namespace platform
