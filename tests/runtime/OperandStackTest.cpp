#include "runtime/OperandStack.h"
#include "runtime/Array.h"
#include "runtime/Exceptions.h"
#include "tests/support/LogCapture.h"
#include "tests/support/RuntimeFixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace {

using rt::OperandStack;
constexpr auto kValue = OperandStack::kTagValue;
constexpr auto kRef = OperandStack::kTagReference;
constexpr auto kWide = OperandStack::kTagWide;

using Slots = std::vector<std::pair<std::int64_t, std::uint8_t>>;

// {raw slot, tag} from the bottom slot up.
Slots slotsOf(const OperandStack& stack) {
    Slots slots;
    for (std::int32_t below = stack.depth() - 1; below >= 0; --below)
        slots.emplace_back(static_cast<std::int64_t>(stack.slotAt(below)), stack.tagAt(below));
    return slots;
}

struct OperandStackTest : ::testing::Test {
    testing_support::LogCapture log;
    rt::Runtime runtime{rt::RuntimeOptions{1 << 16, 1 << 16}};
    rt::OperandFrame<8> frame;
};

TEST_F(OperandStackTest, DuplicationsMoveEachValueWithItsTag) {
    rt::Object* object = rt::make<rt::Object>();
    auto ref = static_cast<std::int64_t>(reinterpret_cast<std::uintptr_t>(object));

    frame.pushInt(7);
    frame.pushRef(object);
    frame.pushInt(9);
    frame.dup2X1(); // ... x, a, b -> ... a, b, x, a, b
    EXPECT_EQ(slotsOf(frame), (Slots{{ref, kRef}, {9, kValue}, {7, kValue}, {ref, kRef}, {9, kValue}}));

    rt::OperandFrame<8> other;
    other.pushInt(7);
    other.pushRef(object);
    other.pushInt(9);
    other.dupX2(); // ... y, x, b -> ... b, y, x, b
    EXPECT_EQ(slotsOf(other), (Slots{{9, kValue}, {7, kValue}, {ref, kRef}, {9, kValue}}));

    rt::OperandFrame<4> dups;
    dups.pushRefDup(nullptr);
    dups.pushIntDup(-3);
    EXPECT_EQ(slotsOf(dups), (Slots{{0, kValue}, {0, kValue}, {-3, kValue}, {-3, kValue}}));
}

TEST_F(OperandStackTest, WideValuesTakeTwoSlotsAndPeekJoinsThem) {
    frame.pushLong(INT64_MIN + 0x123456789);
    EXPECT_EQ(frame.depth(), 2);
    EXPECT_EQ(frame.tagAt(0), kWide);
    EXPECT_EQ(frame.tagAt(1), kWide);
    EXPECT_EQ(frame.peek(0), INT64_MIN + 0x123456789);
    frame.pushInt(-5);
    EXPECT_EQ(frame.peek(0), -5);
    EXPECT_EQ(frame.peek(1), INT64_MIN + 0x123456789);
    EXPECT_EQ(frame.popInt(), -5);
    EXPECT_EQ(frame.popLong(), INT64_MIN + 0x123456789);
    frame.pushDouble(-2.5);
    EXPECT_EQ(frame.popDouble(), -2.5);
    frame.pushFloat(0.75f);
    EXPECT_EQ(frame.popFloat(), 0.75f);
}

TEST_F(OperandStackTest, ComparisonsPopBothOperands) {
    struct Case {
        std::int32_t a, b, le, lt, eq, ne;
    };
    const Case cases[] = {
        {-1, 1, 1, 1, 0, 1},
        {1, -1, 0, 0, 0, 1},
        {INT32_MIN, INT32_MIN, 1, 0, 1, 0},
    };
    for (const Case& c : cases) {
        std::int32_t (OperandStack::*ops[])() = {&OperandStack::cmpLe, &OperandStack::cmpLt,
                                                 &OperandStack::cmpEq, &OperandStack::cmpNe};
        const std::int32_t expected[] = {c.le, c.lt, c.eq, c.ne};
        for (int op = 0; op < 4; ++op) {
            frame.pushInt(c.a);
            frame.pushInt(c.b);
            EXPECT_EQ((frame.*ops[op])(), expected[op]) << c.a << " op " << op << " " << c.b;
            EXPECT_EQ(frame.depth(), 0);
        }
    }
}

TEST_F(OperandStackTest, FloatCompareTreatsUnorderedAsLess) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        float a, b;
        std::int32_t result;
    };
    const Case cases[] = {
        {1.0f, nan, -1}, {nan, 1.0f, -1}, {2.0f, 1.0f, 1}, {1.0f, 2.0f, -1}, {0.0f, -0.0f, 0}};
    for (const Case& c : cases) {
        frame.pushFloat(c.a);
        frame.pushFloat(c.b);
        frame.fcmp();
        EXPECT_EQ(frame.tagAt(0), kValue);
        EXPECT_EQ(frame.popInt(), c.result) << c.a << " vs " << c.b;
    }
}

