// The pack reader over packs that datakit writes into the archive: entries
// read in any order across parts, the cursor's reopen rules, and the faults
// a broken or missing pack gives.

#include "game/data/Lzma.h"
#include "game/data/TypedArrayReader.h"
#include "platform/lcdui/Image.h"
#include "tests/game/data/DataFixture.h"
#include "tests/support/PngFixtures.h"
#include "tools/datakit/LzmaWriter.h"
#include "tools/datakit/TypedArrayWriter.h"

#include <algorithm>
#include <numeric>
#include <random>

namespace {

using namespace data_testing;
using datakit::Bytes;

// 40 entries over three parts: empty ones, header-only ones and random
// payloads, with header bytes across the whole range.
struct ThreePartPack {
    static constexpr std::uint16_t kFirst[] = {0, 13, 27};
    std::vector<Bytes> entries;
    std::vector<Bytes> parts;

    ThreePartPack() {
        std::mt19937 random(22);
        for (int i = 0; i < 40; ++i) {
            if (i % 7 == 0) {
                entries.emplace_back();
                continue;
            }
            std::size_t size = i % 7 == 1 ? 0 : random() % 700;
            Bytes payload(size);
            for (std::uint8_t& b : payload)
                b = static_cast<std::uint8_t>(random());
            entries.push_back(datakit::packEntry(static_cast<std::uint8_t>(i * 37), payload));
        }
        parts = datakit::writePack(entries, {std::begin(kFirst), std::end(kFirst)});
    }

    int partOf(int entry) const { return entry >= 27 ? 2 : entry >= 13 ? 1 : 0; }
    // Where the entry ends in its part file.
    std::int32_t endOf(int entry) const {
        int part = partOf(entry);
        const Bytes& file = parts[static_cast<std::size_t>(part)];
        std::size_t at = (part == 0 ? 4 + 2 * 3 : 0) + 4 * static_cast<std::size_t>(entry + 1 - kFirst[part]);
        return file[at] | file[at + 1] << 8 | file[at + 2] << 16 | file[at + 3] << 24;
    }
};

struct PackReaderTest : DataTest {
    ThreePartPack pack;
    PackReaderTest() { putPack("p.pak", pack.parts); }

    // Reads `entry` and checks its bytes, its header value and where the cursor stands.
    void expectEntry(int entry) {
        SCOPED_TRACE("entry " + std::to_string(entry));
        const Bytes& stored = pack.entries[static_cast<std::size_t>(entry)];
        rt::ByteArray* bytes = game::packReadEntry(entry);
        ASSERT_NE(bytes, nullptr);
        Bytes payload = stored.empty() ? Bytes{} : Bytes(stored.begin() + 1, stored.end());
        EXPECT_EQ(bytesOf(bytes), payload);
        if (!stored.empty()) {
            EXPECT_EQ(game::packStatics().s_packEntryHeader, stored[0]);
        }
        EXPECT_EQ(game::packStatics().s_packPart, pack.partOf(entry));
        EXPECT_EQ(game::streamStatics().s_packPosition, pack.endOf(entry));
    }
};

TEST_F(PackReaderTest, EveryEntryReadsInAnyOrderAcrossParts) {
    // Skipping through the 256-byte buffer, a buffer smaller than most
    // entries, and the stream's own skip.
    for (std::int32_t skipBuffer : {256, 7, 0}) {
        SCOPED_TRACE("skip buffer " + std::to_string(skipBuffer));
        game::config().s_skipBufferSize = skipBuffer;
        game::packStatics().s_packName = nullptr;
        open("/p.pak");
        std::vector<int> order(40);
        std::iota(order.begin(), order.end(), 0);
        for (int entry : order)
            expectEntry(entry);
        std::reverse(order.begin(), order.end());
        for (int entry : order)
            expectEntry(entry);
        std::shuffle(order.begin(), order.end(), std::mt19937(skipBuffer));
        for (int entry : order)
            expectEntry(entry);
    }
    EXPECT_TRUE(log.lines().empty()) << log.lines().front();
}

TEST_F(PackReaderTest, ASeekAfterCloseReopensTheRecordedPart) {
    open("p.pak");
    expectEntry(30);
    game::closeStream();
    EXPECT_EQ(game::streamStatics().s_packStream, nullptr);
    // The same name changes nothing, not even after the close.
    open("p.pak");
    EXPECT_EQ(game::streamStatics().s_packStream, nullptr);
    expectEntry(31);
    // Back to part 0, whose header and table are read again.
    expectEntry(2);
}

TEST_F(PackReaderTest, PayloadLengthsOfEmptyAndHeaderOnlyEntries) {
    open("p.pak");
    game::packStatics().s_packEntryHeader = 99;
    EXPECT_EQ(game::packSeek(7), 0); // empty: no header byte read
    EXPECT_EQ(game::packStatics().s_packEntryHeader, 99);
    EXPECT_EQ(game::packSeek(8), 0); // a header byte alone
    EXPECT_EQ(game::packStatics().s_packEntryHeader, 8 * 37 % 256);
    EXPECT_EQ(game::streamStatics().s_packPosition, pack.endOf(8));
}

TEST_F(PackReaderTest, PackedEntriesGoThroughTheUnpackerOnlyWhenPackingIsOn) {
    open("p.pak");
    // Entry 4's header byte is 148: an ordinary value while packing is off.
    ASSERT_GE(pack.entries[4][0], 127);
    expectEntry(4);
    EXPECT_EQ(game::packStatics().s_packEntryPacked, 0);

    game::config().s_packLzma = 1;
    EXPECT_EQ(game::packSeek(4), static_cast<std::int32_t>(pack.entries[4].size() - 1));
    EXPECT_EQ(game::packStatics().s_packEntryPacked, 1);
    EXPECT_EQ(game::packStatics().s_packEntryHeader, pack.entries[4][0] - 127);
}

// Entries packed by liblzma among plain ones: a text, a typed array and one
// whose properties byte no decoder takes.
struct LzmaPack {
    Bytes text = Bytes(3000, 0);
    std::vector<std::int32_t> ints;
    std::vector<Bytes> entries;

