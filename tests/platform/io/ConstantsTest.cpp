#include "platform/io/constants.h"
#include "runtime/StaticClass.h"
#include "tests/platform/io/IoFixture.h"
#include "tools/datakit/Archive.h"
#include "tools/datakit/Constants.h"

namespace {

using namespace io_testing;
using datakit::Bytes;

// `count` empty strings, then `padding` bytes after the last.
Bytes emptyStrings(std::int32_t count, std::size_t padding = 0) {
    Bytes bytes = datakit::writeConstants(std::vector<std::u16string>(static_cast<std::size_t>(count)));
    bytes.resize(bytes.size() + padding);
    return bytes;
}

struct ConstantsTest : IoTest {
    ConstantsTest() { rt::getStaticClass().setConstantStrings(nullptr); }

    void putConstants(const Bytes& bytes) {
        put("data.bar", datakit::writeArchive({datakit::archiveEntry("intro.png", "png"),
                                               datakit::archiveEntry("Constants.BIN", bytes)}));
    }
    static std::vector<std::u16string> loaded() {
        std::vector<std::u16string> texts;
        rt::ObjectArray* strings = rt::getStaticClass().constantStrings();
        for (std::int32_t i = 0; strings && i < strings->length(); ++i)
            texts.emplace_back(static_cast<rt::String*>(rt::Array::getRef(strings, i))->view());
        return texts;
    }
};

TEST_F(ConstantsTest, EveryStringOfTheFileBecomesAPermanentConstant) {
    std::vector<std::u16string> texts;
    for (int i = 0; i < 249; ++i)
        texts.push_back(u"constant " + datakit::widen(std::to_string(i)));
    texts[0] = u"";
    texts[14] = std::u16string(1, u'\0') + u"\u00e9\u20ac";
    texts[98] = std::u16string(300, u'x');
    putConstants(datakit::writeConstants(texts));

    ASSERT_TRUE(platform::loadConstants());
    EXPECT_EQ(loaded(), texts);
    rt::Runtime::current().objectManager().gc(rt::ObjectManager::kImmediate);
    rt::ObjectArray* strings = rt::getStaticClass().constantStrings();
    for (std::int32_t i = 0; i < strings->length(); ++i)
        EXPECT_FALSE(rt::Array::getRef(strings, i)->isCollectable()) << i;
    EXPECT_EQ(loaded(), texts) << "still there after a collection";
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(ConstantsTest, SmallFilesReadAsTheirBytesSay) {
    putConstants({0, 0, 0, 0});
    ASSERT_TRUE(platform::loadConstants());
    ASSERT_NE(rt::getStaticClass().constantStrings(), nullptr);
    EXPECT_TRUE(loaded().empty());
}

TEST_F(ConstantsTest, TheMostStringsLoad) {
    putConstants(emptyStrings(platform::kMaxConstants));
    ASSERT_TRUE(platform::loadConstants());
    EXPECT_EQ(loaded().size(), static_cast<std::size_t>(platform::kMaxConstants));
}

TEST_F(ConstantsTest, TwoLettersThenTheEmptyString) {
    putConstants({0, 0, 0, 2, 0, 2, 'a', 'b', 0, 0});
    ASSERT_TRUE(platform::loadConstants());
    EXPECT_EQ(loaded(), (std::vector<std::u16string>{u"ab", u""}));
}

struct BrokenConstants {
    const char* what;
    Bytes bytes;
    const char* logged;
};

struct BrokenConstantsTest : ConstantsTest, ::testing::WithParamInterface<BrokenConstants> {};

const BrokenConstants kBrokenConstants[] = {
    {"too many strings", emptyStrings(platform::kMaxConstants + 1), "has 8193 strings, more than the 8192"},
    {"too many bytes", emptyStrings(1, platform::kMaxConstantsBytes - 5),
     "is 524289 bytes long, more than the 524288"},
    {"short count", {0, 0, 0}, "is too short for its count"},
    {"negative count", {0xFF, 0xFF, 0xFF, 0xFE}, "has the negative count -2"},
    {"count past the bytes",
     {0x7F, 0xFF, 0xFF, 0xFF, 0, 1, 'a'},
     "holds 3 bytes, too few for 2147483647 strings"},
    {"length past the end", {0, 0, 0, 1, 0xFF, 0xFF, 'a', 'b'}, "ends after 0 of 1 strings"},
    {"cut inside a string", {0, 0, 0, 2, 0, 1, 'a', 0, 5, 'b', 'c'}, "ends after 1 of 2 strings"},
    {"cut before a string", {0, 0, 0, 3, 0, 1, 'a', 0, 1, 'b', 0}, "ends after 2 of 3 strings"},
    {"bad modified UTF-8",
     {0, 0, 0, 2, 0, 0, 0, 2, 0xC3, 0x41},
     "string 1 of \"/constants.bin\" is not modified UTF-8"},
};

TEST_P(BrokenConstantsTest, FailStartUpWithOneLogLine) {
    const BrokenConstants& c = GetParam();
    putConstants(c.bytes);
    EXPECT_FALSE(platform::loadConstants());
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_NE(log.lines()[0].find(c.logged), std::string::npos) << log.lines()[0];
    EXPECT_NE(log.lines()[0].find("the game cannot start"), std::string::npos);
    EXPECT_FALSE(rt::exceptionPending());
    EXPECT_EQ(rt::getStaticClass().constantStrings(), nullptr) << "nothing installed";
}

INSTANTIATE_TEST_SUITE_P(Constants, BrokenConstantsTest, ::testing::ValuesIn(kBrokenConstants), NameByWhat{});

TEST_F(ConstantsTest, ABrokenArchiveFailsStartUpSayingWhatIsWrongWithIt) {
    // The index is read before any constant string exists: its faults must
    // not go through exceptions whose messages are constant strings.
    Bytes constants = datakit::writeConstants({u"a"});
    Bytes archive = datakit::writeArchive(
        {datakit::archiveEntry("constants.bin", constants), datakit::archiveEntry("intro.png", "png")});
    archive.resize(2 + 2 + 13 + 8 + 3);
    put("data.bar", archive);
    EXPECT_FALSE(platform::loadConstants()) << "though the constants' entry was read whole";
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_NE(log.lines()[0].find("data.bar: the index is cut at entry 2 of 2"), std::string::npos)
        << log.lines()[0];
    EXPECT_FALSE(log.contains("NullPointer"));
    EXPECT_FALSE(rt::exceptionPending());
    EXPECT_EQ(rt::getStaticClass().constantStrings(), nullptr);
}

TEST_F(ConstantsTest, AMissingResourceFailsStartUp) {
    put("data.bar", datakit::writeArchive({datakit::archiveEntry("intro.png", "png")}));
    EXPECT_FALSE(platform::loadConstants());
    EXPECT_TRUE(log.contains("constant strings: \"/constants.bin\" is not in the resource archive"));
    EXPECT_FALSE(rt::exceptionPending());
}

} // namespace
