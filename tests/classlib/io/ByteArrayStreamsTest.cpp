#include "classlib/io/ByteArrayInputStream.h"
#include "classlib/io/ByteArrayOutputStream.h"
#include "runtime/Class.h"
#include "tests/classlib/ClassLibraryFixture.h"
#include "tests/support/FreeThreads.h"
#include "tests/support/GuestTask.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using lib::java_io_ByteArrayInputStream;
using lib::java_io_ByteArrayOutputStream;
using testing_support::byteArray;
using testing_support::bytesOf;

using Bytes = std::vector<std::uint8_t>;

struct ByteArrayStreamsTest : testing_support::ClassLibraryTest {
    // 0, 1, ..., n - 1.
    static rt::ByteArray* counting(int n) {
        Bytes values;
        for (int i = 0; i < n; ++i)
            values.push_back(static_cast<std::uint8_t>(i));
        return byteArray(values);
    }
};

TEST_F(ByteArrayStreamsTest, AWindowStaysInsideTheArray) {
    struct Case {
        std::int32_t offset, length;
        std::int32_t first, available;
        const char* report;
    };
    const Case cases[] = {
        {4, 100, 4, 6, nullptr},
        {0, 10, 0, 10, nullptr},
        {3, 0, -1, 0, nullptr},
        {10, 5, -1, 0, nullptr},
        {5, INT32_MAX, 5, 5, nullptr}, // offset + length overflows 32 bits
        {-1, 5, -1, 0, "ArrayIndexOutOfBounds index=-1 length=10"},
        {11, 0, -1, 0, "ArrayIndexOutOfBounds index=11 length=10"},
        {3, -2, -1, 0, "ArrayIndexOutOfBounds index=1 length=10"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "offset " << c.offset << " length " << c.length);
        log.clear();
        auto* in = rt::make<java_io_ByteArrayInputStream>(counting(10), c.offset, c.length);
        EXPECT_EQ(in->available(), c.available);
        EXPECT_EQ(in->read(), c.first);
        EXPECT_EQ(c.report != nullptr, log.contains(c.report ? c.report : "ArrayIndexOutOfBounds"));
    }
    auto* none = rt::make<java_io_ByteArrayInputStream>(nullptr);
    EXPECT_TRUE(log.contains("NullPointer"));
    EXPECT_EQ(none->read(), -1);
}

TEST_F(ByteArrayStreamsTest, ReadsCopyWhatIsLeft) {
    auto* in = rt::make<java_io_ByteArrayInputStream>(counting(6));
    rt::ByteArray* into = byteArray(Bytes(8, 0xEE));
    EXPECT_EQ(in->read(into, 0, 0), 0);
    EXPECT_EQ(in->read(into, 2, 4), 4);
    EXPECT_EQ(bytesOf(into), (Bytes{0xEE, 0xEE, 0, 1, 2, 3, 0xEE, 0xEE}));
    EXPECT_EQ(in->read(into), 2); // the shared form: the whole array asked, two bytes left
    EXPECT_EQ(bytesOf(into), (Bytes{4, 5, 0, 1, 2, 3, 0xEE, 0xEE}));
    EXPECT_EQ(in->read(into, 0, 0), -1);
    EXPECT_EQ(in->read(), -1);
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(ByteArrayStreamsTest, ARangeOutsideTheCallersArrayReadsNothing) {
    struct Case {
        bool nullArray;
        std::int32_t off, len;
    };
    const Case cases[] = {
        {true, 0, 1}, {false, -1, 2}, {false, 3, 2}, {false, 1, -1}, {false, INT32_MAX, INT32_MAX},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "off " << c.off << " len " << c.len);
        log.clear();
        auto* in = rt::make<java_io_ByteArrayInputStream>(counting(10));
        rt::ByteArray* into = c.nullArray ? nullptr : byteArray(Bytes(4, 0xEE));
        EXPECT_EQ(in->read(into, c.off, c.len), -1);
        EXPECT_FALSE(log.lines().empty());
        EXPECT_EQ(in->available(), 10);
        if (into) {
            EXPECT_EQ(bytesOf(into), Bytes(4, 0xEE));
        }
    }
}

TEST_F(ByteArrayStreamsTest, SkipMarkAndReset) {
    auto* in = rt::make<java_io_ByteArrayInputStream>(counting(10), 2, 8);
    EXPECT_EQ(in->skip(-5), 0);
    EXPECT_EQ(in->available(), 8);
    in->reset(); // no mark yet: back to the offset
    EXPECT_EQ(in->read(), 2);
    EXPECT_EQ(in->read(), 3);
    EXPECT_EQ(in->read(), 4);
    in->mark(0);
    EXPECT_EQ(in->read(), 5);
    EXPECT_EQ(in->read(), 6);
    in->reset();
    EXPECT_EQ(in->read(), 5);
    EXPECT_EQ(in->skip(2), 2);
    EXPECT_EQ(in->skip(INT64_MAX), 2);
    EXPECT_EQ(in->available(), 0);
    EXPECT_EQ(in->skip(1), 0);
    EXPECT_TRUE(in->markSupported());
}