    LzmaPack() {
        for (std::size_t i = 0; i < text.size(); ++i)
            text[i] = static_cast<std::uint8_t>("Vorlax dunes at dusk. "[i % 22] + i / 700);
        for (std::int32_t i = 0; i < 200; ++i)
            ints.push_back(i * i * 37 - 5000);
        const datakit::LzmaWriter lzma;
        Bytes broken = lzma.write(text);
        broken[0] = 225;
        entries = {datakit::packEntry(5, Bytes{1, 2, 3}), datakit::packEntry(127 + 3, lzma.write(text)),
                   datakit::packEntry(127, lzma.write(datakit::writeTypedArray(datakit::intArray(ints)))),
                   datakit::packEntry(127, broken), datakit::packEntry(9, Bytes{7, 8})};
    }
};

TEST_F(DataTest, PackedEntriesUnpackWithPackingOnAndReadAsStoredWithItOff) {
    LzmaPack pack;
    putPack("z.pak", datakit::writePack(pack.entries));
    open("z.pak");
    game::config().s_packLzma = 1;
    EXPECT_EQ(bytesOf(game::packReadEntry(1)), pack.text);
    EXPECT_EQ(game::packStatics().s_packEntryHeader, 3);
    EXPECT_EQ(game::lzmaStatics().s_lzmaOutput, nullptr) << "the reader takes the output";
    // The cursor passed the whole packed payload: the next plain entry reads on.
    EXPECT_EQ(bytesOf(game::packReadEntry(4)), (Bytes{7, 8}));
    auto* ints = static_cast<rt::IntArray*>(game::packReadArray(2));
    ASSERT_NE(ints, nullptr);
    ASSERT_EQ(ints->classId(), rt::ClassId::IntArray);
    std::span<std::int32_t> values = rt::IntArray::span(ints);
    EXPECT_EQ(std::vector<std::int32_t>(values.begin(), values.end()), pack.ints);
    EXPECT_TRUE(log.lines().empty()) << log.lines().front();

    // A payload that cannot be unpacked reads as null, and the cursor finds
    // the entries after it all the same.
    EXPECT_EQ(game::packReadEntry(3), nullptr);
    EXPECT_TRUE(log.contains("properties byte 225"));
    EXPECT_EQ(bytesOf(game::packReadEntry(4)), (Bytes{7, 8}));
    EXPECT_EQ(bytesOf(game::packReadEntry(0)), (Bytes{1, 2, 3}));

    game::config().s_packLzma = 0;
    EXPECT_EQ(bytesOf(game::packReadEntry(1)), Bytes(pack.entries[1].begin() + 1, pack.entries[1].end()));
    EXPECT_EQ(game::packStatics().s_packEntryHeader, 127 + 3);
    EXPECT_EQ(bytesOf(game::packReadEntry(4)), (Bytes{7, 8}));
}

TEST_F(DataTest, ArraysAndImagesReadFromEntries) {
    datakit::TypedArray table = datakit::nestedArray(
        {datakit::intArray({1, -70000, 3}), datakit::byteArray({}), datakit::shortArray({-300, 2})});
    testing_support::PngPicture picture;
    picture.width = 3;
    picture.height = 2;
    picture.samples.assign(3 * 2 * 3, 200);
    putPack("a.pak", datakit::writePack({datakit::packEntry(0, datakit::writeTypedArray(table)),
                                         datakit::packEntry(0, testing_support::encodePng(picture)),
                                         datakit::packEntry(0, {})}));
    open("a.pak");
    auto* array = static_cast<rt::ObjectArray*>(game::packReadArray(0));
    ASSERT_NE(array, nullptr);
    ASSERT_EQ(array->length(), 3);
    auto* ints = static_cast<rt::IntArray*>(rt::Array::getRef(array, 0));
    EXPECT_EQ(rt::IntArray::get(ints, 1), -70000);
    // The typed-array reader's bytes count in the pack position too.
    EXPECT_EQ(game::streamStatics().s_packPosition,
              static_cast<std::int32_t>(4 + 2 + 4 * 4 + 1 + datakit::writeTypedArray(table).size()));

    platform::javax_microedition_lcdui_Image* image = game::loadImageFromPack(1);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->getWidth(), 3);
    EXPECT_EQ(image->getHeight(), 2);
    EXPECT_EQ(game::loadImageFromPack(-1), nullptr);
    // An entry with no payload holds no array.
    EXPECT_EQ(game::packReadArray(2), nullptr);
}

