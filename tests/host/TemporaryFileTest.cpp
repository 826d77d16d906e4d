#include "host/TemporaryFile.h"

#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::vector<std::uint8_t> kBytes = {'M', 'T', 'h', 'd', 0, 1};

TEST(TemporaryFile, MakesAPrivateFolderAndFileAndRemovesBoth) {
    testing_support::TemporaryFolder shared("vorlax-tempfile");
    fs::path file, folder;
    {
        auto made = host::TemporaryFile::create(shared.path().string() + "/", "sound1.mid", kBytes);
        ASSERT_TRUE(made.ok()) << made.error().message;
        file = made.value()->path();
        folder = made.value()->folder();
        EXPECT_EQ(file.parent_path(), folder);
        EXPECT_EQ(folder.parent_path(), shared.path());
        EXPECT_EQ(fs::status(folder).permissions(), fs::perms::owner_all);
        EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write);
        EXPECT_EQ(fs::file_size(file), kBytes.size());
    }
    EXPECT_FALSE(fs::exists(file));
    EXPECT_TRUE(fs::is_empty(shared.path())) << "the folder goes with the file";
}

TEST(TemporaryFile, RefusesNamesThatLeaveTheFolderAndFoldersThatDoNotExist) {
    testing_support::TemporaryFolder shared("vorlax-tempfile");
    const std::string parent = shared.path().string();
    for (const char* name : {"", ".", "..", "../sound1.mid", "a/b"})
        EXPECT_FALSE(host::TemporaryFile::create(parent, name, kBytes).ok()) << name;
    EXPECT_FALSE(host::TemporaryFile::create(parent + "/missing", "sound1.mid", kBytes).ok());
    EXPECT_TRUE(fs::is_empty(shared.path())) << "a refusal leaves nothing behind";
}

} // namespace
