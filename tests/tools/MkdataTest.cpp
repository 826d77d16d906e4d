// The mkdata program, run as the build runs it: the bytes it writes, how it
// replaces an older set, and what it refuses to replace.

#include "tests/support/BuildPaths.h"
#include "tests/support/TemporaryFolder.h"
#include "tools/datakit/ByteWriter.h"
#include "tools/datakit/Files.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;
using datakit::Bytes;

// Runs mkdata with `arguments` (already quoted) and answers its exit status.
int mkdata(const std::string& arguments) {
    std::string command = std::string("'") + VORLAX_MKDATA + "' " + arguments + " >/dev/null 2>&1";
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

// Every file below `folder`, by its path relative to it, with its bytes.
std::map<std::string, Bytes> contentOf(const fs::path& folder) {
    std::map<std::string, Bytes> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file())
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        files[fs::relative(entry.path(), folder).string()] =
            Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return files;
}

// The names in `folder`, which must hold nothing but what the test made.
std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(Mkdata, TwoRunsWriteTheSameBytes) {
    testing_support::TemporaryFolder root("vorlax-mkdata");
    ASSERT_EQ(mkdata(quoted(root.path() / "first")), 0);
    ASSERT_EQ(mkdata(quoted(root.path() / "second")), 0);
    std::map<std::string, Bytes> first = contentOf(root.path() / "first");
    EXPECT_TRUE(first.contains("data.bar"));
    EXPECT_EQ(first, contentOf(root.path() / "second"));
    EXPECT_EQ(namesIn(root.path()), (std::vector<std::string>{"first", "second"})) << "nothing left beside";
}

TEST(Mkdata, AnOlderSetIsReplacedWhole) {
    testing_support::TemporaryFolder root("vorlax-mkdata");
    fs::path out = root.path() / "demo";
    ASSERT_EQ(mkdata(quoted(out)), 0);
    std::map<std::string, Bytes> fresh = contentOf(out);
    ASSERT_TRUE(datakit::writeFile((out / "data.bar").string(), {1, 2, 3}).ok());
    ASSERT_TRUE(datakit::writeFile((out / "stale.txt").string(), {4}).ok());

    ASSERT_EQ(mkdata(quoted(out)), 0);
    EXPECT_EQ(contentOf(out), fresh);
    EXPECT_EQ(namesIn(root.path()), std::vector<std::string>{"demo"});
}

TEST(Mkdata, MakingTheSetAgainKeepsThePlayersRecordStores) {
    testing_support::TemporaryFolder root("vorlax-mkdata");
    fs::path out = root.path() / "demo";
    ASSERT_EQ(mkdata(quoted(out)), 0);
    std::map<std::string, Bytes> fresh = contentOf(out);
    const std::map<std::string, Bytes> stores = {
        {"rms_VorlaxProgress.dat", {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1}},
        {"rms_VorlaxProgress_1.dat", {42, 43}}};
    for (const auto& [name, bytes] : stores)
        ASSERT_TRUE(datakit::writeFile((out / name).string(), bytes).ok());
    ASSERT_TRUE(datakit::writeFile((out / "data.bar").string(), {1, 2, 3}).ok()) << "a stale set";

    ASSERT_EQ(mkdata(quoted(out)), 0);
    std::map<std::string, Bytes> expected = fresh;
    expected.insert(stores.begin(), stores.end());
    EXPECT_EQ(contentOf(out), expected);
    EXPECT_EQ(namesIn(root.path()), std::vector<std::string>{"demo"});
}

TEST(Mkdata, ACurrentSetIsLeftAsItIsAndCarriesTheGeneratorsDigest) {
    testing_support::TemporaryFolder root("vorlax-mkdata");
    fs::path out = root.path() / "demo";
    ASSERT_EQ(mkdata(quoted(out)), 0);
    Bytes archive = contentOf(out).at("data.bar");
    std::string text(archive.begin(), archive.end());
    std::size_t stamp = text.find("Vorlax-Data-Digest: ");
    ASSERT_NE(stamp, std::string::npos);
    EXPECT_EQ(text.find_first_not_of("0123456789abcdef", stamp + 20), stamp + 36) << "16 hex digits";

    auto old = fs::file_time_type::clock::now() - std::chrono::hours(24);
    fs::last_write_time(out / "data.bar", old);
    ASSERT_EQ(mkdata(quoted(out)), 0);
    EXPECT_EQ(fs::last_write_time(out / "data.bar"), old) << "not written again";
}

TEST(Mkdata, RefusesToReplaceWhatIsNotAProgramFolder) {
    testing_support::TemporaryFolder root("vorlax-mkdata");
    ASSERT_TRUE(datakit::writeFile((root.path() / "file").string(), {7}).ok());
    ASSERT_TRUE(datakit::writeFile((root.path() / "folder" / "notes.txt").string(), {8}).ok());

    EXPECT_EQ(mkdata(quoted(root.path() / "file")), 1);
    EXPECT_EQ(mkdata(quoted(root.path() / "folder")), 1);
    EXPECT_EQ(contentOf(root.path()),
              (std::map<std::string, Bytes>{{"file", {7}}, {"folder/notes.txt", {8}}}));
    EXPECT_EQ(namesIn(root.path()), (std::vector<std::string>{"file", "folder"}));

    EXPECT_EQ(mkdata(""), 2) << "no folder given";
    EXPECT_EQ(mkdata(quoted(root.path() / "a") + " " + quoted(root.path() / "b")), 2);
}

} // namespace
