#include "classlib/io/ByteArrayInputStream.h"
#include "classlib/io/ByteArrayOutputStream.h"
#include "classlib/io/DataInputStream.h"
#include "classlib/io/DataOutputStream.h"
#include "classlib/lang/Throwable.h"
#include "tests/classlib/ClassLibraryFixture.h"
#include "tests/support/RuntimeFixtures.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

using lib::java_io_ByteArrayInputStream;
using lib::java_io_ByteArrayOutputStream;
using lib::java_io_DataInputStream;
using lib::java_io_DataOutputStream;
using rt::ClassId;
using testing_support::byteArray;
using testing_support::bytesOf;
using testing_support::ScriptedInputStream;
using testing_support::ScriptedOutputStream;

using Bytes = std::vector<std::uint8_t>;

struct DataStreamsTest : testing_support::ClassLibraryTest {
    static java_io_DataInputStream* reader(const Bytes& bytes) {
        return rt::make<java_io_DataInputStream>(rt::make<java_io_ByteArrayInputStream>(byteArray(bytes)));
    }
    // A data stream over a fresh byte stream; `written` answers what it holds.
    java_io_DataOutputStream* writer() {
        m_sink.set(rt::make<java_io_ByteArrayOutputStream>());
        return rt::make<java_io_DataOutputStream>(m_sink.get());
    }
    Bytes written() const { return bytesOf(m_sink->toByteArray()); }

    // The pending exception's class, which is then cleared; nullopt for none.
    static std::optional<ClassId> takePending() {
        rt::Object* pending = rt::getPendingException();
        if (!pending)
            return std::nullopt;
        rt::clearPendingException();
        return pending->classId();
    }

    // Off the stack, so held by a handle.
    rt::Handle<java_io_ByteArrayOutputStream> m_sink{runtime.objectManager()};
};

TEST_F(DataStreamsTest, TypedValuesRoundTripTheirExtremes) {
    java_io_DataOutputStream* out = writer();
    for (bool v : {false, true})
        out->writeBoolean(v);
    for (std::int32_t v : {-128, 127, 0})
        out->writeByte(v);
    for (std::int32_t v : {-32768, 32767, -1})
        out->writeShort(v);
    for (std::int32_t v : {0, 0xFFFF})
        out->writeChar(v);
    for (std::int32_t v : {INT32_MIN, INT32_MAX, -1, 0})
        out->writeInt(v);
    for (std::int64_t v : {INT64_MIN, INT64_MAX, std::int64_t{-1}, std::int64_t{0x80000000}})
        out->writeLong(v);
    ASSERT_FALSE(rt::exceptionPending());

    java_io_DataInputStream* in = reader(written());
    EXPECT_FALSE(in->readBoolean());
    EXPECT_TRUE(in->readBoolean());
    EXPECT_EQ(in->readByte(), -128);
    EXPECT_EQ(in->readByte(), 127);
    EXPECT_EQ(in->readUnsignedByte(), 0);
    EXPECT_EQ(in->readShort(), -32768);
    EXPECT_EQ(in->readShort(), 32767);
    EXPECT_EQ(in->readUnsignedShort(), 0xFFFF);
    EXPECT_EQ(in->readChar(), 0);
    EXPECT_EQ(in->readChar(), 0xFFFF);
    EXPECT_EQ(in->readInt(), INT32_MIN);
    EXPECT_EQ(in->readInt(), INT32_MAX);
    EXPECT_EQ(in->readInt(), -1);
    EXPECT_EQ(in->readInt(), 0);
    EXPECT_EQ(in->readLong(), INT64_MIN);
    EXPECT_EQ(in->readLong(), INT64_MAX);
    EXPECT_EQ(in->readLong(), -1);
    EXPECT_EQ(in->readLong(), 0x80000000);
    EXPECT_EQ(in->available(), 0);
    EXPECT_FALSE(rt::exceptionPending());
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(DataStreamsTest, ValuesAreBigEndian) {
    java_io_DataOutputStream* out = writer();
    out->writeLong(0x0102030405060708);
    out->writeInt(0x090A0B0C);
    out->writeShort(0x7FFF0D0E); // the low 16 bits
    out->writeByte(0x1FF);
    out->writeBoolean(true);
    out->writeChars(rt::make<rt::String>(u"A\u20AC"));
    EXPECT_EQ(written(),
              (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 0xFF, 1, 0, 0x41, 0x20, 0xAC}));

    struct Case {
        const char* name;
        Bytes bytes;
        std::function<std::int64_t(java_io_DataInputStream*)> read;
        std::int64_t value;
    };
    const Case cases[] = {
        {"readInt", {0x80, 0, 0, 1}, [](auto* in) { return in->readInt(); }, -2147483647},
        {"readShort", {0xFF, 0xFE}, [](auto* in) { return in->readShort(); }, -2},
        {"readUnsignedShort", {0xFF, 0xFE}, [](auto* in) { return in->readUnsignedShort(); }, 65534},
        {"readChar", {0xFF, 0xFE}, [](auto* in) { return in->readChar(); }, 0xFFFE},
        {"readBoolean", {0x02}, [](auto* in) { return in->readBoolean(); }, 1},
        {"readByte", {0x80}, [](auto* in) { return in->readByte(); }, -128},
        {"readUnsignedByte", {0x80}, [](auto* in) { return in->readUnsignedByte(); }, 128},
        {"readLong",
         {0, 0, 0, 1, 0xFF, 0xFF, 0xFF, 0xFE},
         [](auto* in) { return in->readLong(); },
         0x1FFFFFFFE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.read(reader(c.bytes)), c.value);
    }
}

