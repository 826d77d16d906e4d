#include "classlib/lang/System.h"
#include "classlib/LangAndUtil.h"
#include "classlib/io/PrintStream.h"
#include "classlib/lang/Boolean.h"
#include "classlib/lang/Integer.h"
#include "classlib/lang/Runtime.h"
#include "classlib/util/Hashtable.h"
#include "classlib/util/Random.h"
#include "classlib/util/Vector.h"
#include "host/Clock.h"
#include "host/Device.h"
#include "runtime/Class.h"
#include "tests/classlib/LangUtilFixture.h"
#include "tests/support/FreeThreads.h"
#include "tests/support/GuestTask.h"
#include "tests/support/LogCapture.h"
#include "tests/support/RuntimeFixtures.h"

#include <atomic>
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using lib::java_lang_System;

struct ArrayCopyTest : ::testing::Test {
    testing_support::LogCapture log;
    rt::Runtime runtime{rt::RuntimeOptions{1 << 16, 1 << 16}};

    rt::IntArray* ints(std::initializer_list<std::int32_t> values) {
        rt::IntArray* array = rt::newIntArray(static_cast<std::int32_t>(values.size()));
        rt::Array::fill32(array, values);
        return array;
    }
    static std::vector<std::int32_t> contents(const rt::IntArray* array) {
        return std::vector<std::int32_t>(array->elements(), array->elements() + array->length());
    }
};

