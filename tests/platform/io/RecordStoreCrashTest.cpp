// A process that dies while it saves must leave a store as it was before the
// operation under way or as that operation leaves it: every listed record
// whole, no record listed that was deleted or never committed, and the ids
// exactly those of one of the two states.
//
// A child process (the saver) follows a fixed plan of operations (record 1
// rewritten whole, records added, records deleted) and appends the number of
// each operation it finished to a log. The test kills it at a random moment;
// a second child (the checker) opens the store and compares it with the
// states the plan gives after the last logged operation and after the next
// one. The next round's saver goes on from the state the checker found.

#include "host/system/SystemFolders.h"
#include "platform/Platform.h"
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
#include <fcntl.h>
#include <random>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace io_testing;
using RecordStore = platform::javax_microedition_rms_RecordStore;

constexpr std::int32_t kLargeRecordSize = 256 * 1024;
const datakit::RecordStoreNames kNames{"rms_", ".dat", "#"};

// A record of the plan: its bytes follow from its size and seed, so that a
// record torn between two versions, shifted or cut never matches.
struct PlannedRecord {
    std::int32_t id = 0;
    std::int32_t size = 0;
    std::int64_t seed = 0;

    std::uint8_t byteAt(std::int32_t i) const { return static_cast<std::uint8_t>(seed * 31 + i); }
    datakit::Bytes bytes() const {
        datakit::Bytes all(static_cast<std::size_t>(size));
        for (std::int32_t i = 0; i < size; ++i)
            all[static_cast<std::size_t>(i)] = byteAt(i);
        return all;
    }
};

// What the store holds after a number of the plan's operations.
struct PlannedStore {
    std::int32_t lastRecordId = 1;
    std::vector<PlannedRecord> records{{1, kLargeRecordSize, 0}};
};

enum class Operation : std::uint8_t { Set, Add, Delete };

struct Step {
    Operation operation;
    PlannedRecord record; // for Delete only its id counts
};

// Operation `number` (from 1) of the plan, in a cycle of five: record 1
// rewritten, two records added, the two oldest added ones deleted. Deletions
// make up most of the cycle's file operations, so that kills land in them.
Step planned(const PlannedStore& store, std::int64_t number) {
    switch (number % 5) {
    case 1:
        return {Operation::Set, {1, kLargeRecordSize, number}};
    case 2:
    case 3:
        return {Operation::Add,
                {store.lastRecordId + 1, static_cast<std::int32_t>(16 + number % 48), number}};
    default:
        return {Operation::Delete, {store.records.at(1).id, 0, 0}};
    }
}

void apply(PlannedStore& store, const Step& step) {
    switch (step.operation) {
    case Operation::Set:
        store.records.at(0) = step.record;
        break;
    case Operation::Add:
        store.lastRecordId = step.record.id;
        store.records.push_back(step.record);
        break;
    case Operation::Delete:
        std::erase_if(store.records, [&](const PlannedRecord& r) { return r.id == step.record.id; });
        break;
    }
}

PlannedStore after(std::int64_t operations) {
    PlannedStore store;
    for (std::int64_t number = 1; number <= operations; ++number)
        apply(store, planned(store, number));
    return store;
}