TEST_F(OperandStackTest, ArrayElementsThroughTheStack) {
    rt::Array* bytes = rt::newByteArray(2);
    rt::Array* chars = rt::newCharArray(2);
    rt::Array* objects = rt::newObjectArray(2);

    frame.pushRef(bytes);
    frame.pushInt(1);
    frame.pushInt(0x180);
    frame.arrayStore8();
    frame.pushRef(bytes);
    frame.pushInt(1);
    frame.arrayLoad8();
    EXPECT_EQ(frame.popInt(), -128);

    frame.pushRef(chars);
    frame.pushInt(0);
    frame.pushInt(0xFFFF);
    frame.arrayStore16();
    frame.pushRef(chars);
    frame.pushInt(0);
    frame.arrayLoadChar();
    EXPECT_EQ(frame.popInt(), 0xFFFF);
    frame.pushRef(chars);
    frame.pushInt(0);
    frame.arrayLoad16();
    EXPECT_EQ(frame.popInt(), -1);

    frame.pushRef(objects);
    frame.pushInt(1);
    frame.pushRef(bytes);
    frame.arrayStoreRef();
    frame.pushRef(objects);
    frame.pushInt(1);
    frame.arrayLoadRef();
    EXPECT_EQ(frame.tagAt(0), kRef);
    EXPECT_EQ(frame.popRef(), bytes);
    frame.pushRef(objects);
    frame.arrayLength();
    EXPECT_EQ(frame.popInt(), 2);
    EXPECT_TRUE(log.lines().empty());

    // A null array: reported, the store dropped, the load and the length 0.
    frame.pushRef(nullptr);
    frame.pushInt(0);
    frame.pushInt(5);
    frame.arrayStore32();
    frame.pushRef(nullptr);
    frame.pushInt(0);
    frame.arrayLoad32();
    EXPECT_EQ(frame.popInt(), 0);
    frame.pushRef(nullptr);
    frame.arrayLength();
    EXPECT_EQ(frame.popInt(), 0);
    EXPECT_EQ(frame.depth(), 0);
    EXPECT_EQ(log.lines().size(), 6u);
    EXPECT_EQ(log.lines()[0], "NullPointer");
}

TEST_F(OperandStackTest, FieldStoresCheckTheObject) {
    rt::Object* object = rt::make<rt::Object>();
    std::int32_t field = 1;
    std::uint8_t flag = 0;
    frame.pushRef(object);
    frame.pushInt(42);
    frame.putField32(&field);
    frame.pushRef(object);
    frame.pushInt(5);
    frame.putFieldBoolean(&flag);
    EXPECT_EQ(field, 42);
    EXPECT_EQ(flag, 1);
    EXPECT_EQ(frame.depth(), 0);

    frame.pushRef(nullptr);
    frame.pushInt(43);
    frame.putField32(&field);
    EXPECT_EQ(field, 42);
    EXPECT_EQ(frame.depth(), 0);
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"NullPointer", "stacktrace:"}));

    frame.pushInt(0);
    frame.popBoolean(&flag);
    EXPECT_EQ(flag, 0);
}

TEST_F(OperandStackTest, TypeTests) {
    testing_support::installTestThrowables(runtime);
    rt::Object* exception =
        runtime.throwableHooks().newThrowable(rt::ClassId::java_lang_NullPointerException, nullptr);
    frame.pushRef(nullptr);
    frame.instanceOf(rt::toInt(rt::ClassId::Object));
    EXPECT_EQ(frame.tagAt(0), kValue);
    EXPECT_EQ(frame.popInt(), 0);
    frame.pushRef(exception);
    frame.instanceOf(rt::toInt(rt::ClassId::java_lang_Exception));
    EXPECT_EQ(frame.popInt(), 1);

    // A cast of null passes; a cast to a class the object lacks is reported; the top stays.
    frame.pushRef(nullptr);
    frame.checkCast(rt::toInt(rt::ClassId::java_lang_Exception));
    frame.pushRef(exception);
    frame.checkCast(rt::toInt(rt::ClassId::java_lang_RuntimeException));
    EXPECT_TRUE(log.lines().empty());
    frame.checkCast(rt::toInt(rt::ClassId::java_io_IOException));
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"check cast", "stacktrace:"}));
    EXPECT_EQ(frame.depth(), 2);

    frame.athrow();
    EXPECT_EQ(rt::getPendingException(), exception);
    rt::clearPendingException();

    frame.pushNewInstance(rt::toInt(rt::ClassId::Object));
    EXPECT_EQ(frame.tagAt(0), kRef);
    frame.pushNewInstance(rt::toInt(rt::ClassId::java_util_Vector));
    EXPECT_EQ(frame.tagAt(0), kValue);
    EXPECT_EQ(frame.popRef(), nullptr);
}

TEST_F(OperandStackTest, DumpListsSlotsFromTheTop) {
    rt::Array* ints = rt::newIntArray(1);
    frame.pushInt(-1);
    frame.pushRef(ints);
    frame.dump();
    char expected[64];
    std::snprintf(expected, sizeof expected, "\t-1 value=0x%llx class=IntArray",
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(ints)));
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"OperandStack dump:", expected,
                                                     "\t-2 value=0xffffffffffffffff class=?"}));
}

TEST(OperandStackDeathTest, OverflowAndUnderflowStopTheProcess) {
    rt::OperandFrame<1> frame;
    frame.pushInt(1);
    EXPECT_DEATH(frame.pushInt(2), "operand stack overflow");
    frame.popInt();
    EXPECT_DEATH(frame.popInt(), "operand stack underflow");
}

} // namespace