TEST_F(DataStreamsTest, TheEndOfDataIsAPendingEOFException) {
    struct Case {
        const char* name;
        Bytes bytes;
        std::function<std::int64_t(java_io_DataInputStream*)> read;
    };
    const Case cases[] = {
        {"readInt", {1, 2, 3}, [](auto* in) { return in->readInt(); }},
        {"readLong", {1, 2, 3, 4, 5, 6}, [](auto* in) { return in->readLong(); }},
        {"readShort", {1}, [](auto* in) { return in->readShort(); }},
        {"readUnsignedShort", {}, [](auto* in) { return in->readUnsignedShort(); }},
        {"readChar", {9}, [](auto* in) { return in->readChar(); }},
        {"readBoolean", {}, [](auto* in) { return in->readBoolean(); }},
        {"readByte", {}, [](auto* in) { return in->readByte(); }},
        {"readUnsignedByte", {}, [](auto* in) { return in->readUnsignedByte(); }},
        {"readUTF", {0, 4, 'a', 'b'}, [](auto* in) { return in->readUTF() != nullptr; }},
        {"readFully",
         {1, 2},
         [](auto* in) {
             in->readFully(rt::newByteArray(5));
             return 0;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        java_io_DataInputStream* in = reader(c.bytes);
        EXPECT_EQ(c.read(in), 0);
        auto* eof = static_cast<lib::java_lang_Throwable*>(rt::getPendingException());
        ASSERT_NE(eof, nullptr);
        EXPECT_EQ(eof->classId(), ClassId::java_io_EOFException);
        EXPECT_EQ(eof->getMessage(), rt::getStaticClass().getConstantString(14));
        rt::clearPendingException();
        EXPECT_EQ(in->available(), 0) << "the bytes that were there are consumed";
    }
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(DataStreamsTest, ReadUTFAcceptsOnlyItsForms) {
    struct Case {
        Bytes bytes;
        std::optional<std::u16string> text; // nullopt: UTFDataFormatException
    };
    const Case cases[] = {
        {{0, 0}, u""},
        {{0, 2, 0xC0, 0x80}, std::u16string(1, u'\0')},
        {{0, 1, 0x00}, std::u16string(1, u'\0')}, // a bare 0 byte is accepted too
        {{0, 2, 0xC1, 0x81}, u"A"},               // overlong forms pass
        {{0, 3, 'a', 'b', 'c'}, u"abc"},
        {{0, 3, 0xE2, 0x82, 0xAC}, u"\u20AC"},
        {{0, 5, 0xDF, 0xBF, 0xEF, 0xBF, 0xBF}, u"\u07FF\uFFFF"},
        {{0, 1, 0xC3}, std::nullopt}, // cut off by the length
        {{0, 2, 0xE2, 0x82}, std::nullopt},
        {{0, 2, 0x80, 0x80}, std::nullopt}, // a continuation byte leads
        {{0, 2, 0xC3, 0x41}, std::nullopt}, // a bad continuation byte
        {{0, 3, 0xE2, 0xC2, 0xAC}, std::nullopt},
        {{0, 3, 0xE2, 0x82, 0x2C}, std::nullopt},
        {{0, 4, 0xF0, 0x9F, 0x98, 0x80}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.bytes));
        java_io_DataInputStream* in = reader(c.bytes);
        rt::String* text = in->readUTF();
        if (c.text) {
            ASSERT_NE(text, nullptr);
            EXPECT_EQ(text->view(), *c.text);
            EXPECT_FALSE(rt::exceptionPending());
        } else {
            EXPECT_EQ(text, nullptr);
            EXPECT_EQ(takePending(), ClassId::java_io_UTFDataFormatException);
        }
        EXPECT_EQ(in->available(), 0);
    }
}

TEST_F(DataStreamsTest, WriteUTFEncodesUnitByUnitAndReadsBack) {
    struct Case {
        std::u16string text;
        Bytes bytes;
    };
    const Case cases[] = {
        {u"\u20AC", {0, 3, 0xE2, 0x82, 0xAC}},
        {u"abc", {0, 3, 0x61, 0x62, 0x63}},
        {std::u16string(1, u'\0'), {0, 2, 0xC0, 0x80}},
        {u"", {0, 0}},
        {u"\u007F\u0080\u07FF\u0800", {0, 8, 0x7F, 0xC2, 0x80, 0xDF, 0xBF, 0xE0, 0xA0, 0x80}},
        {u"\U0001F600", {0, 6, 0xED, 0xA0, 0xBD, 0xED, 0xB8, 0x80}}, // each surrogate on its own
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.bytes));
        writer()->writeUTF(rt::make<rt::String>(std::u16string_view(c.text)));
        EXPECT_EQ(written(), c.bytes);
        rt::String* back = reader(written())->readUTF();
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(back->view(), c.text);
    }
}