// What the children share: a runtime of their own, the program folder under
// `root`, the constant strings of the store's file names.
struct ChildPlatform {
    explicit ChildPlatform(const fs::path& root)
        : folders(host::FolderOptions{(root / "pf" / "Brivanta" / "Vorlax Rally").string(),
                                      (root / "pf").string(), (root / "temp").string()}) {
        platform::installPlatform(runtime);
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

// A whole number kept in a small file of `root`; 0 when there is none.
std::int64_t readNumber(const fs::path& file) {
    std::ifstream in(file);
    std::int64_t value = 0;
    in >> value;
    return value;
}

void writeNumber(const fs::path& file, std::int64_t value) {
    std::ofstream(file, std::ios::trunc) << value << '\n';
}

// The number of the last operation the saver logged as finished.
std::int64_t lastLogged(const fs::path& log, std::int64_t start) {
    std::ifstream in(log);
    std::int64_t last = start;
    std::int64_t number = 0;
    while (in >> number)
        last = number;
    return last;
}

// Carries out the plan from the state the last check found until killed.
// `ready` is written a byte once the store is open: the kills land in the
// saving, not in the child's start (slow under the sanitizers).
[[noreturn]] void saveForever(const fs::path& root, int ready) {
    ChildPlatform child(root);
    std::int64_t done = readNumber(root / "found");
    PlannedStore plan = after(done);
    int log = ::open((root / "log").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND, 0600);
    RecordStore* store = RecordStore::openRecordStore(rt::String::newFromCString("Crash"), false);
    if (log < 0 || !store)
        std::_Exit(10);
    if (::write(ready, "r", 1) != 1)
        std::_Exit(14);
    for (std::int64_t number = done + 1;; ++number) {
        Step step = planned(plan, number);
        if (step.operation == Operation::Delete) {
            store->deleteRecord(step.record.id);
        } else {
            datakit::Bytes bytes = step.record.bytes();
            rt::ByteArray* data = byteArray(bytes);
            if (step.operation == Operation::Set)
                store->setRecord(1, data, 0, step.record.size);
            else if (store->addRecord(data, 0, step.record.size) != step.record.id)
                std::_Exit(11);
        }
        if (rt::exceptionPending())
            std::_Exit(12);
        apply(plan, step);
        // One write: a kill lands before it or after it, never inside.
        std::string line = std::to_string(number) + "\n";
        if (::write(log, line.data(), line.size()) != static_cast<ssize_t>(line.size()))
            std::_Exit(13);
    }
}

// How the opened store differs from `expected`; empty when it does not.
std::string differences(RecordStore* store, const PlannedStore& expected) {
    std::ostringstream found;
    if (store->lastRecordId() != expected.lastRecordId)
        found << "last id " << store->lastRecordId() << " for " << expected.lastRecordId << "; ";
    std::vector<std::int32_t> ids;
    auto* records = store->enumerateRecords();
    while (records->hasNextElement())
        ids.push_back(records->nextRecordId());
    std::vector<std::int32_t> expectedIds;
    for (const PlannedRecord& record : expected.records)
        expectedIds.push_back(record.id);
    if (ids != expectedIds) {
        found << "ids";
        for (std::int32_t id : ids)
            found << ' ' << id;
        found << " for";
        for (std::int32_t id : expectedIds)
            found << ' ' << id;
        return found.str();
    }
    for (const PlannedRecord& record : expected.records) {
        rt::ByteArray* bytes = store->getRecord(record.id);
        if (!bytes || bytes->length() != record.size) {
            found << "record " << record.id << " holds " << (bytes ? bytes->length() : -1) << " bytes for "
                  << record.size << "; ";
            continue;
        }
        auto* data = reinterpret_cast<const std::uint8_t*>(bytes->elements());
        for (std::int32_t i = 0; i < record.size; ++i) {
            if (data[i] != record.byteAt(i)) {
                found << "record " << record.id << " differs at byte " << i << "; ";
                break;
            }
        }
    }
    if (rt::exceptionPending())
        found << "an exception is pending";
    return found.str();
}

// Opens the store and compares it with the states before and after the
// operation the saver was in; writes the one found to "found", or what is
// wrong to "verdict" and exits with 1.
[[noreturn]] void checkStore(const fs::path& root) {
    ChildPlatform child(root);
    std::int64_t start = readNumber(root / "found");
    std::int64_t logged = lastLogged(root / "log", start);
    RecordStore* store = RecordStore::openRecordStore(rt::String::newFromCString("Crash"), false);
    if (!store) {
        std::ofstream(root / "verdict") << "the store does not open";
        std::_Exit(1);
    }
    std::string before = differences(store, after(logged));
    if (before.empty()) {
        writeNumber(root / "found", logged);
        std::_Exit(0);
    }
    std::string next = differences(store, after(logged + 1));
    if (next.empty()) {
        writeNumber(root / "found", logged + 1);
        std::_Exit(0);
    }
    std::ofstream(root / "verdict") << "killed after operation " << logged
                                    << ". Against the state before: " << before
                                    << " Against the state after: " << next;
    std::_Exit(1);
}

int waitFor(pid_t child) {
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

TEST(RecordStoreCrash, AStoreKilledWhileSavingReopensAsBeforeOrAfterTheOperation) {
    TemporaryFolder root;
    fs::path program = root.path() / "pf" / "Brivanta" / "Vorlax Rally";
    fs::create_directories(program);
    fs::create_directories(root.path() / "temp");
    const PlannedStore initial = after(0);
    for (const auto& [name, bytes] : datakit::writeRecordStore(
             {"Crash", initial.lastRecordId, {{1, initial.records[0].bytes()}}}, kNames))
        ASSERT_TRUE(datakit::writeFile((program / name).string(), bytes).ok());

    std::mt19937 random(20240611);
    // Each operation waits for the disk (milliseconds): a round's delay spans
    // several of them.
    std::uniform_int_distribution<int> delayUs(300, 100000);
    std::int64_t previous = 0;
    // At least 40 kills, and more until the saver has finished 40 operations
    // in all: on a loaded machine a round may see little work done.
    constexpr int kRounds = 40;
    constexpr std::int64_t kOperations = 40;
    for (int round = 0; round < kRounds || (previous <= kOperations && round < 20 * kRounds); ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        pid_t saver = ::fork();
        ASSERT_GE(saver, 0);
        if (saver == 0)
            saveForever(root.path(), ready[1]);
        ::close(ready[1]);
        char started = 0;
        ASSERT_EQ(::read(ready[0], &started, 1), 1) << "the saver did not open the store";
        ::close(ready[0]);
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
        std::ifstream verdict(root.path() / "verdict");
        ASSERT_EQ(WEXITSTATUS(status), 0) << std::string(std::istreambuf_iterator<char>(verdict), {});
        std::int64_t found = readNumber(root.path() / "found");
        EXPECT_GE(found, previous) << "a store never goes back behind a finished operation";
        previous = found;
    }
    EXPECT_GT(previous, kOperations) << "the saver got to work";
}

} // namespace
