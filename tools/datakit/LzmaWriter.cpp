#include "tools/datakit/LzmaWriter.h"

#include "runtime/Verify.h"

#include <lzma.h>

namespace datakit {

namespace {

constexpr std::size_t kHeaderSize = 13;

// Runs `stream` (set up for one encoder) over `data` to its end into a
// buffer large enough for incompressible data; answers the bytes it wrote.
Bytes encodeAll(lzma_stream& stream, std::span<const std::uint8_t> data) {
    Bytes out(data.size() + data.size() / 16 + 4096);
    stream.next_in = data.data();
    stream.avail_in = data.size();
    stream.next_out = out.data();
    stream.avail_out = out.size();
    lzma_ret result = lzma_code(&stream, LZMA_FINISH);
    RT_VERIFY_MSG(result == LZMA_STREAM_END && stream.avail_in == 0,
                  "liblzma did not encode all of the data");
    out.resize(stream.total_out);
    lzma_end(&stream);
    return out;
}

} // namespace

Bytes LzmaWriter::write(std::span<const std::uint8_t> data) const {
    lzma_options_lzma options{};
    RT_VERIFY_MSG(!lzma_lzma_preset(&options, preset), "unknown liblzma preset");
    options.lc = lc;
    options.lp = lp;
    options.pb = pb;
    options.dict_size = dictionarySize;

    lzma_stream stream = LZMA_STREAM_INIT;
    ByteWriter payload;
    if (endMarker) {
        RT_VERIFY_MSG(lzma_alone_encoder(&stream, &options) == LZMA_OK, "liblzma refused the options");
        Bytes file = encodeAll(stream, data);
        RT_VERIFY(file.size() >= kHeaderSize);
        payload.bytes(std::span(file).first(5));
        payload.i64(ByteOrder::Little, static_cast<std::int64_t>(data.size()));
        payload.bytes(std::span(file).subspan(kHeaderSize));
    } else {
        // MicroLZMA is the bare stream without a marker, its first byte (always
        // 0 in a range coder's output) replaced by the negated properties.
        RT_VERIFY_MSG(lzma_microlzma_encoder(&stream, &options) == LZMA_OK, "liblzma refused the options");
        Bytes raw = encodeAll(stream, data);
        RT_VERIFY(!raw.empty());
        payload.u8(properties());
        payload.u32(ByteOrder::Little, dictionarySize);
        payload.i64(ByteOrder::Little, static_cast<std::int64_t>(data.size()));
        payload.u8(0);
        payload.bytes(std::span(raw).subspan(1));
    }
    return std::move(payload).take();
}

} // namespace datakit
