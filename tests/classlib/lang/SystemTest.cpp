#include "classlib/lang/System.h"
#include "tests/support/LogCapture.h"
#include "tests/support/RuntimeFixtures.h"

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

} // namespace
