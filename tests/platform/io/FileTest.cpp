#include "platform/io/File.h"
#include "platform/io/FileInputStream.h"
#include "platform/io/FileOutputStream.h"
#include "tests/platform/io/IoFixture.h"
#include "tests/support/GuestTask.h"

#include <atomic>
#include <sys/stat.h>

namespace {

using namespace io_testing;
using platform::FileInputStream;
using File = platform::javax_microedition_io_File;

struct FileTest : IoTest {
    File* file(const std::string& name) { return rt::make<File>(devicePath(name)); }
};

TEST_F(FileTest, PathsAreKeptInSmallLettersAndOnlyTheDevicePartIsMatchedWithoutCase) {
    put("mixed.txt", asBytes("lower"));
    put("Upper.txt", asBytes("upper"));
    File* mixed = rt::make<File>(text("\\PROGRAM FILES\\Brivanta\\Vorlax Rally\\MiXeD.TXT"));
    EXPECT_TRUE(mixed->path()->equalsCString("\\program files\\brivanta\\vorlax rally\\mixed.txt"));
    EXPECT_EQ(bytesOf(mixed->readAll()), asBytes("lower"));
    EXPECT_FALSE(file("Upper.txt")->exists()) << "opened as upper.txt, which is not there";

    // Only A to Z change: a Latin-1 capital stays as it is.
    File* accented = file("\xC9t\xC9.BIN");
    EXPECT_EQ(accented->path()->charAt(accented->path()->length() - 7), u'\u00C9');

    EXPECT_TRUE(platform::getProgramFilesPath()->equalsCString("\\Program Files"));
    EXPECT_TRUE(platform::getProgramFolderPath()->equalsCString(kProgramFolder));
}

TEST_F(FileTest, AnInputStreamCountsFromTheLengthItMeasuredAtTheStart) {
    put("ten.bin", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    FileInputStream* in = file("ten.bin")->openInputStream();
    ASSERT_NE(in, nullptr);
    rt::ByteArray* b = rt::newByteArray(8);
    EXPECT_EQ(in->available(), 10);
    EXPECT_EQ(in->read(b, 0, 4), 4);
    EXPECT_EQ(bytesOf(b), (datakit::Bytes{0, 1, 2, 3, 0, 0, 0, 0}));
    EXPECT_EQ(in->available(), 6);

    in->mark(0);
    EXPECT_EQ(in->read(b, 4, 4), 4);
    in->reset();
    EXPECT_EQ(in->read(), 4) << "reset goes back to the mark";

    EXPECT_EQ(in->skip(0), 0);
    EXPECT_EQ(in->skip(-3), -3) << "answered unchanged, without moving";
    EXPECT_EQ(in->available(), 5);
    EXPECT_EQ(in->skip(100), 100);
    EXPECT_LT(in->available(), 0);
    EXPECT_EQ(in->read(b, 0, 4), 0) << "the end of a file reads as 0, never -1";
    EXPECT_EQ(in->read(), -1);

    log.clear();
    EXPECT_EQ(in->read(b, 6, 4), 0);
    EXPECT_TRUE(log.contains("ArrayIndexOutOfBounds")) << "a range outside the array is refused";
    EXPECT_EQ(in->read(b, 0, 0), 0);

    in->close();
    in->close();
    EXPECT_EQ(in->read(), -1);
    EXPECT_FALSE(rt::exceptionPending()) << "no file operation raises";
}

TEST_F(FileTest, CreateAndOpenOutputStreamEmptyAnExistingFile) {
    put("fifty.bin", datakit::Bytes(50, 7));
    File* fifty = file("fifty.bin");
    EXPECT_EQ(fifty->length(), 50);
    EXPECT_TRUE(fifty->create());
    EXPECT_EQ(fifty->length(), 0);
    EXPECT_TRUE(fifty->exists());

    put("old.bin", asBytes("old content"));
    platform::FileOutputStream* out = file("old.bin")->openOutputStream();
    ASSERT_NE(out, nullptr);
    EXPECT_TRUE(fileContent("old.bin").empty()) << "truncated before anything is written";
    out->write(0x141);
    out->write(byteArray(asBytes("xyz")), 1, 2);
    out->write(byteArray(asBytes("!")));
    out->close();
    out->close();
    EXPECT_EQ(fileContent("old.bin"), asBytes("Ayz!"));

    File* fresh = file("New.bin");
    EXPECT_FALSE(fresh->exists());
    EXPECT_TRUE(fresh->create());
    EXPECT_TRUE(fs::exists(inProgramFolder("new.bin")));
}

TEST_F(FileTest, WhatCannotBeOpenedFailsQuietly) {
    const char* paths[] = {
        "\\Program Files\\Brivanta\\Vorlax Rally\\missing.bin", // no such file
        "\\Program Files\\Brivanta\\Vorlax Rally\\no folder\\a.bin",
        "\\Windows\\a.bin",                                   // a folder the host does not map
        "\\Program Files\\Brivanta\\Vorlax Rally\\..\\x.bin", // leaves its folder
        "relative.bin",
    };
    for (const char* path : paths) {
        File* nothing = rt::make<File>(text(path));
        EXPECT_FALSE(nothing->exists()) << path;
        EXPECT_EQ(nothing->length(), 0) << path;
        EXPECT_EQ(nothing->openInputStream(), nullptr) << path;
        EXPECT_EQ(nothing->readAll(), nullptr) << path;
        if (std::string(path) != paths[0]) {
            EXPECT_EQ(nothing->openOutputStream(), nullptr) << path;
            EXPECT_FALSE(nothing->create()) << path;
        }
    }
    EXPECT_FALSE(fs::exists(programFolder().parent_path() / "x.bin"));
    EXPECT_FALSE(rt::exceptionPending());
}

TEST_F(FileTest, ReadAllGivesEveryByteAndListIsAlwaysEmpty) {
    datakit::Bytes big(5000);
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<std::uint8_t>(i * 7);
    put("big.bin", big);
    put("empty.bin", {});
    EXPECT_EQ(bytesOf(file("big.bin")->readAll()), big);
    rt::ByteArray* empty = file("empty.bin")->readAll();
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->length(), 0);

    rt::ObjectArray* names = rt::make<File>(text(kProgramFolder))->list(text("rms"), text(".dat"));
    ASSERT_NE(names, nullptr);
    EXPECT_EQ(names->length(), 0);
}

// A stream that says bytes remain but never brings one.
struct StalledStream final : lib::java_io_InputStream {
    static constexpr rt::ClassId kClassId = rt::ClassId::java_io_InputStream;
    StalledStream()
        : java_io_InputStream(kClassId) {}
    using java_io_InputStream::read;
    std::int32_t read(rt::ByteArray*, std::int32_t, std::int32_t) override { return m_reads++ == 0 ? 3 : 0; }
    std::int32_t read() override { return -1; }
    std::int32_t available() override { return 100; }
    int m_reads = 0;
    RT_NO_REFERENCE_FIELDS(StalledStream, java_io_InputStream)
};

TEST_F(FileTest, ReadAllBytesEndsAtAReadThatBringsNothing) {
    auto* stalled = rt::make<StalledStream>();
    rt::ByteArray* bytes = platform::readAllBytes(stalled);
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(bytes->length(), 3);
    EXPECT_EQ(stalled->m_reads, 2);
    EXPECT_EQ(platform::readAllBytes(nullptr), nullptr);
}

TEST_F(FileTest, ReplacingContentsLeavesTheOldFileUntilTheNewOneIsWhole) {
    put("store.dat", asBytes("old"));
    File* store = file("store.dat");
    EXPECT_TRUE(store->replaceContents(byteArray(asBytes("brand new")), 6, 3));
    EXPECT_EQ(fileContent("store.dat"), asBytes("new"));
    EXPECT_TRUE(store->replaceContents(nullptr, 0, 5));
    EXPECT_TRUE(fileContent("store.dat").empty());

    // The same bytes again leave the file as it is (no new file, no wait for
    // the disk); other bytes of the same length replace it.
    put("same.dat", asBytes("same"));
    const auto inode = [&] {
        struct stat status {};
        return ::stat(inProgramFolder("same.dat").c_str(), &status) == 0 ? status.st_ino : 0;
    };
    const auto before = inode();
    EXPECT_TRUE(file("same.dat")->replaceContents(byteArray(asBytes("the same")), 4, 4));
    EXPECT_EQ(inode(), before);
    EXPECT_TRUE(file("same.dat")->replaceContents(byteArray(asBytes("sane")), 0, 4));
    EXPECT_EQ(fileContent("same.dat"), asBytes("sane"));
    EXPECT_NE(inode(), before);

    // A folder in the way of the temporary file: the old content stays.
    put("kept.dat", asBytes("kept"));
    fs::create_directories(inProgramFolder("kept.dat.new"));
    EXPECT_FALSE(file("kept.dat")->replaceContents(byteArray(asBytes("lost")), 0, 4));
    EXPECT_EQ(fileContent("kept.dat"), asBytes("kept"));

    std::size_t leftovers = 0;
    for (const auto& entry : fs::directory_iterator(programFolder()))
        leftovers += entry.path().extension() == ".new" && entry.is_regular_file();
    EXPECT_EQ(leftovers, 0u);
}

// A file read blocks inside a safe region, where collections run meanwhile
// (and may compact the buffer heap): the bytes still land whole.
TEST_F(FileTest, ReadsStayWholeWhileAnotherThreadKeepsCollecting) {
    datakit::Bytes content(200 * 1024);
    for (std::size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<std::uint8_t>(i * 31 + i / 256);
    put("moving.bin", content);
    std::atomic<bool> stop{false};
    testing_support::GuestTask* churn = testing_support::startGuestTask([&] {
        while (!stop.load()) {
            // Garbage that fills the small buffer heap: its allocations fail,
            // collect and compact.
            for (int i = 0; i < 16; ++i)
                (void)rt::newByteArray(48 * 1024);
            rt::java_lang_Thread::sleep(0);
        }
    });
    for (int round = 0; round < 20; ++round) {
        FileInputStream* in = file("moving.bin")->openInputStream();
        rt::ByteArray* b = rt::newByteArray(static_cast<std::int32_t>(content.size()));
        EXPECT_EQ(in->read(b, 0, b->length()), b->length());
        in->close();
        ASSERT_EQ(bytesOf(b), content) << "round " << round;
    }
    stop = true;
    testing_support::awaitAsGuest([&] { return !churn->isAlive(); });
}

} // namespace
