#include "tools/datakit/Archive.h"
#include "classlib/io/DataInputStream.h"
#include "platform/io/Class.h"
#include "platform/io/File.h"
#include "platform/io/ResourceArchive.h"
#include "platform/io/ResourceInputStream.h"
#include "tests/platform/io/IoFixture.h"

#include <optional>

namespace {

using namespace io_testing;
using datakit::archiveEntry;
using datakit::Bytes;

struct ArchiveTest : IoTest {
    void putArchive(const std::vector<datakit::ArchiveEntry>& entries,
                    const datakit::ArchiveOptions& options = {}) {
        put("data.bar", datakit::writeArchive(entries, options));
    }
    static lib::java_io_InputStream* resource(const char* name) {
        return platform::Class::getResourceAsStream(text(name));
    }
    // Every byte the resource serves, or none when there is no such resource.
    static std::optional<Bytes> served(const char* name) {
        lib::java_io_InputStream* in = resource(name);
        if (!in)
            return std::nullopt;
        return bytesOf(platform::readAllBytes(in));
    }
};

TEST_F(ArchiveTest, NamesMatchWholeIgnoringCaseAndOneLeadingSlash) {
    putArchive({
        archiveEntry("constants.bin", "strings"),
        archiveEntry("Img/Title.PNG", "title"),
        archiveEntry("empty", ""),
        archiveEntry("IMG/title.png", "shadowed"),
        archiveEntry("sound", "pcm"),
    });
    struct Case {
        const char* name;
        const char* content; // null: no such resource
    };
    const Case cases[] = {
        {"/constants.bin", "strings"},
        {"constants.bin", "strings"},
        {"CONSTANTS.BIN", "strings"},
        {"//constants.bin", nullptr},
        {"constants.bi", nullptr},
        {"constants.bin2", nullptr},
        {"/img/title.png", "title"}, // the first of two names equal but for case
        {"empty", ""},
        {"soun", nullptr},
        {"sounds", nullptr},
        {"", nullptr},
        {"/", nullptr},
    };
    for (const Case& c : cases) {
        std::optional<Bytes> bytes = served(c.name);
        if (c.content) {
            ASSERT_TRUE(bytes.has_value()) << c.name;
            EXPECT_EQ(*bytes, asBytes(c.content)) << c.name;
        } else {
            EXPECT_FALSE(bytes.has_value()) << c.name;
        }
    }
    EXPECT_FALSE(rt::exceptionPending());
    EXPECT_TRUE(log.lines().empty()) << "a name not found is no event";
}

TEST_F(ArchiveTest, AnEntryStreamIsBoundedToItsEntry) {
    putArchive({archiveEntry("ten", "0123456789"), archiveEntry("next", "NEXT")});
    rt::ByteArray* b = rt::newByteArray(100);

    lib::java_io_InputStream* in = resource("ten");
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(in->classId(), rt::ClassId::javax_microedition_io_ResourceInputStream);
    EXPECT_EQ(in->available(), 10);
    EXPECT_EQ(in->read(b, 0, 100), 10);
    EXPECT_EQ(bytesOf(b).at(9), '9');
    EXPECT_EQ(in->read(b, 0, 100), 0);
    EXPECT_EQ(takePending(), rt::toInt(rt::ClassId::java_io_EOFException)) << "not -1";
    EXPECT_EQ(in->read(b, 0, 0), 0);
    EXPECT_EQ(takePending(), rt::toInt(rt::ClassId::java_io_EOFException))
        << "nothing left, whatever the length";
    EXPECT_EQ(in->read(), -1);
    EXPECT_EQ(in->available(), 0);
    EXPECT_EQ(in->skip(5), 0);

    in = resource("ten");
    EXPECT_EQ(in->read(), '0');
    EXPECT_EQ(in->skip(-4), 0);
    EXPECT_EQ(in->skip(1000), 9) << "up to the entry's end";
    EXPECT_EQ(in->read(), -1);

    // mark and reset go back in the file and in the count of bytes consumed.
    in = resource("ten");
    EXPECT_TRUE(in->markSupported());
    EXPECT_EQ(in->skip(2), 2);
    in->mark(0);
    EXPECT_EQ(in->read(b, 0, 100), 8);
    in->reset();
    EXPECT_EQ(in->available(), 8);
    EXPECT_EQ(in->read(b, 0, 100), 8);
    EXPECT_EQ(bytesOf(b).at(0), '2');
    in->close();
}

TEST_F(ArchiveTest, EntriesReachingPastTheFileServeOnlyTheBytesThere) {
    datakit::ArchiveEntry cut = archiveEntry("cut", "abcdef");
    cut.indexedSize = 1000;
    datakit::ArchiveEntry beyond = archiveEntry("beyond", "");
    beyond.indexedOffset = 5000;
    beyond.indexedSize = 10;
    datakit::ArchiveEntry negative = archiveEntry("negative", "xyz");
    negative.indexedOffset = -2;
    datakit::ArchiveEntry negativeSize = archiveEntry("negativeSize", "xyz");
    negativeSize.indexedSize = -1;
    putArchive({negative, negativeSize, beyond, cut});

    EXPECT_EQ(served("cut"), asBytes("abcdef"));
    lib::java_io_InputStream* in = resource("cut");
    EXPECT_EQ(in->available(), 6);
    auto* data = rt::make<lib::java_io_DataInputStream>(in);
    data->readFully(rt::newByteArray(1000));
    EXPECT_EQ(takePending(), rt::toInt(rt::ClassId::java_io_EOFException))
        << "the entry ends at its last real byte";

    for (const char* name : {"beyond", "negative", "negativeSize"}) {
        in = resource(name);
        ASSERT_NE(in, nullptr) << name;
        EXPECT_EQ(in->available(), 0) << name;
        EXPECT_EQ(in->read(), -1) << name;
    }
}

TEST_F(ArchiveTest, AFileShorterThanItsLengthEndsTheReadsOfAnEntry) {
    // The archive shrinks after the entry was opened: reads stop making
    // progress, and readers take that for the end of the data.
    putArchive({archiveEntry("long", std::string(100000, 'x'))});
    lib::java_io_InputStream* in = resource("long");
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(in->read(), 'x');
    fs::resize_file(inProgramFolder("data.bar"), 1000);
    EXPECT_EQ(in->available(), 99999) << "as far as the stream knows";
    rt::ByteArray* all = platform::readAllBytes(in);
    ASSERT_NE(all, nullptr);
    EXPECT_LT(all->length(), 20000) << "what the file's buffer still held, at most";
    EXPECT_FALSE(rt::exceptionPending());
}

TEST_F(ArchiveTest, AMissingArchiveIsAnEmptyIndexLoadedOnce) {
    EXPECT_EQ(resource("/constants.bin"), nullptr);
    EXPECT_EQ(log.lines().size(), 1u);
    EXPECT_TRUE(log.contains("data.bar: cannot open \\program files\\brivanta\\vorlax rally\\data.bar"));
    EXPECT_FALSE(platform::ResourceArchive::loadIndex()) << "the first load's answer";

    putArchive({archiveEntry("constants.bin", "late")});
    EXPECT_EQ(resource("/constants.bin"), nullptr) << "a failed load is not tried again";
    EXPECT_FALSE(platform::ResourceArchive::loadIndex());
    EXPECT_EQ(log.lines().size(), 1u);
}

struct BrokenIndex {
    const char* what;
    std::vector<datakit::ArchiveEntry> entries;
    datakit::ArchiveOptions options;
    const char* logged; // null: a whole index, nothing logged
    const char* first;  // what entry "first" serves; null: no such entry
    bool secondServed;
};

struct BrokenIndexTest : ArchiveTest, ::testing::WithParamInterface<BrokenIndex> {};

const std::vector<datakit::ArchiveEntry> kTwoEntries{archiveEntry("first", "1"), archiveEntry("second", "2")};

std::vector<datakit::ArchiveEntry> withName(std::size_t length) {
    return {archiveEntry("first", "1"), archiveEntry(std::string(length, 'n'), "2")};
}

// The index of the two entries below: 2 count bytes, then 2 + 5 + 8 bytes for
// "first" and 2 + 6 + 8 for "second"; their data follows at 33 and 34. An
// archive cut inside its index has lost the data too: an entry it still
// names serves nothing. The entries read whole before a fault stay; a count
// or a name beyond the archive's bounds is refused.
const BrokenIndex kBrokenIndexes[] = {
    {"negative count",
     kTwoEntries,
     {.indexedCount = -3, .truncateTo = {}},
     "data.bar: the entry count is -3",
     nullptr,
     false},
    {"count past the records", kTwoEntries, {.indexedCount = 3, .truncateTo = {}}, "entry 3 of 3", "1", true},
    {"cut inside the second record",
     kTwoEntries,
     {.indexedCount = {}, .truncateTo = 20},
     "data.bar: the index is cut at entry 2 of 2",
     "",
     false},
    {"cut inside the first record",
     kTwoEntries,
     {.indexedCount = {}, .truncateTo = 12},
     "data.bar: the index is cut at entry 1 of 2",
     nullptr,
     false},
    {"no count",
     kTwoEntries,
     {.indexedCount = {}, .truncateTo = 1},
     "data.bar: the file ends before its entry count",
     nullptr,
     false},
    {"empty index", kTwoEntries, {.indexedCount = 0, .truncateTo = {}}, nullptr, nullptr, false},
    {"too many entries",
     kTwoEntries,
     {.indexedCount = 4097, .truncateTo = {}},
     "data.bar: the index lists 4097 entries, more than the 4096",
     nullptr,
     false},
    {"the longest name", withName(255), {}, nullptr, "1", false},
    {"a name too long",
     withName(256),
     {},
     "data.bar: the name of entry 2 of 2 is 256 bytes long, more than the 255",
     "1",
     false},
};

TEST_P(BrokenIndexTest, KeepsTheEntriesReadWholeAndSaysWhatIsWrong) {
    const BrokenIndex& c = GetParam();
    putArchive(c.entries, c.options);
    EXPECT_EQ(platform::ResourceArchive::loadIndex(), c.logged == nullptr);
    std::optional<Bytes> first = served("first");
    ASSERT_EQ(first.has_value(), c.first != nullptr);
    if (first) {
        EXPECT_EQ(*first, asBytes(c.first));
    }
    EXPECT_EQ(served("second").has_value(), c.secondServed);
    if (c.logged) {
        ASSERT_EQ(log.lines().size(), 1u);
        EXPECT_NE(log.lines()[0].find(c.logged), std::string::npos) << log.lines()[0];
    } else {
        EXPECT_TRUE(log.lines().empty());
    }
    EXPECT_FALSE(rt::exceptionPending());
}

INSTANTIATE_TEST_SUITE_P(Archive, BrokenIndexTest, ::testing::ValuesIn(kBrokenIndexes), NameByWhat{});

TEST_F(ArchiveTest, BarNamesAreFilesFirst) {
    put("extra.bar", asBytes("the whole file"));
    putArchive({archiveEntry("pack.bar", "packed"), archiveEntry("extra.bar", "archived")});
    std::string device = std::string(kProgramFolder) + "\\EXTRA.bar";
    lib::java_io_InputStream* file = resource(device.c_str());
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->classId(), rt::ClassId::java_io_InputStream) << "a file stream, not an entry";
    EXPECT_EQ(bytesOf(platform::readAllBytes(file)), asBytes("the whole file"));