TEST_F(DataStreamsTest, WriteUTFRefusesATextLongerThanItsLengthField) {
    struct Case {
        char16_t unit;
        std::size_t count;
        bool fits;
    };
    const Case cases[] = {
        {u'a', 65535, true},       {u'a', 65536, false},  {u'\u0800', 21845, true}, // 65535 bytes
        {u'\u0800', 21846, false}, {u'\0', 32768, false}, // the unit 0 takes two bytes
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.count << " units of " << int(c.unit));
        std::u16string text(c.count, c.unit);
        writer()->writeUTF(rt::make<rt::String>(std::u16string_view(text)));
        if (!c.fits) {
            EXPECT_EQ(takePending(), ClassId::java_io_UTFDataFormatException);
            EXPECT_TRUE(written().empty());
            continue;
        }
        ASSERT_FALSE(rt::exceptionPending());
        rt::String* back = reader(written())->readUTF();
        ASSERT_NE(back, nullptr);
        EXPECT_TRUE(back->view() == text);
    }
}

TEST_F(DataStreamsTest, FailuresOfTheWrappedStreamStopReadersAndWriters) {
    auto* source = rt::make<ScriptedInputStream>(Bytes{1, 2, 3, 4, 5, 6});
    source->m_failAt = 3;
    auto* in = rt::make<java_io_DataInputStream>(source);
    EXPECT_EQ(in->readInt(), 0);
    EXPECT_EQ(takePending(), ClassId::java_io_IOException) << "not replaced by an EOFException";
    EXPECT_EQ(source->m_reads, 3);
    EXPECT_EQ(in->readUnsignedShort(), 0x0304);

    auto* sink = rt::make<ScriptedOutputStream>();
    sink->m_failAt = 3;
    auto* out = rt::make<java_io_DataOutputStream>(sink);
    out->writeLong(0x0102030405060708);
    EXPECT_EQ(takePending(), ClassId::java_io_IOException);
    EXPECT_EQ(sink->m_writes, 3);
    EXPECT_EQ(sink->m_bytes, (Bytes{1, 2}));
}

