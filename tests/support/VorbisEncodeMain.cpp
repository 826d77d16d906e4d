// vorbis_encode CHANNELS RATE IN OUT: encodes IN (interleaved signed 16-bit
// little-endian samples) as Ogg Vorbis into OUT, with the reference encoder.
//
// A program of its own because the reference library and the integer decoder
// the platform links export the same symbol names: in one process one of
// them would call into the other.

#include <ogg/ogg.h>
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 5)
        return 2;
    int channels = std::atoi(argv[1]);
    long rate = std::atol(argv[2]);
    std::ifstream in(argv[3], std::ios::binary);
    std::vector<char> raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::ofstream out(argv[4], std::ios::binary);
    if (!in || !out || channels < 1 || rate <= 0)
        return 2;
    auto append = [&out](const ogg_page& page) {
        out.write(reinterpret_cast<const char*>(page.header), page.header_len);
        out.write(reinterpret_cast<const char*>(page.body), page.body_len);
    };

    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, channels, rate, 0.2f) != 0)
        return 1;
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 1);

    ogg_packet header, commentHeader, codeHeader;
    vorbis_analysis_headerout(&dsp, &comment, &header, &commentHeader, &codeHeader);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &commentHeader);
    ogg_stream_packetin(&stream, &codeHeader);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page))
        append(page);

    long frames = static_cast<long>(raw.size() / 2 / static_cast<std::size_t>(channels));
    constexpr long kChunk = 1024;
    for (long at = 0, ended = 0; !ended;) {
        long count = std::min(kChunk, frames - at);
        if (count > 0) {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(count));
            for (long i = 0; i < count; ++i) {
                for (int c = 0; c < channels; ++c) {
                    std::size_t byte = static_cast<std::size_t>(((at + i) * channels + c) * 2);
                    auto sample = static_cast<std::int16_t>(static_cast<std::uint8_t>(raw[byte]) |
                                                            static_cast<std::uint8_t>(raw[byte + 1]) << 8);
                    buffer[c][i] = sample / 32768.0f;
                }
            }
            vorbis_analysis_wrote(&dsp, static_cast<int>(count));
            at += count;
        } else {
            vorbis_analysis_wrote(&dsp, 0);
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page)) {
                    append(page);
                    ended = ended || ogg_page_eos(&page);
                }
            }
        }
    }

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out ? 0 : 1;
}
