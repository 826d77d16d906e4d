#include "classlib/ClassLibrary.h"

#include "classlib/lang/StringBuffer.h"
#include "runtime/Class.h"
#include "runtime/ClassTable.h"
#include "runtime/String.h"
#include "runtime/Thread.h"
#include "tests/classlib/ClassLibraryFixture.h"

#include <gtest/gtest.h>

namespace {

using rt::ClassId;

// The first class id of the device platform's classes; every instantiable id
// below it belongs to the runtime or the class library.
constexpr int kFirstPlatformId = 72;

struct NewInstanceTest : testing_support::ClassLibraryTest {};

TEST_F(NewInstanceTest, EveryInstantiableIdOfTheLibraryMakesAnObjectOfItsClass) {
    for (std::uint16_t id : rt::kInstantiableClassIds) {
        if (id >= kFirstPlatformId)
            continue;
        rt::Object* made = rt::java_lang_Class::newInstanceById(id);
        ASSERT_NE(made, nullptr) << "class id " << id;
        EXPECT_EQ(made->rawClassId(), id);
        EXPECT_TRUE(runtime.objectHeap().contains(made)) << "class id " << id;
    }
}

TEST_F(NewInstanceTest, StringStringBufferAndThreadStartEmpty) {
    auto* text = static_cast<rt::String*>(rt::java_lang_Class::newInstanceById(rt::toInt(ClassId::String)));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->length(), 0);

    auto* buffer = static_cast<lib::StringBuffer*>(
        rt::java_lang_Class::newInstanceById(rt::toInt(ClassId::StringBuffer)));
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(buffer->length(), 0);
    EXPECT_EQ(buffer->capacity(), 0);
    buffer->append(std::int32_t{42});
    EXPECT_TRUE(buffer->toString()->equalsCString("42")) << "a buffer without storage grows on first use";

    auto* thread = static_cast<rt::java_lang_Thread*>(
        rt::java_lang_Class::newInstanceById(rt::toInt(ClassId::java_lang_Thread)));
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(thread->target(), nullptr);
    EXPECT_EQ(thread->getPriority(), 0) << "no creator's priority: every field zero";
    EXPECT_FALSE(thread->isAlive());
}

} // namespace