// A broken pack: the bytes datakit writes, changed as `damage` says.
struct Corrupt {
    const char* what;
    void (*damage)(std::vector<Bytes>& parts);
    int entry;
};

void putU16(Bytes& file, std::size_t at, std::uint16_t value) {
    file[at] = static_cast<std::uint8_t>(value);
    file[at + 1] = static_cast<std::uint8_t>(value >> 8);
}
void putU32(Bytes& file, std::size_t at, std::uint32_t value) {
    putU16(file, at, static_cast<std::uint16_t>(value));
    putU16(file, at + 2, static_cast<std::uint16_t>(value >> 16));
}

// Two parts of 3 entries each: part 0's table at byte 8, part 1's at 0.
const Corrupt kCorrupt[] = {
    {"entry below 0", [](std::vector<Bytes>&) {}, -1},
    {"entry at the count", [](std::vector<Bytes>&) {}, 6},
    {"no parts", [](std::vector<Bytes>& p) { putU16(p[0], 2, 0); }, 0},
    {"negative part count", [](std::vector<Bytes>& p) { putU16(p[0], 2, 0xFFFF); }, 0},
    {"part count past the file", [](std::vector<Bytes>& p) { putU16(p[0], 2, 0x7FFF); }, 0},
    {"first part not at 0", [](std::vector<Bytes>& p) { putU16(p[0], 4, 1); }, 0},
    {"a part starts past the entry count", [](std::vector<Bytes>& p) { putU16(p[0], 6, 7); }, 0},
    {"offsets fall", [](std::vector<Bytes>& p) { putU32(p[0], 12, 0); }, 0},
    {"first offset inside the header", [](std::vector<Bytes>& p) { putU32(p[0], 8, 8); }, 0},
    {"last offset past the file", [](std::vector<Bytes>& p) { putU32(p[0], 20, 10000); }, 0},
    {"negative offset", [](std::vector<Bytes>& p) { putU32(p[0], 20, 0x80000000u); }, 0},
    {"file cut to 3 bytes", [](std::vector<Bytes>& p) { p[0].resize(3); }, 0},
    {"part 1's table past its file", [](std::vector<Bytes>& p) { p[1].resize(10); }, 4},
    {"part 1's offsets fall", [](std::vector<Bytes>& p) { putU32(p[1], 4, 0); }, 4},
};

struct CorruptPackTest : DataTest, ::testing::WithParamInterface<Corrupt> {};

TEST_P(CorruptPackTest, SeeksAnswerMinusOneAndReadsNullWithOneLogLineEach) {
    std::vector<Bytes> entries;
    for (std::uint8_t i = 0; i < 6; ++i)
        entries.push_back(datakit::packEntry(i, Bytes(5, i)));
    std::vector<Bytes> parts = datakit::writePack(entries, {0, 3});
    GetParam().damage(parts);
    putPack("c.pak", parts);
    open("c.pak");
    log.clear();
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_EQ(game::packSeek(GetParam().entry), -1);
        EXPECT_EQ(log.lines().size(), 1u);
        EXPECT_TRUE(log.contains("c.pak")) << log.lines().front();
        log.clear();
        EXPECT_EQ(game::packReadEntry(GetParam().entry), nullptr);
        EXPECT_EQ(game::packReadArray(GetParam().entry), nullptr);
        log.clear();
    }
}

INSTANTIATE_TEST_SUITE_P(Packs, CorruptPackTest, ::testing::ValuesIn(kCorrupt), io_testing::NameByWhat{});

TEST_F(DataTest, AMissingPackOrPartIsNamedOnEverySeek) {
    std::vector<Bytes> entries(4, datakit::packEntry(1, Bytes{9}));
    std::vector<Bytes> parts = datakit::writePack(entries, {0, 2});
    // Only part 0 is in the archive.
    putArchive({datakit::packArchiveEntries(u"m.pak", u".", parts)[0]});

    open("gone.pak");
    EXPECT_TRUE(log.contains("gone.pak"));
    log.clear();
    for (int attempt = 0; attempt < 3; ++attempt) {
        EXPECT_EQ(game::packSeek(0), -1);
        ASSERT_EQ(log.lines().size(), 1u);
        EXPECT_TRUE(log.contains("gone.pak"));
        log.clear();
    }

    open("m.pak");
    EXPECT_EQ(game::packSeek(1), 1);
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_EQ(game::packSeek(3), -1);
        ASSERT_EQ(log.lines().size(), 1u);
        EXPECT_TRUE(log.contains("m.pak.1")) << log.lines().front();
        log.clear();
    }
    // Part 0 still reads.
    EXPECT_EQ(bytesOf(game::packReadEntry(1)), Bytes{9});
}

} // namespace
