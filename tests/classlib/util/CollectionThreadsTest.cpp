#include "classlib/lang/Integer.h"
#include "classlib/util/Hashtable.h"
#include "classlib/util/Vector.h"
#include "runtime/Monitor.h"
#include "runtime/Thread.h"
#include "tests/classlib/LangUtilFixture.h"
#include "tests/support/FreeThreads.h"
#include "tests/support/GuestTask.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>

namespace {

using lib::java_lang_Integer;
using lib::java_util_Hashtable;
using lib::java_util_Vector;

struct CollectionThreadsTest : ::testing::Test {
    testing_support::FreeThreads host;
    rt::Runtime runtime{rt::RuntimeOptions{4 << 20, 4 << 20, &host.threads, &host.clock}};
    CollectionThreadsTest() { lib::installClassLibrary(runtime); }
};

TEST_F(CollectionThreadsTest, ConcurrentAdditionsAndPutsLoseNothing) {
    constexpr int kThreads = 4;
    constexpr int kEach = 1000;
    auto* vector = rt::make<java_util_Vector>(0);
    auto* table = rt::make<java_util_Hashtable>(0);
    std::atomic<int> finished{0};
    for (int t = 0; t < kThreads; ++t)
        testing_support::startGuestTask([=, &finished] {
            for (int i = 0; i < kEach; ++i) {
                auto* key = rt::make<java_lang_Integer>(t * kEach + i);
                vector->addElement(key);
                (void)table->put(key, key);
                // A fresh key for the lookup: garbage, so that collections run meanwhile.
                EXPECT_EQ(table->get(rt::make<java_lang_Integer>(t * kEach + i)), key);
                if (i % 128 == 0)
                    rt::java_lang_Thread::yield();
            }
            ++finished;
        });
    // Collections stop the workers wherever they are, in the middle of a put or a growth.
    for (int i = 0; i < 10000 && finished < kThreads; ++i) {
        runtime.objectManager().gc(rt::ObjectManager::kAllocationFailure);
        rt::java_lang_Thread::sleep(1);
    }
    ASSERT_EQ(finished, kThreads);
    ASSERT_EQ(vector->size(), kThreads * kEach);
    ASSERT_EQ(table->size(), kThreads * kEach);
    std::set<std::int32_t> seen;
    for (std::int32_t i = 0; i < vector->size(); ++i)
        seen.insert(static_cast<java_lang_Integer*>(vector->elementAt(i))->intValue());
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(kThreads * kEach));
    for (std::int32_t key = 0; key < kThreads * kEach; ++key)
        ASSERT_NE(table->get(rt::make<java_lang_Integer>(key)), nullptr) << key;
    EXPECT_FALSE(rt::exceptionPending());
}

TEST(CollectionMonitors, LockedVectorsLeaveNoMonitorBehindOnceCollected) {
    rt::Runtime runtime{rt::RuntimeOptions{4 << 20, 4 << 20}};
    std::size_t before = rt::monitorsInUse();
    for (int i = 0; i < 1000; ++i)
        rt::make<java_util_Vector>(1)->addElement(nullptr);
    EXPECT_EQ(rt::monitorsInUse(), before + 1000);
    // A runtime without threads scans no stack: only the (empty) statics keep objects.
    runtime.objectManager().gc(rt::ObjectManager::kAllocationFailure & ~rt::ObjectManager::kMarkNewest);
    EXPECT_EQ(runtime.objectManager().objectCount(), 0u);
    EXPECT_EQ(rt::monitorsInUse(), before);
}

} // namespace
