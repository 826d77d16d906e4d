// The LZMA unpacker against payloads that liblzma encodes (through datakit),
// and against payloads that are corrupt in each way an entry can be.

#include "game/data/Lzma.h"
#include "classlib/io/ByteArrayInputStream.h"
#include "game/framework/OrvelLibConfig.h"
#include "runtime/Exceptions.h"
#include "runtime/Object.h"
#include "tests/classlib/ClassLibraryFixture.h"
#include "tests/game/framework/FrameworkFixture.h"
#include "tools/datakit/LzmaWriter.h"

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

using datakit::Bytes;

Bytes randomBytes(std::size_t size, std::uint32_t seed) {
    std::mt19937 random(seed);
    Bytes out(size);
    for (std::uint8_t& b : out)
        b = static_cast<std::uint8_t>(random());
    return out;
}

// Sentences of a small vocabulary: many short and long-distance matches.
Bytes text(std::size_t size) {
    static const char* const kWords[] = {"the",    "racer",  "takes",      "a",    "tight",  "bend",
                                         "near",   "Vorlax", "harbour",    "and",  "boost",  "lap",
                                         "record", "falls",  "at",         "dusk", "engine", "roars",
                                         "over",   "dunes",  "checkpoint", "ahead"};
    std::mt19937 random(22);
    std::string out;
    while (out.size() < size) {
        out += kWords[random() % std::size(kWords)];
        out += random() % 9 == 0 ? ".\n" : " ";
    }
    out.resize(size);
    return Bytes(out.begin(), out.end());
}

// A short pattern repeated with a rare changed byte: long matches and reps.
Bytes repetitive(std::size_t size) {
    Bytes out(size);
    for (std::size_t i = 0; i < size; ++i)
        out[i] = static_cast<std::uint8_t>(i % 37 == 0 && i % 1000 < 37 ? i / 1000 : "pit stop "[i % 9]);
    return out;
}

struct LzmaTest : framework_testing::FrameworkTest {
    LzmaTest() {
        game::OrvelLibConfig::staticInit();
        game::config().s_packLzma = 1;
    }

    // Unpacks the first `payloadLength` bytes of a stream over `bytes`, which
    // may hold more; answers the output (null on failure) and checks that the
    // unpacker let go of its working arrays and read no further.
    static rt::ByteArray* unpack(const Bytes& bytes, std::int32_t payloadLength) {
        auto* in = streamOver(bytes);
        game::lzmaUnpack(in, payloadLength);
        game::LzmaStatics& statics = game::lzmaStatics();
        EXPECT_FALSE(rt::exceptionPending());
        EXPECT_EQ(statics.s_lzmaProbs, nullptr);
        EXPECT_EQ(statics.s_lzmaInput, nullptr);
        EXPECT_GE(in->available(), static_cast<std::int32_t>(bytes.size()) - std::max(payloadLength, 0));
        return statics.s_lzmaOutput;
    }
    static lib::java_io_ByteArrayInputStream* streamOver(const Bytes& bytes) {
        rt::ByteArray* array = rt::newByteArray(static_cast<std::int32_t>(bytes.size()));
        if (!bytes.empty())
            std::memcpy(array->elements(), bytes.data(), bytes.size());
        return rt::make<lib::java_io_ByteArrayInputStream>(array);
    }
    static Bytes contents(rt::ByteArray* array) {
        std::span<std::int8_t> elements = rt::ByteArray::span(array);
        return Bytes(elements.begin(), elements.end());
    }
};