TEST_F(ByteArrayStreamsTest, TheBufferGrowsToTwiceItsLengthOrTheNeed) {
    // After close, `toByteArray` hands out the buffer itself exactly when the
    // buffer is full, which shows the length the buffer grew to.
    auto closedAndFull = [](java_io_ByteArrayOutputStream* out) {
        out->close();
        return out->toByteArray() == out->toByteArray();
    };
    auto* oneWrite = rt::make<java_io_ByteArrayOutputStream>();
    oneWrite->write(counting(100), 0, 100);
    EXPECT_TRUE(closedAndFull(oneWrite)); // 32 -> 100

    auto* byteByByte = rt::make<java_io_ByteArrayOutputStream>();
    for (int i = 0; i < 100; ++i)
        byteByByte->write(i);
    EXPECT_FALSE(closedAndFull(byteByByte)); // 32 -> 64 -> 128
    for (int i = 100; i < 128; ++i)
        byteByByte->write(i); // written after close: still accepted
    EXPECT_TRUE(closedAndFull(byteByByte));
    EXPECT_EQ(bytesOf(byteByByte->toByteArray()), bytesOf(counting(128)));
}

TEST_F(ByteArrayStreamsTest, ToByteArrayCopiesUnlessClosedAndFull) {
    auto* out = rt::make<java_io_ByteArrayOutputStream>();
    out->write(counting(32));
    rt::ByteArray* first = out->toByteArray();
    EXPECT_NE(first, out->toByteArray()) << "an open stream always copies";
    EXPECT_EQ(bytesOf(first), bytesOf(counting(32)));
    out->close();
    rt::ByteArray* own = out->toByteArray();
    EXPECT_EQ(own, out->toByteArray());

    out->reset();
    out->write(7);
    EXPECT_EQ(out->size(), 1);
    EXPECT_EQ(bytesOf(out->toByteArray()), Bytes{7});
    EXPECT_EQ(own->length(), 32) << "reset keeps the buffer";

    auto* sized = rt::make<java_io_ByteArrayOutputStream>(3);
    sized->write(counting(3));
    sized->close();
    EXPECT_EQ(sized->toByteArray(), sized->toByteArray());
}

TEST_F(ByteArrayStreamsTest, BadWritesAddNothing) {
    auto* out = rt::make<java_io_ByteArrayOutputStream>();
    out->write(0x141); // the low 8 bits
    out->write(counting(4), 2, 3);
    out->write(counting(4), -1, 2);
    out->write(counting(4), INT32_MAX, 2);
    out->write(nullptr, 0, 1);
    out->write(nullptr);
    EXPECT_EQ(bytesOf(out->toByteArray()), Bytes{0x41});
    auto reports = [&](const char* what) {
        auto lines = log.lines();
        return std::count_if(lines.begin(), lines.end(),
                             [&](const std::string& line) { return line.find(what) != std::string::npos; });
    };
    EXPECT_EQ(reports("ArrayIndexOutOfBounds"), 3);
    EXPECT_EQ(reports("NullPointer"), 2);
    out->write(counting(4), 4, 0);
    EXPECT_EQ(out->size(), 1);
}

TEST_F(ByteArrayStreamsTest, ToStringTakesEachByteAsOneUnit) {
    auto* out = rt::make<java_io_ByteArrayOutputStream>();
    EXPECT_EQ(out->toString()->length(), 0);
    out->write(byteArray({0x41, 0xE9, 0xFF, 0x00}));
    EXPECT_EQ(out->toString()->view(), (std::u16string{u'A', u'\u00E9', u'\u00FF', u'\0'}));
}

TEST_F(ByteArrayStreamsTest, NewInstanceByIdMakesEmptyStreams) {
    auto* in = static_cast<java_io_ByteArrayInputStream*>(
        rt::java_lang_Class::newInstanceById(rt::toInt(rt::ClassId::java_io_ByteArrayInputStream)));
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(in->read(), -1);
    auto* out = static_cast<java_io_ByteArrayOutputStream*>(
        rt::java_lang_Class::newInstanceById(rt::toInt(rt::ClassId::java_io_ByteArrayOutputStream)));
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(bytesOf(out->toByteArray()), Bytes{});
    out->write(9);
    EXPECT_EQ(bytesOf(out->toByteArray()), Bytes{9});
    EXPECT_TRUE(log.lines().empty());
}

TEST(ByteArrayStreamsThreads, ThreadsShareOneOutputStream) {
    testing_support::FreeThreads host;
    rt::Runtime runtime{rt::RuntimeOptions{4 << 20, 4 << 20, &host.threads, &host.clock}};
    lib::installClassLibrary(runtime);
    rt::Handle<java_io_ByteArrayOutputStream> out(runtime.objectManager(),
                                                  rt::make<java_io_ByteArrayOutputStream>());
    constexpr int kWrites = 2000;
    std::atomic<int> done{0};
    for (int task = 0; task < 3; ++task) {
        testing_support::startGuestTask([&, task] {
            rt::ByteArray* pair =
                byteArray({static_cast<std::uint8_t>(task), static_cast<std::uint8_t>(task)});
            for (int i = 0; i < kWrites; ++i)
                out->write(pair, 0, 2);
            ++done;
        });
    }
    testing_support::awaitAsGuest([&] { return done == 3; });
    ASSERT_EQ(out->size(), 3 * 2 * kWrites);
    // Each write is whole: its two bytes stay together.
    Bytes all = bytesOf(out->toByteArray());
    for (std::size_t i = 0; i < all.size(); i += 2)
        ASSERT_EQ(all[i], all[i + 1]) << "at " << i;
}

} // namespace