TEST_F(DataStreamsTest, ReadFullyAndSkipBytesLoopUntilDone) {
    // A stream that serves one byte per read still fills the whole range.
    auto* source = rt::make<ScriptedInputStream>(Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9});
    auto* in = rt::make<java_io_DataInputStream>(source);
    rt::ByteArray* into = byteArray(Bytes(6, 0));
    in->readFully(into, 1, 4);
    EXPECT_EQ(bytesOf(into), (Bytes{0, 1, 2, 3, 4, 0}));
    EXPECT_EQ(source->m_reads, 4);

    source->m_skipStep = 2;
    EXPECT_EQ(in->skipBytes(3), 3);
    EXPECT_EQ(in->skipBytes(-1), 0);
    EXPECT_EQ(in->skipBytes(100), 2) << "stops when skip makes no progress";
    EXPECT_FALSE(rt::exceptionPending());

    // A range outside the array is reported and reads nothing.
    in = reader({1, 2, 3});
    in->readFully(into, 4, 3);
    in->readFully(nullptr);
    EXPECT_EQ(in->available(), 3);
    EXPECT_FALSE(rt::exceptionPending());
    EXPECT_TRUE(log.contains("ArrayIndexOutOfBounds index=7 length=6"));
    EXPECT_TRUE(log.contains("NullPointer"));
}

TEST_F(DataStreamsTest, StreamOperationsAreForwarded) {
    java_io_DataInputStream* in = reader({10, 11, 12, 13, 14});
    EXPECT_TRUE(in->markSupported());
    EXPECT_EQ(in->skip(1), 1);
    in->mark(100);
    EXPECT_EQ(in->read(), 11);
    rt::ByteArray* into = rt::newByteArray(2);
    EXPECT_EQ(in->read(into), 2);
    EXPECT_EQ(bytesOf(into), (Bytes{12, 13}));
    in->reset();
    EXPECT_EQ(in->available(), 4);
    in->close();

    // Without a wrapped stream every call is reported, and a reader meets the end.
    auto* unwrapped = rt::make<java_io_DataInputStream>();
    EXPECT_EQ(unwrapped->readInt(), 0);
    EXPECT_EQ(takePending(), ClassId::java_io_EOFException);
    EXPECT_TRUE(log.contains("NullPointer"));
    auto* nowhere = rt::make<java_io_DataOutputStream>();
    nowhere->writeInt(5);
    EXPECT_FALSE(rt::exceptionPending());
}

} // namespace

namespace {

// Texts written and read back while a small buffer heap collects and compacts
// whenever an allocation fails, with freed space scribbled over: the streams'
// buffers, reachable only through their fields, and their temporaries, held
// only on this thread's stack, must come through collections and moves whole.
TEST(DataStreamsCompaction, TextsRoundTripWhileBlocksMove) {
    testing_support::LogCapture log;
    testing_support::FreeThreads host;
    rt::Runtime runtime{rt::RuntimeOptions{1 << 20, 8 * 1024, &host.threads, &host.clock}};
    lib::installClassLibrary(runtime);
    testing_support::ScrubbingCompactor compactor(&runtime.objectManager());
    runtime.bufferHeap().setFailureHandler(&compactor);

    std::mt19937 random(11);
    const char16_t units[] = {u'\0', u'a', u'\u007F', u'\u0080', u'\u07FF', u'\u0800', u'\uFFFF'};
    for (int step = 0; step < 200; ++step) {
        std::u16string text(20 + random() % 300, u'a');
        for (char16_t& unit : text)
            unit = units[random() % std::size(units)];
        auto* sink = rt::make<java_io_ByteArrayOutputStream>();
        auto* out = rt::make<java_io_DataOutputStream>(sink);
        out->writeInt(step);
        out->writeUTF(rt::make<rt::String>(std::u16string_view(text)));
        out->writeChars(rt::make<rt::String>(std::u16string_view(text)));
        ASSERT_FALSE(rt::exceptionPending());

        auto* in =
            rt::make<java_io_DataInputStream>(rt::make<java_io_ByteArrayInputStream>(sink->toByteArray()));
        EXPECT_EQ(in->readInt(), step);
        rt::String* back = in->readUTF();
        ASSERT_NE(back, nullptr);
        ASSERT_TRUE(back->view() == text) << "step " << step;
        for (char16_t unit : text)
            ASSERT_EQ(in->readChar(), unit) << "step " << step;
        EXPECT_EQ(in->available(), 0);
    }
    EXPECT_GT(compactor.compactions(), 0);
    EXPECT_EQ(runtime.bufferHeap().verify(), "");
    // The heap logs its failed allocations; nothing else may be said.
    EXPECT_FALSE(log.contains("NullPointer") || log.contains("OutOfBounds"));
}

} // namespace
