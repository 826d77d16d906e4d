#include "runtime/Runtime.h"
#include "runtime/OutOfStore.h"
#include "tests/support/LogCapture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <new>

namespace {

struct Holder final : rt::Object {
    static constexpr rt::ClassId kClassId = rt::ClassId::java_util_Vector;
    Holder()
        : Object(kClassId) {}
    std::int32_t* m_data = nullptr;
    rt::Object* m_next = nullptr;
    RT_REFERENCE_FIELDS(Holder, Object, m_next)
};

TEST(Runtime, ObjectsComeZeroedFromTheObjectHeap) {
    rt::Runtime runtime{rt::RuntimeOptions{1 << 16, 1 << 16}};
    auto* raw = static_cast<unsigned char*>(rt::allocObject(64));
    ASSERT_TRUE(runtime.objectHeap().contains(raw));
    for (int i = 0; i < 64; ++i)
        ASSERT_EQ(raw[i], 0);
    EXPECT_EQ(runtime.objectManager().objectCount(), 1u);
    ::new (raw) rt::Object(); // what every caller of allocObject does next
}

TEST(Runtime, BuffersBelongToTheirFieldAndFallBackToMalloc) {
    testing_support::LogCapture quiet;
    rt::Runtime runtime{rt::RuntimeOptions{1 << 16, 4096}};
    Holder* holder = rt::make<Holder>();
    std::int32_t* data = rt::allocBuffer<std::int32_t>(16, &holder->m_data);
    EXPECT_EQ(holder->m_data, data);
    EXPECT_TRUE(runtime.bufferHeap().contains(data));
    for (int i = 0; i < 16; ++i)
        ASSERT_EQ(data[i], 0);

    // Too large for the buffer heap: the process heap serves it, zeroed.
    std::int32_t* big = nullptr;
    rt::allocBuffer<std::int32_t>(4096, &big);
    ASSERT_NE(big, nullptr);
    EXPECT_FALSE(runtime.bufferHeap().contains(big));
    EXPECT_EQ(big[4095], 0);
    EXPECT_FALSE(rt::setOwner(big, reinterpret_cast<void**>(&holder->m_data)));

    rt::freeBuffer(big);
    rt::freeBuffer(data);
    EXPECT_EQ(runtime.bufferHeap().stats().heapUsed, 0u);
}

TEST(Runtime, PermanentObjectsLiveOutsideTheObjectHeap) {
    rt::Runtime runtime{rt::RuntimeOptions{1 << 16, 1 << 16}};
    void* p = rt::allocObject(48, rt::ObjectLifetime::Permanent);
    EXPECT_FALSE(runtime.objectHeap().contains(p));
    EXPECT_TRUE(runtime.bufferHeap().contains(p));
    rt::freeObject(p);
}

TEST(Runtime, AnExhaustedObjectHeapFailsThroughTheOutOfStorePath) {
    testing_support::LogCapture log;
    rt::Runtime runtime{rt::RuntimeOptions{4096, 4096}};
    rt::Handle<Holder> chain(runtime.objectManager());
    try {
        for (int i = 0; i < 1000; ++i) {
            Holder* next = rt::make<Holder>();
            next->m_next = chain.get();
            chain.set(next);
        }
        FAIL() << "the object heap never ran out";
    } catch (const std::bad_alloc& failure) {
        EXPECT_STREQ(failure.what(), "bad allocation");
    }
    auto lines = log.lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2].rfind("totalFragmentSizeNeeded=", 0), 0u);
    EXPECT_EQ(lines.back(), "ERROR: Operator new failed: out of store.");
}

TEST(Runtime, AChosenAllocationFailsThroughTheOutOfStorePath) {
    testing_support::LogCapture log;
    rt::RuntimeOptions options{1 << 16, 1 << 16};
    options.failObjectAllocation = 3;
    rt::Runtime runtime{options};
    rt::make<Holder>();
    rt::make<Holder>();
    EXPECT_THROW(rt::make<Holder>(), rt::OutOfStore);
    EXPECT_TRUE(log.contains("out of store"));
    EXPECT_NO_THROW(rt::make<Holder>());
}

TEST(Runtime, OperatorNewFailureHandlerLogsAndThrows) {
    testing_support::LogCapture log;
    auto previous = std::get_new_handler();
    rt::installOutOfStoreHandler();
    EXPECT_EQ(std::get_new_handler(), &rt::outOfStore);
    EXPECT_THROW(std::get_new_handler()(), rt::OutOfStore);
    EXPECT_TRUE(log.contains("ERROR: Operator new failed: out of store."));
    std::set_new_handler(previous);
}

TEST(RuntimeDeathTest, OnlyOneRuntimeRunsAtATime) {
    rt::Runtime runtime{rt::RuntimeOptions{4096, 4096}};
    EXPECT_DEATH(rt::Runtime second(rt::RuntimeOptions{4096, 4096}), "already running");
}

} // namespace
