#include "classlib/util/Vector.h"
#include "classlib/util/Stack.h"
#include "tests/classlib/LangUtilFixture.h"
#include "tests/support/LogCapture.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using lib::java_util_Stack;
using lib::java_util_Vector;
using rt::ClassId;
using testing_support::textOf;

struct VectorTest : testing_support::LangUtilTest {
    static rt::String* text(const char* chars) { return rt::String::newFromCString(chars); }
    // The message of an `ArrayIndexOutOfBoundsException` for `index`.
    static std::string index(const char* index) {
        return std::string(testing_support::kArrayIndexText) + index;
    }

    // The texts of the elements, "<null>" for null.
    static std::vector<std::string> contents(java_util_Vector* vector) {
        std::vector<std::string> texts;
        for (std::int32_t i = 0; i < vector->size(); ++i)
            texts.push_back(textOf(vector->elementAt(i)));
        return texts;
    }
    static java_util_Vector* vectorOf(std::initializer_list<const char*> texts) {
        auto* vector = rt::make<java_util_Vector>();
        for (const char* t : texts)
            vector->addElement(text(t));
        return vector;
    }
    // Checks and clears the pending exception.
    static void expectPending(ClassId id, const std::string& message) {
        EXPECT_EQ(pendingMessage(), message);
        EXPECT_EQ(takePending(), id);
    }
};

