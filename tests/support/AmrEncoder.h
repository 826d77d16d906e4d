#pragma once

// AMR-NB files made in tests with the encoder of the library the host
// decodes with: the "#!AMR\n" header, then one 12.2 kbit/s frame per 160
// samples of 8 kHz mono.

#include <opencore-amrnb/interf_enc.h>

#include <cstdint>
#include <vector>

namespace testing_support {

inline std::vector<std::uint8_t> encodeAmr(const std::vector<std::int16_t>& samples) {
    std::vector<std::uint8_t> file = {'#', '!', 'A', 'M', 'R', '\n'};
    void* encoder = Encoder_Interface_init(0);
    unsigned char frame[64];
    for (std::size_t at = 0; at + 160 <= samples.size(); at += 160) {
        int size = Encoder_Interface_Encode(encoder, MR122, samples.data() + at, frame, 0);
        file.insert(file.end(), frame, frame + size);
    }
    Encoder_Interface_exit(encoder);
    return file;
}

} // namespace testing_support
