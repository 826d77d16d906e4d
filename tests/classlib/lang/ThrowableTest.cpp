#include "classlib/lang/Throwable.h"
#include "runtime/Class.h"
#include "runtime/ObjectManager.h"
#include "tests/classlib/ClassLibraryFixture.h"

#include <gtest/gtest.h>

namespace {

using lib::java_lang_Throwable;
using rt::ClassId;

struct ThrowableTest : testing_support::ClassLibraryTest {
    // Raises `id` by class id and takes it back as the pending exception.
    static java_lang_Throwable* raised(ClassId id) {
        rt::raise(id);
        auto* thrown = static_cast<java_lang_Throwable*>(rt::getPendingException());
        EXPECT_NE(thrown, nullptr);
        return thrown;
    }
};

TEST_F(ThrowableTest, ConstructorsSetTheMessage) {
    java_lang_Throwable* plain = lib::newThrowable(ClassId::java_lang_NullPointerException);
    rt::String* defaultMessage = rt::getStaticClass().getConstantString(14);
    EXPECT_EQ(plain->getMessage(), defaultMessage);
    EXPECT_EQ(plain->toString(), plain->getMessage());
    EXPECT_EQ(plain->stackTrace(), nullptr);

    EXPECT_EQ(lib::newThrowable(ClassId::java_lang_IllegalArgumentException, nullptr)->getMessage(), nullptr);
    rt::String* text = rt::String::newFromCString("bad size");
    EXPECT_EQ(lib::newThrowable(ClassId::java_lang_IllegalStateException, text)->toString(), text);

    java_lang_Throwable* index = lib::newArrayIndexOutOfBoundsException(-1);
    EXPECT_EQ(index->classId(), ClassId::java_lang_ArrayIndexOutOfBoundsException);
    EXPECT_EQ(index->getMessage()->toUtf8(), std::string(testing_support::kArrayIndexText) + "-1");
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(ThrowableTest, CatchesMatchTheClassChain) {
    struct Case {
        ClassId thrown;
        ClassId catchAs;
        bool caught;
    };
    const Case cases[] = {
        {ClassId::java_lang_NumberFormatException, ClassId::java_lang_RuntimeException, true},
        {ClassId::java_io_EOFException, ClassId::java_io_IOException, true},
        {ClassId::javax_microedition_rms_RecordStoreException, ClassId::java_io_IOException, false},
        {ClassId::javax_microedition_io_ConnectionNotFoundException, ClassId::java_io_IOException, true},
        {ClassId::java_io_UTFDataFormatException, ClassId::java_lang_Exception, true},
        {ClassId::javax_microedition_rms_InvalidRecordIDException,
         ClassId::javax_microedition_rms_RecordStoreException, true},
        {ClassId::java_util_EmptyStackException, ClassId::java_lang_IllegalStateException, false},
        {ClassId::java_lang_Error, ClassId::java_lang_Exception, false},
        {ClassId::java_lang_Error, ClassId::java_lang_Throwable, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(rt::kClassNames[rt::toInt(c.thrown)]);
        java_lang_Throwable* thrown = raised(c.thrown);
        ASSERT_NE(thrown, nullptr);
        EXPECT_EQ(thrown->classId(), c.thrown);
        EXPECT_EQ(thrown->getMessage()->toUtf8(), testing_support::kDefaultMessageText);
        EXPECT_EQ(rt::catchException(c.catchAs), c.caught ? thrown : nullptr);
        EXPECT_EQ(rt::exceptionPending(), !c.caught);
        rt::clearPendingException();
    }
}

TEST_F(ThrowableTest, AThrowRecordsTheTraceAndKeepsAGivenMessage) {
    rt::pushTrace("RecordStore::openRecordStore()");
    rt::raise(ClassId::javax_microedition_rms_RecordStoreNotFoundException, "scores");
    rt::popTrace();
    auto* thrown = static_cast<java_lang_Throwable*>(rt::getPendingException());
    ASSERT_NE(thrown, nullptr);
    EXPECT_EQ(thrown->getMessage()->toUtf8(), "scores");
    ASSERT_NE(thrown->stackTrace(), nullptr);
    EXPECT_EQ(thrown->stackTrace()->toUtf8(), "stacktrace:\nRecordStore::openRecordStore()\n");
    rt::clearPendingException();

    // Printing a trace, thrown or not, goes to the discarding console and
    // leaves nothing pending and nothing in the log.
    thrown->printStackTrace();
    lib::newThrowable(ClassId::java_lang_Exception)->printStackTrace();
    EXPECT_FALSE(rt::exceptionPending());
    EXPECT_TRUE(log.lines().empty());

    // A class outside the tree cannot be raised; an object outside it can be
    // thrown, and has no trace field to fill.
    rt::raise(ClassId::java_util_Vector);
    EXPECT_FALSE(rt::exceptionPending());
    EXPECT_TRUE(log.contains("cannot throw java_util_Vector"));
    rt::Object* odd = rt::make<rt::Object>();
    rt::raise(odd);
    EXPECT_EQ(rt::getPendingException(), odd);
}

TEST(ThrowableCollection, TheCollectorFollowsMessageAndTrace) {
    // Without threads no stack is scanned: only the handle keeps the throwable,
    // and only its declared fields keep its message and trace.
    rt::Runtime runtime{rt::RuntimeOptions{1 << 16, 1 << 16}};
    lib::installClassLibrary(runtime);
    rt::Handle<java_lang_Throwable> kept(runtime.objectManager());
    rt::pushTrace("Game::run()");
    rt::raise(ClassId::java_lang_IllegalStateException, "kept");
    rt::popTrace();
    kept.set(static_cast<java_lang_Throwable*>(rt::getPendingException()));
    rt::clearPendingException();
    rt::make<rt::Object>(); // the newest object, which this collection keeps as well
    runtime.objectManager().gc(rt::ObjectManager::kAllocationFailure);
    ASSERT_FALSE(kept->isFreed());
    ASSERT_FALSE(kept->getMessage()->isFreed());
    ASSERT_FALSE(kept->stackTrace()->isFreed());
    EXPECT_EQ(kept->getMessage()->toUtf8(), "kept");
    EXPECT_EQ(kept->stackTrace()->toUtf8(), "stacktrace:\nGame::run()\n");
}

TEST_F(ThrowableTest, NewInstanceByIdMakesExceptionsWithoutAMessage) {
    for (ClassId id : {ClassId::java_io_EOFException, ClassId::java_lang_ArrayIndexOutOfBoundsException,
                       ClassId::javax_microedition_rms_RecordStoreFullException}) {
        rt::Object* made = rt::java_lang_Class::newInstanceById(rt::toInt(id));
        ASSERT_NE(made, nullptr);
        EXPECT_EQ(made->classId(), id);
        EXPECT_EQ(made->toString(), nullptr);
    }
    // Exception classes the profile never makes this way.
    EXPECT_EQ(rt::java_lang_Class::newInstanceById(rt::toInt(ClassId::java_lang_ArithmeticException)),
              nullptr);
    EXPECT_EQ(rt::java_lang_Class::newInstanceById(rt::toInt(ClassId::java_lang_Throwable)), nullptr);
}

} // namespace