    EXPECT_EQ(served("pack.bar"), asBytes("packed")) << "no such file: the archive's entry";
    EXPECT_EQ(served("/extra.bar"), asBytes("archived")) << "a name that is no device path";
    EXPECT_EQ(served((std::string(kProgramFolder) + "\\extra.BAR").c_str()), std::nullopt)
        << "\".BAR\" is not \".bar\"";
}

TEST_F(ArchiveTest, ReadsOfEveryLengthServeTheEntrysBytesInOrder) {
    // Reads, skips and a mark across the stream's buffer, whose first fill is
    // small and whose later ones are large, between two other entries.
    std::string bytes(20000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7 + i / 251);
    putArchive(
        {archiveEntry("before", "BEFORE"), archiveEntry("long", bytes), archiveEntry("after", "AFTER")});
    lib::java_io_InputStream* in = resource("long");
    ASSERT_NE(in, nullptr);
    rt::ByteArray* b = rt::newByteArray(9000);
    std::size_t at = 0;
    auto expectRead = [&](std::int32_t length) {
        const std::int32_t got = in->read(b, 0, length);
        ASSERT_EQ(got, std::min<std::int32_t>(length, static_cast<std::int32_t>(bytes.size() - at)))
            << "at " << at;
        Bytes read = bytesOf(b);
        EXPECT_EQ(std::string(read.begin(), read.begin() + got),
                  bytes.substr(at, static_cast<std::size_t>(got)))
            << "at " << at;
        at += static_cast<std::size_t>(got);
    };
    EXPECT_EQ(in->read(), static_cast<std::uint8_t>(bytes[0]));
    at = 1;
    for (std::int32_t length : {1, 62, 64, 65, 4095, 4096, 4097}) {
        expectRead(length);
        EXPECT_EQ(in->read(), static_cast<std::uint8_t>(bytes[at])) << "at " << at;
        ++at;
    }
    in->mark(0);
    const std::size_t marked = at;
    EXPECT_EQ(in->skip(3000), 3000);
    at += 3000;
    expectRead(9000);
    in->reset();
    at = marked;
    expectRead(100);
    expectRead(9000);
    EXPECT_EQ(in->available(), 0);
    EXPECT_EQ(served("after"), asBytes("AFTER"));
    EXPECT_FALSE(rt::exceptionPending());
}