TEST_F(LzmaTest, LiblzmaPayloadsUnpackExactlyForEveryContextSetting) {
    struct Case {
        const char* name;
        Bytes data;
        std::uint32_t lc, lp, pb;
        bool endMarker;
    };
    const Case cases[] = {
        {"random", randomBytes(70000, 1), 3, 0, 2, true},
        {"random without marker", randomBytes(5000, 2), 0, 2, 0, false},
        {"text", text(300000), 3, 0, 2, true},
        {"text lc0", text(40000), 0, 0, 0, false},
        {"text lc4 pb4", text(40000), 4, 0, 4, true},
        {"text lp3", text(40000), 1, 3, 1, false},
        {"text lp4", text(40000), 0, 4, 2, true},
        {"repetitive", repetitive(200000), 2, 2, 3, false},
        {"repetitive default", repetitive(200000), 3, 0, 2, true},
        // About the most bytes per packed byte an encoder reaches.
        {"one byte value", Bytes(16 << 20, 0), 3, 0, 2, false},
        {"one byte", Bytes{0x5A}, 3, 0, 2, false},
        {"empty", Bytes{}, 3, 0, 2, true},
        {"empty without marker", Bytes{}, 3, 0, 2, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        datakit::LzmaWriter writer{.lc = c.lc, .lp = c.lp, .pb = c.pb, .endMarker = c.endMarker};
        Bytes payload = writer.write(c.data);
        auto length = static_cast<std::int32_t>(payload.size());
        // Bytes of the next entry behind the payload stay unread.
        Bytes followed = payload;
        followed.insert(followed.end(), {1, 2, 3});
        EXPECT_EQ(contents(unpack(followed, length)), c.data);

        // Without a marker the stream ends with its last symbol's bits and
        // the encoder's flush, whose final byte no bit may need: two bytes
        // less is a stream cut short.
        if (!c.endMarker && !c.data.empty()) {
            EXPECT_EQ(unpack(payload, length - 2), nullptr);
        }
    }
}

TEST_F(LzmaTest, CorruptPayloadsAnswerNullWithOneLogLine) {
    const Bytes data = text(20000);
    const Bytes good = datakit::LzmaWriter{}.write(data);
    const auto goodLength = static_cast<std::int32_t>(good.size());
    auto patched = [&](std::size_t at, std::initializer_list<std::uint8_t> bytes) {
        Bytes out = good;
        std::copy(bytes.begin(), bytes.end(), out.begin() + static_cast<std::ptrdiff_t>(at));
        return out;
    };
    auto sizeField = [&](std::uint32_t size) {
        return patched(5, {static_cast<std::uint8_t>(size), static_cast<std::uint8_t>(size >> 8),
                           static_cast<std::uint8_t>(size >> 16), static_cast<std::uint8_t>(size >> 24)});
    };
    struct Case {
        const char* name;
        Bytes bytes;
        std::int32_t payloadLength;
        const char* logged;
    };
    const Case cases[] = {
        {"properties byte 225", patched(0, {225}), goodLength, "properties byte 225"},
        {"properties byte 255", patched(0, {255}), goodLength, "properties byte 255"},
        {"size beyond the bound", sizeField((64u << 20) + 1), goodLength, "exceed the bound"},
        {"size unknown", patched(5, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}), goodLength,
         "exceed the bound"},
        {"size more than the stream can hold",
         sizeField(static_cast<std::uint32_t>(goodLength - game::kLzmaHeaderSize) *
                       game::kLzmaMostPerPackedByte +
                   1),
         goodLength, "cannot be packed into"},
        // The decoder meets the end marker, a distance before the first byte.
        {"size one past the data", sizeField(static_cast<std::uint32_t>(data.size()) + 1), goodLength,
         "is corrupt"},
        {"stream cut in half", good, goodLength / 2, "is corrupt"},
        {"payload longer than the stream", good, goodLength + 100, "stream ends before"},
        {"payload shorter than the header", good, 12, "holds no header"},
        {"stream ends inside the header", Bytes(good.begin(), good.begin() + 8), goodLength,
         "inside the header"},
        // All one bits: the first symbol is a rep match, with nothing before it.
        {"rep match at the start",
         Bytes{93, 0, 0, 1, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
         22, "is corrupt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        log.clear();
        EXPECT_EQ(unpack(c.bytes, c.payloadLength), nullptr);
        EXPECT_EQ(log.lines().size(), 1u);
        EXPECT_TRUE(log.contains(c.logged));
    }
}

TEST_F(LzmaTest, SwitchedOffItReadsNothingAndAnswersNull) {
    game::config().s_packLzma = 0;
    Bytes payload = datakit::LzmaWriter{}.write(text(1000));
    auto* in = streamOver(payload);
    game::lzmaUnpack(in, static_cast<std::int32_t>(payload.size()));
    EXPECT_EQ(game::lzmaStatics().s_lzmaOutput, nullptr);
    EXPECT_EQ(in->available(), static_cast<std::int32_t>(payload.size()));
}

TEST_F(LzmaTest, AnExceptionOfTheStreamIsDroppedByTheFullReadAndAnswersNull) {
    const Bytes payload = datakit::LzmaWriter{}.write(text(500));
    for (int failAt : {3, 40}) { // in the header, in the packed bytes
        SCOPED_TRACE(failAt);
        auto* in = rt::make<testing_support::ScriptedInputStream>(payload);
        in->m_failAt = failAt;
        log.clear();
        game::lzmaUnpack(in, static_cast<std::int32_t>(payload.size()));
        EXPECT_FALSE(rt::exceptionPending());
        EXPECT_TRUE(log.contains("lzmaUnpack: the stream ends"));
        const game::LzmaStatics& statics = game::lzmaStatics();
        EXPECT_EQ(statics.s_lzmaOutput, nullptr);
        EXPECT_EQ(statics.s_lzmaProbs, nullptr);
        EXPECT_EQ(statics.s_lzmaInput, nullptr);
    }
}

TEST_F(LzmaTest, DecodeProducesNothingWithoutRoomForItsProbabilities) {
    // Properties byte 93: lc 3, lp 0, pb 2.
    const Bytes data = text(3000);
    const Bytes payload = datakit::LzmaWriter{}.write(data);
    const std::int32_t needed = game::lzmaProbabilityCount(3, 0);
    ASSERT_EQ(needed, 7990);
    rt::ByteArray* input = rt::newByteArray(static_cast<std::int32_t>(payload.size() - 13));
    std::memcpy(input->elements(), payload.data() + 13, payload.size() - 13);

    struct Case {
        std::int32_t probabilityBytes;
        std::int32_t arrayLength;
        std::int32_t outputLength;
        bool decodes;
    };
    const auto size = static_cast<std::int32_t>(data.size());
    const Case cases[] = {
        {2 * needed, needed, size, true},
        {2 * needed - 1, needed, size, false},
        {2 * needed, needed - 1, size, false},
        {2 * needed, needed, size - 1, false},
    };
    game::LzmaStatics& statics = game::lzmaStatics();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.probabilityBytes);
        statics.s_lzmaProbs = rt::newShortArray(c.arrayLength);
        statics.s_lzmaOutput = rt::newByteArray(c.outputLength);
        EXPECT_EQ(game::lzmaDecode(c.probabilityBytes, 3, 0, 2, input, size), c.decodes);
        Bytes out = contents(statics.s_lzmaOutput);
        if (c.decodes) {
            EXPECT_EQ(out, data);
        } else {
            EXPECT_EQ(std::count(out.begin(), out.end(), 0), c.outputLength);
        }
    }
}

} // namespace
