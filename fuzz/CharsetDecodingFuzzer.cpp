// Decodes the input's bytes (after a first byte that picks the charset) into a
// `String`, and checks what the decoders promise: no read outside the bytes
// (the sanitizers watch an exactly sized copy), never more units than bytes,
// the same text through the runtime's `String` constructor, and for UTF-8 a
// round trip through the modified UTF-8 encoding that changes nothing.

#include "fuzz/Harness.h"
#include "host/Log.h"
#include "runtime/Runtime.h"
#include "runtime/String.h"
#include "runtime/charsets.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

struct Quiet final : host::LogSink {
    void write(host::LogCategory, std::string_view) override {}
};

using fuzzing::check;

const char16_t* const kCharsetNames[] = {u"UTF-8", u"utf8", u"ISO-8859-1", u"SJIS", u"KOI8-R"};
constexpr rt::Charset kCharsets[] = {rt::Charset::Utf8, rt::Charset::Utf8, rt::Charset::Iso8859_1,
                                     rt::Charset::Sjis, rt::Charset::Iso8859_1};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    Quiet quiet;
    host::LogSink* previous = host::setLogSink(&quiet);
    {
        std::size_t pick = data[0] % std::size(kCharsets);
        std::size_t length = size - 1;
        auto exact = std::make_unique<std::uint8_t[]>(length);
        std::copy(data + 1, data + size, exact.get());

        std::u16string units;
        rt::decodeBytes(std::span(exact.get(), length), kCharsets[pick], units);
        check(units.size() <= length);
        check(length == 0 || !units.empty());

        // The objects below are held only by this frame, which no collection
        // scans: a full buffer heap falls back to the process heap instead.
        rt::Runtime runtime{rt::RuntimeOptions{1 << 16, 1 << 16}};
        runtime.bufferHeap().setFailureHandler(nullptr);
        rt::ByteArray* bytes = rt::newByteArray(static_cast<std::int32_t>(length));
        std::copy(exact.get(), exact.get() + length, reinterpret_cast<std::uint8_t*>(bytes->elements()));
        rt::String* text = rt::make<rt::String>(bytes, rt::make<rt::String>(kCharsetNames[pick]));
        check(text->view() == units);
        check(text->units()[text->length()] == 0);

        if (kCharsets[pick] == rt::Charset::Utf8) {
            std::string encoded(rt::modifiedUtf8Length(units), '\0');
            rt::encodeModifiedUtf8(units, reinterpret_cast<std::uint8_t*>(encoded.data()));
            std::u16string again;
            rt::decodeBytes(std::span(reinterpret_cast<const std::uint8_t*>(encoded.data()), encoded.size()),
                            rt::Charset::Utf8, again);
            check(again == units);
        }
    }
    host::setLogSink(previous);
    return 0;
}
