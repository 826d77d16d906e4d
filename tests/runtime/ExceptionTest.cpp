#include "runtime/Exceptions.h"
#include "runtime/String.h"
#include "runtime/ThreadState.h"
#include "runtime/checks.h"
#include "tests/support/FreeThreads.h"
#include "tests/support/GuestTask.h"
#include "tests/support/LogCapture.h"
#include "tests/support/RuntimeFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <future>
#include <string>
#include <thread>
#include <vector>

namespace {

using rt::ClassId;
using testing_support::TestThrowable;

constexpr std::int32_t id(ClassId classId) {
    return rt::toInt(classId);
}

struct ExceptionTest : ::testing::Test {
    ExceptionTest() { testing_support::installTestThrowables(runtime); }
    testing_support::LogCapture log;
    rt::Runtime runtime{rt::RuntimeOptions{1 << 16, 1 << 16}};
};

TEST_F(ExceptionTest, CatchTablesMatchSiteRangeAndClass) {
    const rt::CatchRow exceptionRow[] = {{id(ClassId::java_lang_Exception), 0, 5}, {0, 0, 0}};
    const rt::CatchRow secondRow[] = {{id(ClassId::java_lang_IllegalArgumentException), 0, 10},
                                      {id(ClassId::java_lang_Throwable), 0, 10},
                                      {0, 0, 0}};
    const rt::CatchRow endsAtOnce[] = {{0, 0, 100}, {id(ClassId::java_lang_Exception), 0, 100}};

    struct Case {
        const char* name;
        const rt::CatchRow* table;
        std::int32_t site;
        std::int32_t row;
    };
    const Case cases[] = {
        {"inside the row", exceptionRow, 3, 0},
        {"first site", exceptionRow, 0, 0},
        {"end site", exceptionRow, 5, -1},
        {"a later row", secondRow, 9, 1},
        {"a table that ends at once", endsAtOnce, 3, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rt::raise(ClassId::java_lang_NullPointerException);
        rt::Object* thrown = rt::getPendingException();
        ASSERT_NE(thrown, nullptr);
        EXPECT_EQ(rt::checkException(c.site), 1);
        EXPECT_EQ(rt::dispatchCatch(c.table), c.row);
        EXPECT_EQ(rt::getPendingException(), c.row >= 0 ? nullptr : thrown);
        rt::clearPendingException();
    }
    EXPECT_EQ(rt::checkException(1), 0);
    EXPECT_EQ(rt::dispatchCatch(exceptionRow), -1);
}

TEST_F(ExceptionTest, AThrowCarriesItsMessageAndTheStackTrace) {
    rt::pushTrace("ObjectManager::gc()");
    rt::raise(ClassId::java_io_EOFException, "end of stream");
    rt::popTrace();
    auto* thrown = static_cast<TestThrowable*>(rt::getPendingException());
    ASSERT_NE(thrown, nullptr);
    EXPECT_EQ(thrown->classId(), ClassId::java_io_EOFException);
    EXPECT_EQ(thrown->m_message->toUtf8(), "end of stream");
    ASSERT_NE(thrown->m_stackTrace, nullptr);
    EXPECT_EQ(thrown->m_stackTrace->toUtf8(), "stacktrace:\nObjectManager::gc()\n");

    // Caught by an ancestor's id, not by an unrelated one.
    EXPECT_EQ(rt::catchException(ClassId::java_lang_RuntimeException), nullptr);
    EXPECT_EQ(rt::catchException(ClassId::java_io_IOException), thrown);
    EXPECT_FALSE(rt::exceptionPending());
}

TEST_F(ExceptionTest, AThrowHelperAnswersANeutralValue) {
    auto divide = [](std::int32_t a, std::int32_t b) -> std::int32_t {
        if (b == 0)
            return rt::raise(ClassId::java_lang_ArithmeticException);
        return a / b;
    };
    auto find = []() -> rt::Object* { return rt::raise(ClassId::java_util_NoSuchElementException); };
    EXPECT_EQ(divide(6, 0), 0);
    EXPECT_NE(rt::catchException(ClassId::java_lang_ArithmeticException), nullptr);
    EXPECT_EQ(find(), nullptr);
    EXPECT_TRUE(rt::exceptionPending());
    rt::clearPendingException();

    // A throw of null becomes a NullPointerException.
    rt::raise(static_cast<rt::Object*>(nullptr));
    EXPECT_TRUE(log.contains("NullPointer"));
    EXPECT_NE(rt::catchException(ClassId::java_lang_NullPointerException), nullptr);
}

TEST_F(ExceptionTest, APendingExceptionIsARoot) {
    rt::raise(ClassId::java_lang_IllegalStateException, "kept");
    auto* thrown = static_cast<TestThrowable*>(rt::getPendingException());
    rt::make<rt::Object>(); // the newest object, which a failed allocation also keeps
    auto& collector = runtime.objectManager();
    collector.gc(rt::ObjectManager::kAllocationFailure);
    ASSERT_FALSE(thrown->isFreed());
    EXPECT_EQ(thrown->m_message->toUtf8(), "kept");
    EXPECT_FALSE(thrown->m_stackTrace->isFreed());

    // Once caught, it goes with its message, its trace and the older plain object.
    rt::clearPendingException();
    rt::make<rt::Object>();
    EXPECT_EQ(collector.gc(rt::ObjectManager::kAllocationFailure).freed, 4u);
}

TEST(ExceptionHooks, WithoutExceptionClassesARaiseIsLoggedAndNothingIsPending) {
    testing_support::LogCapture log;
    rt::Runtime runtime{rt::RuntimeOptions{1 << 16, 1 << 16}};
    rt::raise(ClassId::java_lang_ArithmeticException);
    EXPECT_FALSE(rt::exceptionPending());
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{
                  "cannot throw java_lang_ArithmeticException: no exception class is registered for it"}));
}