TEST_F(ArrayCopyTest, CopiesElementsOfTheClassWidthForAnyOverlap) {
    rt::IntArray* shifted = ints({1, 2, 3, 0});
    java_lang_System::arraycopy(shifted, 0, shifted, 1, 3);
    EXPECT_EQ(contents(shifted), (std::vector<std::int32_t>{1, 1, 2, 3}));
    java_lang_System::arraycopy(shifted, 1, shifted, 0, 3);
    EXPECT_EQ(contents(shifted), (std::vector<std::int32_t>{1, 2, 3, 3}));

    rt::DoubleArray* from = rt::newDoubleArray(3);
    rt::DoubleArray* to = rt::newDoubleArray(3);
    from->elements()[0] = 1.25;
    from->elements()[1] = -8.5;
    java_lang_System::arraycopy(from, 0, to, 1, 2);
    EXPECT_EQ(to->elements()[0], 0.0);
    EXPECT_EQ(to->elements()[1], 1.25);
    EXPECT_EQ(to->elements()[2], -8.5);

    // References are whole pointers.
    rt::ObjectArray* objects = rt::newObjectArray(2);
    objects->elements()[0] = from;
    java_lang_System::arraycopy(objects, 0, objects, 1, 1);
    EXPECT_EQ(objects->elements()[1], from);

    java_lang_System::arraycopy(shifted, 4, shifted, 0, 0);
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(ArrayCopyTest, BadArgumentsAreReportedAndCopyNothing) {
    rt::IntArray* source = ints({1, 2, 3});
    rt::IntArray* target = ints({0, 0, 0});
    rt::Array* freed = ints({4});
    freed->markFreed();
    struct Case {
        rt::Object* src;
        std::int32_t srcPos;
        rt::Object* dst;
        std::int32_t dstPos, length;
        const char* line;
    };
    const Case cases[] = {
        {nullptr, 0, target, 0, 1, "NullPointer"},
        {source, 0, nullptr, 0, 1, "NullPointer"},
        {freed, 0, target, 0, 1, "NullPointer"},
        {source, 0, rt::newByteArray(3), 0, 1, "ArrayStore IntArray to ByteArray"},
        {source, 0, rt::make<rt::Object>(), 0, 1, "ArrayStore: arraycopy of an object that is not an array"},
        {source, -1, target, 0, 1, "ArrayIndexOutOfBounds index=-1 length=3"},
        {source, 1, target, 0, 3, "ArrayIndexOutOfBounds index=4 length=3"},
        {source, 0, target, 2, 2, "ArrayIndexOutOfBounds index=4 length=3"},
        {source, 0, target, 0, -1, "ArrayIndexOutOfBounds index=-1 length=3"},
        {source, INT32_MAX, target, 0, INT32_MAX, "ArrayIndexOutOfBounds index=2147483647 length=3"},
        {source, 0, target, 1, INT32_MAX, "ArrayIndexOutOfBounds index=2147483647 length=3"},
    };
    for (const Case& c : cases) {
        log.clear();
        java_lang_System::arraycopy(c.src, c.srcPos, c.dst, c.dstPos, c.length);
        EXPECT_EQ(log.lines(), (std::vector<std::string>{c.line, "stacktrace:"}));
        EXPECT_EQ(contents(target), (std::vector<std::int32_t>{0, 0, 0})) << c.line;
    }
}

// A clock whose tick the test sets; sleeping takes real time.
struct SetClock final : host::Clock {
    std::atomic<std::uint32_t> now{10000};
    std::uint32_t tickCount() override { return now; }
    void sleep(std::uint32_t milliseconds) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
    std::int64_t wallClockSeconds() override { return 0; }
};

struct FixedDevice final : host::Device {
    host::MemoryStatus status;
    host::LanguageId uiLanguage() override { return host::kEnglishUs; }
    void setUiLanguage(host::LanguageId) override {}
    host::MemoryStatus memoryStatus() override { return status; }
    std::int32_t displayOrientation() override { return host::kOrientation0; }
    bool setDisplayOrientation(std::int32_t orientation) override { return orientation == 0; }
    bool isPocketPC() override { return false; }
};

struct SystemStaticsTest : testing_support::LangUtilTest {};

TEST_F(SystemStaticsTest, TheInitialisersMakeOnePropertyAndOneRuntime) {
    EXPECT_EQ(java_lang_System::properties(), nullptr);
    EXPECT_EQ(java_lang_System::out(), nullptr);
    lib::runLangStaticInitialisers();
    lib::java_util_Hashtable* properties = java_lang_System::properties();
    ASSERT_NE(properties, nullptr);
    EXPECT_EQ(properties->size(), 1);
    EXPECT_EQ(properties->bucketCount(), 11);
    EXPECT_EQ(properties->threshold(), 8);
    EXPECT_EQ(testing_support::textOf(properties->get(rt::String::newFromCString("platform"))), "vorlax");
    EXPECT_NE(lib::java_lang_Boolean::sharedTrue(), nullptr);

    lib::java_lang_Runtime* runtimeObject = lib::java_lang_Runtime::getRuntime();
    EXPECT_EQ(runtimeObject->classId(), rt::ClassId::java_lang_Runtime);
    EXPECT_EQ(lib::java_lang_Runtime::getRuntime(), runtimeObject);

    lib::java_io_PrintStream* console = java_lang_System::out();
    EXPECT_EQ(console, lib::ensureSystemStream());
    EXPECT_EQ(java_lang_System::err(), console);
    EXPECT_EQ(console->wrapped()->classId(), rt::ClassId::java_io_ConsoleOutputStream);

    // Running them again replaces nothing; the statics keep everything alive.
    lib::runLangStaticInitialisers();
    EXPECT_EQ(java_lang_System::properties(), properties);
    runtime.objectManager().gc(rt::ObjectManager::kAllocationFailure & ~rt::ObjectManager::kMarkNewest);
    EXPECT_FALSE(properties->isFreed());
    EXPECT_FALSE(console->isFreed());
    EXPECT_FALSE(runtimeObject->isFreed());
    EXPECT_EQ(properties->size(), 1);
}

TEST_F(SystemStaticsTest, NewInstanceByIdMakesZeroedObjectsThatWork) {
    auto* vector = static_cast<lib::java_util_Vector*>(rt::java_lang_Class::newInstanceById(71));
    ASSERT_NE(vector, nullptr);
    EXPECT_EQ(vector->capacity(), 0);
    vector->addElement(vector);
    EXPECT_EQ(vector->capacity(), 1);
    auto* table = static_cast<lib::java_util_Hashtable*>(rt::java_lang_Class::newInstanceById(60));
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->bucketCount(), 0);
    EXPECT_EQ(table->get(vector), nullptr);
    EXPECT_EQ(table->put(vector, vector), nullptr);
    EXPECT_EQ(table->bucketCount(), 3);
    EXPECT_EQ(table->get(vector), vector);
    EXPECT_EQ(static_cast<lib::java_util_Random*>(rt::java_lang_Class::newInstanceById(63))->state(), 0);
    auto* integer = static_cast<lib::java_lang_Integer*>(rt::java_lang_Class::newInstanceById(40));
    ASSERT_NE(integer, nullptr);
    EXPECT_EQ(integer->intValue(), 0);
    for (int id : {29, 40, 47, 59, 60, 61, 63, 71}) {
        rt::Object* made = rt::java_lang_Class::newInstanceById(id);
        ASSERT_NE(made, nullptr) << id;
        EXPECT_EQ(made->rawClassId(), id);
    }
    EXPECT_FALSE(rt::interfaceOf<lib::java_util_Enumeration>(rt::java_lang_Class::newInstanceById(59))
                     ->hasMoreElements());
}