TEST_F(ArchiveTest, AFirstReadOfAnyLengthServesTheEntrysBytesAndLeavesTheRest) {
    // A stream's first read, before any fill, of lengths about the first
    // fill's and the buffer's; then a byte and the rest, read after it.
    std::string bytes(5000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 11 + i / 253);
    putArchive({archiveEntry("long", bytes), archiveEntry("after", "AFTER")});
    for (std::int32_t length : {1, 63, 64, 65, 4095, 4096, 4097}) {
        lib::java_io_InputStream* in = resource("long");
        ASSERT_NE(in, nullptr);
        rt::ByteArray* b = rt::newByteArray(length);
        ASSERT_EQ(in->read(b, 0, length), length) << length;
        const Bytes head = bytesOf(b);
        EXPECT_EQ(std::string(head.begin(), head.end()), bytes.substr(0, static_cast<std::size_t>(length)))
            << length;
        EXPECT_EQ(in->read(), static_cast<std::uint8_t>(bytes[static_cast<std::size_t>(length)])) << length;
        const std::int32_t rest = static_cast<std::int32_t>(bytes.size()) - length - 1;
        rt::ByteArray* tail = rt::newByteArray(rest);
        ASSERT_EQ(in->read(tail, 0, rest), rest) << length;
        const Bytes after = bytesOf(tail);
        EXPECT_EQ(std::string(after.begin(), after.end()), bytes.substr(static_cast<std::size_t>(length) + 1))
            << length;
        EXPECT_EQ(in->available(), 0) << length;
        in->close();
    }
    EXPECT_EQ(served("after"), asBytes("AFTER"));
    EXPECT_FALSE(rt::exceptionPending());
}

TEST_F(ArchiveTest, EntryStreamsReadApartAndClosingOneLeavesTheOthers) {
    putArchive({archiveEntry("a", "AAAA"), archiveEntry("b", "BBBB")});
    lib::java_io_InputStream* a = resource("a");
    lib::java_io_InputStream* b = resource("b");
    lib::java_io_InputStream* a2 = resource("a");
    EXPECT_EQ(a->read(), 'A');
    EXPECT_EQ(b->read(), 'B');
    EXPECT_EQ(a->read(), 'A');
    EXPECT_EQ(a2->available(), 4);
    a->close();
    EXPECT_EQ(a2->read(), 'A');
}

} // namespace