TEST_F(ExceptionTest, PendingExceptionsBelongToTheirThread) {
    rt::raise(ClassId::java_lang_IllegalStateException);
    rt::Object* mine = rt::getPendingException();
    ASSERT_NE(mine, nullptr);
    EXPECT_EQ(runtime.threadStates().size(), 1u);

    std::promise<void> raised;
    std::promise<void> release;
    rt::Object* theirs = nullptr;
    std::thread other([&] {
        EXPECT_FALSE(rt::exceptionPending());
        EXPECT_EQ(rt::checkException(1), 0);
        rt::raise(ClassId::java_io_IOException);
        theirs = rt::getPendingException();
        raised.set_value();
        release.get_future().wait();
        EXPECT_EQ(rt::getPendingException(), theirs);
    });
    raised.get_future().wait();
    EXPECT_EQ(rt::getPendingException(), mine);

    // The collector reaches both pending slots, and may rewrite them.
    std::vector<rt::Object*> visited;
    runtime.threadStates().forEachPendingException([&](rt::Object*& slot) { visited.push_back(slot); });
    EXPECT_EQ(visited.size(), 2u);
    EXPECT_NE(std::find(visited.begin(), visited.end(), mine), visited.end());
    EXPECT_NE(std::find(visited.begin(), visited.end(), theirs), visited.end());

    release.set_value();
    other.join();
    EXPECT_EQ(runtime.threadStates().size(), 1u);
    EXPECT_EQ(rt::getPendingException(), mine);
    rt::clearPendingException();
}

struct Thrower final : rt::Object, rt::java_lang_Runnable {
    Thrower()
        : Object(ClassId::cGame) {}
    void run() override {
        rt::raise(ClassId::java_lang_NullPointerException, "no canvas");
        stillPendingAfterRun = rt::exceptionPending();
    }
    bool stillPendingAfterRun = false;
    RT_NO_REFERENCE_FIELDS(Thrower, Object)
};

TEST_F(ExceptionTest, AnExceptionUncaughtAtTheEndOfARunIsLoggedAndCleared) {
    Thrower* thrower = rt::make<Thrower>();
    bool pendingAfterwards = true;
    std::thread thread([&] {
        rt::runThreadBody(*thrower);
        pendingAfterwards = rt::exceptionPending();
    });
    thread.join();
    EXPECT_TRUE(thrower->stillPendingAfterRun);
    EXPECT_FALSE(pendingAfterwards);
    EXPECT_TRUE(log.contains("uncaught exception java_lang_NullPointerException: no canvas"));
}

TEST(ExceptionThreads, ARuntimeThreadReportsWhatItsRunLeftPending) {
    testing_support::LogCapture log;
    testing_support::FreeThreads host;
    rt::Runtime runtime{rt::RuntimeOptions{1 << 20, 1 << 20, &host.threads, &host.clock}};
    testing_support::installTestThrowables(runtime);
    auto* task = testing_support::startGuestTask(
        [] { rt::raise(ClassId::java_lang_IllegalStateException, "closed player"); });
    testing_support::awaitAsGuest([&] { return !task->isAlive(); });
    EXPECT_TRUE(log.contains("uncaught exception java_lang_IllegalStateException: closed player"));
    EXPECT_FALSE(rt::exceptionPending());
}