TEST(SystemClockTest, MillisecondsAreTheHostTickZeroExtended) {
    SetClock clock;
    rt::Runtime runtime{rt::RuntimeOptions{1 << 16, 1 << 16, nullptr, &clock}};
    EXPECT_EQ(java_lang_System::currentTimeMillis(), 10000);
    clock.now = 0xFFFFFFF0u;
    EXPECT_EQ(java_lang_System::currentTimeMillis(), 0xFFFFFFF0LL) << "never negative";
    // A fresh Random is seeded with the time.
    EXPECT_EQ(rt::make<lib::java_util_Random>()->state(),
              rt::make<lib::java_util_Random>(0xFFFFFFF0LL)->state());
}

TEST(SystemClockTest, WithoutAClockTheTimeIsZeroAndWithTheRealOneItNeverGoesBack) {
    {
        rt::Runtime runtime{rt::RuntimeOptions{1 << 16, 1 << 16}};
        EXPECT_EQ(java_lang_System::currentTimeMillis(), 0);
    }
    testing_support::FreeThreads host;
    rt::Runtime runtime{rt::RuntimeOptions{1 << 16, 1 << 16, &host.threads, &host.clock}};
    std::int64_t previous = java_lang_System::currentTimeMillis();
    for (int i = 0; i < 1000; ++i) {
        std::int64_t now = java_lang_System::currentTimeMillis();
        ASSERT_GE(now, previous);
        previous = now;
    }
}

TEST(SystemGcTest, AskingForACollectionRespectsTheIntervalOfOrdinaryRequests) {
    testing_support::FreeThreads host;
    SetClock clock;
    rt::RuntimeOptions options{1 << 20, 1 << 20, &host.threads, &clock};
    // Collections on every allocation would free the garbage before the requests do.
    options.collectOnEveryAllocation = false;
    rt::Runtime runtime{options};
    // Garbage made on a thread that then ends, so that no stack word keeps it.
    std::atomic<bool> done{false};
    testing_support::startGuestTask([&] {
        for (int i = 0; i < 100; ++i)
            rt::make<lib::java_lang_Integer>(i);
        done = true;
    });
    testing_support::awaitAsGuest([&] { return done && rt::java_lang_Thread::activeCount() == 1; });
    std::size_t before = runtime.objectManager().objectCount();
    clock.now = 11999;
    java_lang_System::gc();
    EXPECT_EQ(runtime.objectManager().objectCount(), before) << "within two seconds of the last collection";
    clock.now = 12001;
    java_lang_System::gc();
    // Stack words are scanned conservatively: a stale one may keep an Integer or two.
    EXPECT_LE(runtime.objectManager().objectCount() + 90, before);
}

TEST(RuntimeMemoryTest, MemoryComesFromTheDeviceOrTheHeaps) {
    FixedDevice device;
    device.status = {0xF0000000u, 0xFFFFFFFFu};
    {
        rt::Runtime runtime{rt::RuntimeOptions{1 << 20, 1 << 20, nullptr, nullptr, &device}};
        lib::java_lang_Runtime* memory = lib::java_lang_Runtime::getRuntime();
        EXPECT_EQ(memory->freeMemory(), 0xF0000000LL);
        EXPECT_EQ(memory->totalMemory(), 0xFFFFFFFFLL);
    }
    rt::Runtime runtime{rt::RuntimeOptions{1 << 20, 1 << 20}};
    lib::java_lang_Runtime* memory = lib::java_lang_Runtime::getRuntime();
    EXPECT_EQ(memory->totalMemory(), 2 << 20);
    std::int64_t free = memory->freeMemory();
    EXPECT_LT(free, memory->totalMemory());
    rt::newByteArray(100000);
    EXPECT_LE(memory->freeMemory(), free - 100000);
}

} // namespace
