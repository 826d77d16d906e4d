// A process that dies while it saves must leave a store that opens with each
// record whole: the old version or the new one. A child process saves over
// and over (a record rewritten, a record added and deleted, so that both the
// record files and the index are rewritten); the test kills it at a random
// moment, then a second child opens the store and checks every byte.

#include "classlib/ClassLibrary.h"
#include "host/system/SystemFolders.h"
#include "platform/io/RecordEnumeration.h"
#include "platform/io/RecordStore.h"
#include "platform/io/fileio.h"
#include "runtime/Runtime.h"
#include "tests/platform/io/IoFixture.h"
#include "tools/datakit/RecordStore.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace io_testing;
using RecordStore = platform::javax_microedition_rms_RecordStore;

constexpr std::int32_t kRecordSize = 256 * 1024;
const datakit::RecordStoreNames kNames{"rms_", ".dat", "#"};

// What the children share: a runtime of their own, the program folder under
// `root`, the constant strings of the store's file names.
struct ChildPlatform {
    explicit ChildPlatform(const fs::path& root)
        : folders(host::FolderOptions{(root / "pf" / "Brivanta" / "Vorlax Rally").string(),
                                      (root / "pf").string(), (root / "temp").string()}) {
        lib::installClassLibrary(runtime);
        testing_support::installConstantStrings({{rt::constants::kDefaultMessage, ""},
                                                 {rt::constants::kRecordStoreFull, "full"},
                                                 {rt::constants::kRecordStorePathSeparator, "\\"},
                                                 {rt::constants::kRecordStorePrefix, "rms_"},
                                                 {rt::constants::kRecordStoreSuffix, ".dat"},
                                                 {rt::constants::kRecordStoreWriteFailed, "no index"},
                                                 {rt::constants::kRecordStoreRecordInfix, "#"}});
        platform::setFileFolders(&folders);
    }
    host::SystemFolders folders;
    testing_support::FreeThreads threads;
    rt::Runtime runtime{rt::RuntimeOptions{1 << 20, 8 << 20, &threads.threads, &threads.clock}};
};

// Saves version after version of record 1 (every byte the version number)
// until it is killed.
[[noreturn]] void saveForever(const fs::path& root) {
    ChildPlatform child(root);
    RecordStore* store = RecordStore::openRecordStore(rt::String::newFromCString("Crash"), false);
    if (!store)
        std::_Exit(10);
    for (std::int32_t version = 1;; ++version) {
        rt::ByteArray* record = rt::newByteArray(kRecordSize);
        std::memset(record->elements(), version & 0xFF, kRecordSize);
        store->setRecord(1, record, 0, kRecordSize);
        std::int32_t extra = store->addRecord(record, 0, 16);
        store->deleteRecord(extra);
        if (rt::exceptionPending())
            std::_Exit(11);
    }
}

// Opens the store and answers 0 when it holds record 1 whole.
[[noreturn]] void checkStore(const fs::path& root) {
    ChildPlatform child(root);
    RecordStore* store = RecordStore::openRecordStore(rt::String::newFromCString("Crash"), false);
    if (!store)
        std::_Exit(20);
    // A kill between adding an extra record and deleting it leaves that one
    // listed too; record 1 stays first.
    if (store->enumerateRecords()->nextRecordId() != 1 || store->getRecordSize(1) != kRecordSize)
        std::_Exit(21);
    rt::ByteArray* record = store->getRecord(1);
    if (!record || record->length() != kRecordSize)
        std::_Exit(22);
    auto* bytes = reinterpret_cast<const std::uint8_t*>(record->elements());
    for (std::int32_t i = 1; i < kRecordSize; ++i) {
        if (bytes[i] != bytes[0])
            std::_Exit(23);
    }
    std::_Exit(rt::exceptionPending() ? 24 : 0);
}

int waitFor(pid_t child) {
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

TEST(RecordStoreCrash, AStoreKilledWhileSavingReopensWithWholeRecords) {
    TemporaryFolder root;
    fs::path program = root.path() / "pf" / "Brivanta" / "Vorlax Rally";
    fs::create_directories(program);
    fs::create_directories(root.path() / "temp");
    for (const auto& [name, bytes] :
         datakit::writeRecordStore({"Crash", 1, {{1, datakit::Bytes(kRecordSize, 0)}}}, kNames))
        ASSERT_TRUE(datakit::writeFile((program / name).string(), bytes).ok());

    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> delayUs(500, 40000);
    for (int round = 0; round < 25; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        pid_t saver = ::fork();
        ASSERT_GE(saver, 0);
        if (saver == 0)
            saveForever(root.path());
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        ::kill(saver, SIGKILL);
        int status = waitFor(saver);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saver stopped by itself: " << WEXITSTATUS(status);

        pid_t checker = ::fork();
        ASSERT_GE(checker, 0);
        if (checker == 0)
            checkStore(root.path());
        status = waitFor(checker);
        ASSERT_TRUE(WIFEXITED(status));
        ASSERT_EQ(WEXITSTATUS(status), 0)
            << "20 no store, 21 wrong ids or size, 22 no record, 23 a torn record";
    }
}

} // namespace
