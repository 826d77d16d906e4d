// The game's stream readers: little-endian numbers, the counters, and the
// failures they swallow (or leave pending) and the stalls they survive.

#include "game/framework/Streams.h"
#include "game/framework/OrvelLibConfig.h"
#include "tests/classlib/ClassLibraryFixture.h"
#include "tests/game/framework/FrameworkFixture.h"

namespace {

using framework_testing::FrameworkTest;
using testing_support::byteArray;
using testing_support::ScriptedInputStream;

// A stream that has bytes yet never hands them out: block reads and skips
// bring nothing, single reads answer 0.
struct StalledStream final : lib::java_io_InputStream {
    StalledStream()
        : java_io_InputStream(rt::ClassId::java_io_InputStream) {}
    using java_io_InputStream::read;
    std::int32_t read(rt::ByteArray*, std::int32_t, std::int32_t) override { return 0; }
    std::int32_t read() override { return 0; }
    std::int64_t skip(std::int64_t) override { return 0; }
    std::int32_t available() override { return 1000; }
    void close() override { ++closes; }
    int closes = 0;
    RT_NO_REFERENCE_FIELDS(StalledStream, java_io_InputStream)
};

struct StreamsTest : FrameworkTest {
    StreamsTest() { game::OrvelLibConfig::staticInit(); }
    ~StreamsTest() override { rt::clearPendingException(); }
    game::StreamStatics& streams = game::streamStatics();
    ScriptedInputStream* current(std::vector<std::uint8_t> bytes, int failAt = 0) {
        auto* in = rt::make<ScriptedInputStream>(std::move(bytes));
        in->m_failAt = failAt;
        streams.s_packStream = in;
        streams.s_packPosition = 0;
        return in;
    }
};

TEST_F(StreamsTest, CurrentStreamNumbersAreLittleEndianAndEveryByteCounts) {
    current({0x44, 0x33, 0x22, 0x11, 0xFE, 0xFF, 0x80});
    EXPECT_EQ(game::readIntLE(), 0x11223344);
    EXPECT_EQ(game::readShortLE(), 0xFFFE);
    EXPECT_EQ(game::readByte(), 0x80);
    EXPECT_EQ(game::readByte(), -1); // the end, counted still
    EXPECT_EQ(streams.s_packPosition, 8);

    // A failed read is 0 (the byte stays in the stream), counted, and
    // nothing stays pending.
    current({1, 2, 3}, 2);
    EXPECT_EQ(game::readIntLE(), 0x03020001);
    EXPECT_FALSE(rt::exceptionPending());
    EXPECT_EQ(streams.s_packPosition, 4);
    // No stream: zeros, counted.
    streams.s_packStream = nullptr;
    EXPECT_EQ(game::readIntLE(), 0);
    EXPECT_EQ(streams.s_packPosition, 8);
}

TEST_F(StreamsTest, BlockReadsAnswerTheLengthAskedForWhateverCame) {
    rt::ByteArray* buf = byteArray(std::vector<std::uint8_t>(8, 0xEE));
    struct Case {
        const char* what;
        lib::java_io_InputStream* stream;
        std::vector<std::uint8_t> filled;
    };
    auto* failing = rt::make<ScriptedInputStream>(std::vector<std::uint8_t>{1, 2, 3, 4, 5});
    failing->m_failAt = 3;
    const Case cases[] = {
        {"whole",
         rt::make<ScriptedInputStream>(std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6}),
         {1, 2, 3, 4, 5}},
        {"ends early",
         rt::make<ScriptedInputStream>(std::vector<std::uint8_t>{1, 2}),
         {1, 2, 0xEE, 0xEE, 0xEE}},
        {"fails", failing, {1, 2, 0xEE, 0xEE, 0xEE}},
        {"makes no progress", rt::make<StalledStream>(), {0xEE, 0xEE, 0xEE, 0xEE, 0xEE}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::fill_n(buf->elements(), 8, static_cast<std::int8_t>(0xEE));
        streams.s_packStream = c.stream;
        streams.s_packPosition = 10;
        EXPECT_EQ(game::readFully(buf, 1, 5), 5);
        EXPECT_EQ(streams.s_packPosition, 15);
        std::vector<std::uint8_t> all = testing_support::bytesOf(buf);
        EXPECT_EQ(std::vector<std::uint8_t>(all.begin() + 1, all.begin() + 6), c.filled);
        EXPECT_FALSE(rt::exceptionPending());
    }
    // The same rules over a given stream, counted in the arrays' counter;
    // what did not come is kept as the shortfall.
    streams.s_arrayBytesRead = 0;
    EXPECT_EQ(game::streamReadFully(rt::make<StalledStream>(), buf, 0, 8), 8);
    EXPECT_EQ(streams.s_arrayBytesRead, 8);
    EXPECT_EQ(streams.s_streamShortfall, 8);
    auto* failsAtThree = rt::make<ScriptedInputStream>(std::vector<std::uint8_t>{1, 2, 3, 4, 5});
    failsAtThree->m_failAt = 3;
    EXPECT_EQ(game::streamReadFully(failsAtThree, buf, 0, 5), 5);
    EXPECT_EQ(streams.s_streamShortfall, 3);
    EXPECT_FALSE(rt::exceptionPending());
    EXPECT_EQ(
        game::streamReadFully(rt::make<ScriptedInputStream>(std::vector<std::uint8_t>{1, 2}), buf, 0, 2), 2);
    EXPECT_EQ(streams.s_streamShortfall, 0);
}

TEST_F(StreamsTest, GivenStreamReadersCountOnlyBytesReadAndLeaveExceptionsPending) {
    auto* in = rt::make<ScriptedInputStream>(std::vector<std::uint8_t>{0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF});
    streams.s_arrayBytesRead = 0;
    EXPECT_EQ(game::streamReadShort(in), 65535);
    EXPECT_EQ(game::streamReadInt(in), -2);
    EXPECT_EQ(game::streamReadByte(in), -1);
    EXPECT_EQ(streams.s_arrayBytesRead, 6);

    auto* failing = rt::make<ScriptedInputStream>(std::vector<std::uint8_t>{7});
    failing->m_failAt = 1;
    EXPECT_EQ(game::streamReadByte(failing), 0);
    EXPECT_TRUE(rt::exceptionPending());
    EXPECT_EQ(streams.s_arrayBytesRead, 6);
}

TEST_F(StreamsTest, ClosingDropsTheStreamAndItsCounter) {
    auto* in = rt::make<StalledStream>();
    streams.s_packStream = in;
    streams.s_packPosition = 42;
    game::closeStream();
    EXPECT_EQ(in->closes, 1);
    EXPECT_EQ(streams.s_packStream, nullptr);
    EXPECT_EQ(streams.s_packPosition, 0);
    game::closeStream(); // nothing open: nothing to do
}

} // namespace