TEST_F(VectorTest, CapacityGrowsByTheIncrementOrDoubles) {
    struct Case {
        std::int32_t capacity, increment;
        std::vector<std::int32_t> capacityAfterEachAddition;
    };
    const Case cases[] = {
        {10, 0, {10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 20}},
        {0, 0, {1, 2, 4, 4, 8}},
        {4, 3, {4, 4, 4, 4, 7, 7, 7, 10}},
        {10, 5, {10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 15}},
        {1, -4, {1, 2, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.capacity << " + " << c.increment);
        auto* vector = rt::make<java_util_Vector>(c.capacity, c.increment);
        EXPECT_EQ(vector->capacity(), c.capacity);
        for (std::int32_t expected : c.capacityAfterEachAddition) {
            vector->addElement(vector);
            EXPECT_EQ(vector->capacity(), expected);
        }
    }
    auto* byDefault = rt::make<java_util_Vector>();
    EXPECT_EQ(byDefault->capacity(), 10);
    EXPECT_EQ(byDefault->size(), 0);
    EXPECT_TRUE(byDefault->isEmpty());
    byDefault->ensureCapacity(11);
    EXPECT_EQ(byDefault->capacity(), 20);
    byDefault->ensureCapacity(100);
    EXPECT_EQ(byDefault->capacity(), 100) << "at least what is needed";
    byDefault->ensureCapacity(5);
    EXPECT_EQ(byDefault->capacity(), 100);
    EXPECT_FALSE(rt::exceptionPending());
}

TEST_F(VectorTest, ANegativeCapacityIsRefusedAndTheVectorStillWorks) {
    auto* vector = rt::make<java_util_Vector>(-1);
    expectPending(ClassId::java_lang_IllegalArgumentException, testing_support::kNegativeCapacityText);
    EXPECT_EQ(vector->capacity(), 0);
    EXPECT_EQ(vector->elementAt(0), nullptr);
    takePending();
    vector->addElement(text("a"));
    EXPECT_EQ(contents(vector), (std::vector<std::string>{"a"}));
}

TEST_F(VectorTest, InsertRemoveAndSetKeepTheOrder) {
    java_util_Vector* vector = vectorOf({"a", "b", "c"});
    vector->insertElementAt(text("d"), 3);
    vector->insertElementAt(text("x"), 0);
    vector->insertElementAt(text("y"), 2);
    EXPECT_EQ(contents(vector), (std::vector<std::string>{"x", "a", "y", "b", "c", "d"}));
    vector->removeElementAt(5);
    vector->removeElementAt(0);
    vector->removeElementAt(1);
    EXPECT_EQ(contents(vector), (std::vector<std::string>{"a", "b", "c"}));
    vector->setElementAt(text("B"), 1);
    EXPECT_TRUE(vector->removeElement(text("a")));
    EXPECT_FALSE(vector->removeElement(text("a")));
    EXPECT_EQ(contents(vector), (std::vector<std::string>{"B", "c"}));
    EXPECT_EQ(textOf(vector->firstElement()), "B");
    EXPECT_EQ(textOf(vector->lastElement()), "c");
    // Freed slots hold null: growing the size again shows them.
    vector->setSize(4);
    EXPECT_EQ(contents(vector), (std::vector<std::string>{"B", "c", "<null>", "<null>"}));
    vector->removeAllElements();
    EXPECT_EQ(vector->size(), 0);
    vector->setSize(2);
    EXPECT_EQ(contents(vector), (std::vector<std::string>{"<null>", "<null>"}));
    EXPECT_FALSE(rt::exceptionPending());
}

TEST_F(VectorTest, BadIndexesRaiseAndChangeNothing) {
    java_util_Vector* vector = vectorOf({"a", "b", "c"});
    struct Case {
        const char* operation;
        std::function<void()> call;
        ClassId exception;
        std::string message;
    };
    const Case cases[] = {
        {"elementAt(3)", [&] { (void)vector->elementAt(3); },
         ClassId::java_lang_ArrayIndexOutOfBoundsException, index("3")},
        {"elementAt(-1)", [&] { (void)vector->elementAt(-1); },
         ClassId::java_lang_ArrayIndexOutOfBoundsException, index("-1")},
        {"setElementAt(3)", [&] { vector->setElementAt(vector, 3); },
         ClassId::java_lang_ArrayIndexOutOfBoundsException, index("3")},
        {"removeElementAt(3)", [&] { vector->removeElementAt(3); },
         ClassId::java_lang_ArrayIndexOutOfBoundsException, index("3")},
        {"insertElementAt(4)", [&] { vector->insertElementAt(vector, 4); },
         ClassId::java_lang_ArrayIndexOutOfBoundsException, index("4")},
        {"insertElementAt(-1)", [&] { vector->insertElementAt(vector, -1); },
         ClassId::java_lang_ArrayIndexOutOfBoundsException, index("-1")},
        {"indexOf(x, -1)", [&] { EXPECT_EQ(vector->indexOf(vector, -1), -1); },
         ClassId::java_lang_ArrayIndexOutOfBoundsException, index("-1")},
        {"setSize(-2)", [&] { vector->setSize(-2); }, ClassId::java_lang_ArrayIndexOutOfBoundsException,
         index("-2")},
        {"lastIndexOf(x, 3)", [&] { (void)vector->lastIndexOf(vector, 3); },
         ClassId::java_lang_IndexOutOfBoundsException, "3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.operation);
        c.call();
        expectPending(c.exception, c.message);
        EXPECT_EQ(contents(vector), (std::vector<std::string>{"a", "b", "c"}));
        EXPECT_EQ(vector->capacity(), 10);
    }
}

TEST_F(VectorTest, SearchesUseTheArgumentsEqualsAndFindNull) {
    java_util_Vector* vector = vectorOf({"a", "b", "a"});
    vector->addElement(nullptr);
    rt::String* a = text("a"); // another object with the same text
    EXPECT_EQ(vector->indexOf(a), 0);
    EXPECT_EQ(vector->indexOf(a, 1), 2);
    EXPECT_EQ(vector->lastIndexOf(a), 2);
    EXPECT_EQ(vector->lastIndexOf(a, 1), 0);
    EXPECT_EQ(vector->indexOf(nullptr), 3);
    EXPECT_EQ(vector->lastIndexOf(nullptr, 2), -1);
    EXPECT_EQ(vector->indexOf(a, vector->size()), -1);
    EXPECT_EQ(vector->lastIndexOf(a, -1), -1);
    EXPECT_TRUE(vector->contains(text("b")));
    EXPECT_FALSE(vector->contains(text("z")));
    // Other objects compare by identity.
    vector->addElement(vector);
    EXPECT_EQ(vector->indexOf(vector), 4);
    EXPECT_EQ(vector->indexOf(rt::make<rt::Object>()), -1);

    auto* empty = rt::make<java_util_Vector>();
    EXPECT_EQ(empty->lastIndexOf(a), -1);
    EXPECT_EQ(empty->firstElement(), nullptr);
    EXPECT_EQ(empty->lastElement(), nullptr);
    EXPECT_FALSE(rt::exceptionPending());
}

TEST_F(VectorTest, SetSizeAndTrimToSize) {
    auto* vector = rt::make<java_util_Vector>();
    vector->setSize(3);
    EXPECT_EQ(vector->size(), 3);
    EXPECT_EQ(vector->capacity(), 10);
    vector->setElementAt(text("a"), 0);
    vector->setElementAt(text("b"), 1);
    vector->setElementAt(text("c"), 2);
    vector->setSize(1);
    vector->setSize(3);
    EXPECT_EQ(contents(vector), (std::vector<std::string>{"a", "<null>", "<null>"}));
    vector->setSize(25);
    EXPECT_EQ(vector->capacity(), 25);

    java_util_Vector* three = vectorOf({"a", "b", "c"});
    three->trimToSize();
    EXPECT_EQ(three->capacity(), 3);
    EXPECT_EQ(contents(three), (std::vector<std::string>{"a", "b", "c"}));
    std::size_t objects = runtime.objectManager().objectCount();
    three->trimToSize();
    EXPECT_EQ(runtime.objectManager().objectCount(), objects) << "a full Vector allocates nothing";
    rt::make<java_util_Vector>(0)->trimToSize();
    EXPECT_FALSE(rt::exceptionPending());
}

TEST_F(VectorTest, CopyIntoAndTheCopyConstructor) {
    java_util_Vector* vector = vectorOf({"a", "b", "c"});
    rt::ObjectArray* target = rt::newObjectArray(4);
    vector->copyInto(target);
    EXPECT_EQ(textOf(target->elements()[2]), "c");
    EXPECT_EQ(target->elements()[3], nullptr);

    rt::ObjectArray* shortTarget = rt::newObjectArray(2);
    vector->copyInto(shortTarget);
    expectPending(ClassId::java_lang_ArrayIndexOutOfBoundsException, index("2"));
    EXPECT_EQ(shortTarget->elements()[0], nullptr) << "nothing is copied into a short target";
    EXPECT_EQ(shortTarget->elements()[1], nullptr);
    {
        testing_support::LogCapture log;
        vector->copyInto(nullptr);
        EXPECT_TRUE(log.contains("NullPointer"));
    }

    auto* copy = rt::make<java_util_Vector>(vector);
    EXPECT_EQ(copy->capacity(), 3);
    EXPECT_EQ(contents(copy), contents(vector));
    copy->addElement(text("d"));
    EXPECT_EQ(copy->capacity(), 6);
    EXPECT_EQ(vector->size(), 3);
    EXPECT_FALSE(rt::exceptionPending());
}

TEST_F(VectorTest, StackIsLastInFirstOut) {
    auto* stack = rt::make<java_util_Stack>();
    EXPECT_EQ(stack->classId(), ClassId::java_util_Stack);
    EXPECT_TRUE(rt::instanceOf(stack, ClassId::java_util_Vector));
    EXPECT_TRUE(stack->empty());
    rt::String* a = text("a");
    EXPECT_EQ(stack->push(a), a);
    stack->push(text("b"));
    stack->push(text("c"));
    EXPECT_EQ(stack->search(text("c")), 1);
    EXPECT_EQ(stack->search(a), 3);
    EXPECT_EQ(stack->search(text("z")), -1);
    EXPECT_EQ(textOf(stack->peek()), "c");
    EXPECT_EQ(textOf(stack->pop()), "c");
    EXPECT_EQ(stack->size(), 2);
    EXPECT_EQ(textOf(stack->pop()), "b");
    EXPECT_EQ(stack->pop(), a);
    EXPECT_TRUE(stack->empty());
    EXPECT_FALSE(rt::exceptionPending());

    EXPECT_EQ(stack->pop(), nullptr);
    EXPECT_EQ(takePending(), ClassId::java_util_EmptyStackException);
    EXPECT_EQ(stack->peek(), nullptr);
    EXPECT_EQ(takePending(), ClassId::java_util_EmptyStackException);
    EXPECT_EQ(stack->size(), 0);
    EXPECT_EQ(stack->search(a), -1);
    EXPECT_FALSE(rt::exceptionPending());
}

} // namespace
