#include "host/media/AmrDecoder.h"

#include <opencore-amrnb/interf_dec.h>

#include <cstring>
#include <memory>

namespace host {

namespace {

constexpr char kMagic[] = "#!AMR\n";
constexpr std::size_t kMagicLength = sizeof(kMagic) - 1;

// Bytes of speech bits after the header byte, by frame type (the header's bits 3..6).
constexpr std::uint8_t kFrameBytes[16] = {12, 13, 15, 17, 19, 20, 26, 31, 5, 6, 5, 5, 0, 0, 0, 0};

struct DecoderDeleter {
    void operator()(void* state) const { Decoder_Interface_exit(state); }
};

} // namespace

bool isAmrFile(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= kMagicLength && std::memcmp(bytes.data(), kMagic, kMagicLength) == 0;
}

Result<PcmSound> decodeAmr(std::span<const std::uint8_t> bytes) {
    if (!isAmrFile(bytes))
        return Error::withMessage("amr: not an AMR-NB file");
    std::unique_ptr<void, DecoderDeleter> decoder(Decoder_Interface_init());
    if (!decoder)
        return Error::withMessage("amr: the decoder cannot start");

    PcmSound sound;
    sound.format = PcmFormat{1, kAmrSampleRate, 16};
    std::int16_t frame[kAmrFrameSamples];
    // The decoder may read a whole frame of its largest size whatever the
    // header says; each frame is copied into room that holds one.
    std::uint8_t packet[1 + 31];
    for (std::size_t at = kMagicLength; at < bytes.size();) {
        std::size_t size = 1 + kFrameBytes[(bytes[at] >> 3) & 0x0F];
        if (size > bytes.size() - at)
            break;
        std::memset(packet, 0, sizeof packet);
        std::memcpy(packet, bytes.data() + at, size);
        Decoder_Interface_Decode(decoder.get(), packet, frame, 0);
        auto* raw = reinterpret_cast<const std::uint8_t*>(frame);
        sound.pcm.insert(sound.pcm.end(), raw, raw + sizeof frame);
        at += size;
    }
    return sound;
}

} // namespace host
