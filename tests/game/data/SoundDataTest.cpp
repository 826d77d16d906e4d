#include "game/data/SoundData.h"
#include "tests/game/data/DataFixture.h"
#include "tools/datakit/SoundPack.h"

namespace {

using data_testing::DataTest;
using datakit::Bytes;

struct SoundContentTypesTest : DataTest {
    SoundContentTypesTest() {
        testing_support::installConstantStrings({{rt::constants::kDefaultMessage, "no details"},
                                                 {rt::constants::kTextEncoding, "UTF-8"},
                                                 {rt::constants::kPackPartSeparator, "."}});
    }
    // The archive: a two-entry pack "/p.pak" and the resource "types.bin".
    void putData(const Bytes& types) {
        std::vector<datakit::ArchiveEntry> files =
            datakit::packArchiveEntries(u"p.pak", u".",
                                        datakit::writePack({datakit::packEntry(0, Bytes{1, 2, 3}),
                                                            datakit::packEntry(0, Bytes{4, 5, 6, 7})}));
        files.push_back({u"types.bin", types, {}, {}});
        putArchive(files);
    }
    static std::string contentType(std::int32_t index) { return game::getContentType(index)->toUtf8(); }
};

TEST_F(SoundContentTypesTest, ReadsEachNameAndAnswersTheDefaultPastTheEnd) {
    putData(datakit::writeContentTypes({"audio/x-wav", "audio/ogg"}));
    game::loadContentTypes(text("/types.bin"));
    EXPECT_EQ(contentType(0), "audio/x-wav");
    EXPECT_EQ(contentType(1), "audio/ogg");
    EXPECT_EQ(contentType(2), "no details") << "the default message";
    EXPECT_EQ(contentType(-1), "no details");
}

TEST_F(SoundContentTypesTest, ATableCutShortKeepsWhatCameBeforeTheEnd) {
    putData({3, 3, 'w', 'a', 'v'});
    game::loadContentTypes(text("/types.bin"));
    EXPECT_FALSE(rt::exceptionPending());
    EXPECT_EQ(contentType(0), "wav");
    EXPECT_EQ(contentType(1), "no details");
    EXPECT_TRUE(log.contains("ends after 1 of 3 items"));
}

TEST_F(SoundContentTypesTest, ReadingTheTableLeavesAnOpenPackWhereItStood) {
    putData(datakit::writeContentTypes({"audio/x-wav"}));
    open("/p.pak");
    EXPECT_EQ(testing_support::bytesOf(game::packReadEntry(0)), (Bytes{1, 2, 3}));
    game::loadContentTypes(text("/types.bin"));
    EXPECT_EQ(testing_support::bytesOf(game::packReadEntry(1)), (Bytes{4, 5, 6, 7}));
    game::loadContentTypes(text("/missing.bin"));
    EXPECT_EQ(contentType(0), "audio/x-wav") << "read once";
}

} // namespace