TEST(ThreadStateLifetime, TheWordsEndWithTheirRuntime) {
    {
        rt::Runtime first{rt::RuntimeOptions{1 << 16, 1 << 16}};
        testing_support::installTestThrowables(first);
        rt::raise(ClassId::java_lang_Exception);
        rt::pushTrace("left over");
        ASSERT_TRUE(rt::exceptionPending());
    }
    rt::Runtime second{rt::RuntimeOptions{1 << 16, 1 << 16}};
    EXPECT_FALSE(rt::exceptionPending());
    EXPECT_EQ(rt::ThreadState::current().traceDepth(), 0);
    EXPECT_EQ(second.threadStates().size(), 1u);
}

TEST(ThreadStateTrace, DepthAndTextAreBounded) {
    rt::ThreadState state;
    for (int i = 0; i < 300; ++i)
        state.pushTrace(i % 2 ? "java_util_Hashtable::rehash()" : "java_util_Vector::addElement()");
    EXPECT_EQ(state.traceDepth(), 300);
    EXPECT_EQ(state.traceNames().size(), 256u);
    std::string text = state.traceText();
    EXPECT_EQ(text.size(), rt::ThreadState::kTraceTextCapacity - 1);
    // The most recent stored name comes first.
    EXPECT_EQ(text.rfind("stacktrace:\njava_util_Hashtable::rehash()\njava_util_Vector::addElement()\n", 0),
              0u);
    for (int i = 0; i < 301; ++i)
        state.popTrace();
    EXPECT_EQ(state.traceDepth(), 0);
    EXPECT_EQ(state.traceText(), "stacktrace:\n");
}

TEST(RuntimeErrorReport, EachCheckLogsItsLineThenTheTrace) {
    testing_support::LogCapture log;
    rt::printStackTrace();
    rt::pushTrace("cGame::paint()");
    rt::reportNullPointer();
    rt::reportIndexOutOfBounds(rt::IndexKind::String, 7, 3);
    rt::popTrace();
    EXPECT_EQ(log.lines(), (std::vector<std::string>{
                               "stacktrace:", "NullPointer", "stacktrace:\ncGame::paint()",
                               "StringIndexOutOfBounds index=7 length=3", "stacktrace:\ncGame::paint()"}));
    log.clear();
    std::string longText(3000, 'x');
    rt::logPrintf("%s", longText.c_str());
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_EQ(log.lines()[0].size(), 1024u);
}

// A report repeated every frame must not flood the log: the first few of a
// kind are logged, the rest counted; the tally keeps the first report and
// its trace for the program's exit and for harnesses.
TEST(RuntimeErrorReport, TheLogHoldsTheFirstFewOfEachKindAndEveryReportIsCounted) {
    testing_support::LogCapture log;
    rt::pushTrace("cGame::paint()");
    const int repeats = 1000;
    for (int i = 0; i < repeats; ++i) {
        rt::reportIndexOutOfBounds(rt::IndexKind::Array, i, 4);
        rt::reportNullPointer();
    }
    rt::reportRuntimeError("drawRegion x_src");
    rt::popTrace();
    const std::vector<std::string> lines = log.lines();
    auto count = [&](std::string_view start) {
        return std::count_if(lines.begin(), lines.end(),
                             [&](const std::string& l) { return l.starts_with(start); });
    };
    const auto logged = static_cast<std::ptrdiff_t>(rt::kReportsLoggedPerKind);
    EXPECT_EQ(count("ArrayIndexOutOfBounds index="), logged);
    EXPECT_EQ(count("NullPointer"), logged);
    EXPECT_EQ(count("drawRegion x_src"), 1);
    EXPECT_EQ(count("runtime check ArrayIndexOutOfBounds: further reports of this kind are counted"), 1);
    // The logged index reports are the first ones.
    EXPECT_EQ(lines[0], "ArrayIndexOutOfBounds index=0 length=4");

    const rt::RuntimeReports reports = rt::runtimeReports();
    EXPECT_EQ(reports.count, 2u * repeats + 1);
    EXPECT_EQ(reports.first, "ArrayIndexOutOfBounds index=0 length=4");
    EXPECT_EQ(reports.firstTrace, "stacktrace:\ncGame::paint()\n");
    ASSERT_EQ(reports.kinds.size(), 3u);
    EXPECT_EQ(reports.kinds[0].kind, "ArrayIndexOutOfBounds");
    EXPECT_EQ(reports.kinds[0].count, static_cast<std::uint64_t>(repeats));
    EXPECT_EQ(reports.kinds[1].kind, "NullPointer");
    EXPECT_EQ(reports.kinds[2].count, 1u);

    rt::logRuntimeReportCounts();
    EXPECT_TRUE(log.contains("runtime check NullPointer: 1000 reports, the first 5 logged"));
    rt::resetRuntimeReports();
    EXPECT_EQ(rt::runtimeReports().count, 0u);
    EXPECT_EQ(rt::runtimeReports().first, "");
}

} // namespace
