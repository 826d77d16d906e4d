#include "runtime/Array.h"
#include "runtime/ObjectManager.h"
#include "runtime/OperandStack.h"
#include "runtime/String.h"
#include "tests/support/LogCapture.h"
#include "tests/support/RuntimeFixtures.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

namespace {

using rt::Array;
using rt::ClassId;

struct ArrayTest : ::testing::Test {
    testing_support::LogCapture log;
    rt::Runtime runtime{rt::RuntimeOptions{1 << 16, 1 << 16}};
};

TEST_F(ArrayTest, EveryClassTakesItsElementSizeOfZeroedData) {
    struct Case {
        std::function<Array*(std::int32_t)> make;
        ClassId id;
        std::int32_t size;
    };
    const Case cases[] = {
        {rt::newObjectArray, ClassId::ObjectArray, 8}, {rt::newBoolArray, ClassId::BoolArray, 1},
        {rt::newByteArray, ClassId::ByteArray, 1},     {rt::newCharArray, ClassId::CharArray, 2},
        {rt::newShortArray, ClassId::ShortArray, 2},   {rt::newIntArray, ClassId::IntArray, 4},
        {rt::newLong64Array, ClassId::Long64Array, 8}, {rt::newFloatArray, ClassId::FloatArray, 4},
        {rt::newDoubleArray, ClassId::DoubleArray, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(rt::kClassNames[rt::toInt(c.id)]);
        Array* array = c.make(3);
        EXPECT_EQ(array->classId(), c.id);
        EXPECT_EQ(array->elementSize(), c.size);
        EXPECT_EQ(array->length(), 3);
        ASSERT_TRUE(runtime.bufferHeap().contains(array->data()));
        EXPECT_GE(runtime.bufferHeap().userSize(array->data()), static_cast<std::size_t>(3 * c.size));
        const auto* bytes = static_cast<const unsigned char*>(array->data());
        for (std::int32_t i = 0; i < 3 * c.size; ++i)
            ASSERT_EQ(bytes[i], 0) << "byte " << i;
    }
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(ArrayTest, EmptyAndNegativeLengthsHaveNoData) {
    rt::IntArray* empty = rt::newIntArray(0);
    EXPECT_EQ(empty->length(), 0);
    EXPECT_EQ(empty->data(), nullptr);
    EXPECT_TRUE(log.lines().empty());

    rt::IntArray* negative = rt::newIntArray(-1);
    EXPECT_EQ(negative->length(), -1);
    EXPECT_EQ(negative->data(), nullptr);
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"length of array should be >= 0", "stacktrace:"}));

    log.clear();
    EXPECT_EQ(Array::get32(negative, 0), 0);
    EXPECT_TRUE(log.contains("ArrayIndexOutOfBounds index=0 length=-1"));
}

// Data from the process heap (the buffer heap is too small to hold any, and
// no collection runs when it fails), so that the sanitizer build sees every
// byte outside an array.
struct MallocBackedArrayTest : ::testing::Test {
    MallocBackedArrayTest() { runtime.bufferHeap().setFailureHandler(nullptr); }
    testing_support::LogCapture log;
    rt::Runtime runtime{rt::RuntimeOptions{1 << 16, rt::MemoryManager::kMinBlockSize}};
};

TEST_F(MallocBackedArrayTest, BadAccessesAreReportedAndTouchNothing) {
    constexpr std::int32_t kLength = 24;
    auto* bytes = rt::newByteArray(kLength);
    auto* chars = rt::newCharArray(kLength);
    auto* ints = rt::newIntArray(kLength);
    auto* longs = rt::newLong64Array(kLength);
    auto* objects = rt::newObjectArray(kLength);
    for (Array* array : std::initializer_list<Array*>{bytes, chars, ints, longs, objects}) {
        ASSERT_FALSE(runtime.bufferHeap().contains(array->data()));
        std::memset(array->data(), 0x5A, static_cast<std::size_t>(kLength * array->elementSize()));
    }
    auto* freed = rt::newIntArray(kLength);
    freed->markFreed();

    struct Access {
        const char* name;
        Array* array;
        std::function<std::int64_t(Array*, std::int32_t)> read;
        std::function<void(Array*, std::int32_t)> write;
    };
    const Access accesses[] = {
        {"8", bytes, Array::get8, [](Array* a, std::int32_t i) { Array::set8(a, i, -1); }},
        {"16", chars, Array::get16, [](Array* a, std::int32_t i) { Array::set16(a, i, -1); }},
        {"char", chars, Array::getChar, [](Array* a, std::int32_t i) { Array::set16(a, i, -1); }},
        {"32", ints, Array::get32, [](Array* a, std::int32_t i) { Array::set32(a, i, -1); }},
        {"64", longs, Array::get64, [](Array* a, std::int32_t i) { Array::set64(a, i, -1); }},
        {"ref", objects,
         [](Array* a, std::int32_t i) { return static_cast<std::int64_t>(Array::getRef(a, i) != nullptr); },
         [](Array* a, std::int32_t i) { Array::setRef(a, i, a); }},
        // Wider than the elements: the last element's 8 bytes would end outside.
        {"64 on int", ints, Array::get64, [](Array* a, std::int32_t i) { Array::set64(a, i, -1); }},
    };
    for (const Access& access : accesses) {
        SCOPED_TRACE(access.name);
        std::int32_t last = std::string_view(access.name) == "64 on int" ? kLength / 2 : kLength;
        for (std::int32_t index : {-1, last, INT_MAX, INT_MIN}) {
            log.clear();
            EXPECT_EQ(access.read(access.array, index), 0);
            access.write(access.array, index);
            std::string line =
                "ArrayIndexOutOfBounds index=" + std::to_string(index) + " length=" + std::to_string(kLength);
            EXPECT_EQ(log.lines(), (std::vector<std::string>{line, "stacktrace:", line, "stacktrace:"}));
        }
        for (Array* missing : {static_cast<Array*>(nullptr), static_cast<Array*>(freed)}) {
            log.clear();
            EXPECT_EQ(access.read(missing, 0), 0);
            access.write(missing, 0);
            EXPECT_EQ(log.lines(),
                      (std::vector<std::string>{"NullPointer", "stacktrace:", "NullPointer", "stacktrace:"}));
        }
    }
    for (Array* array : std::initializer_list<Array*>{bytes, chars, ints, longs, objects}) {
        const auto* data = static_cast<const unsigned char*>(array->data());
        for (std::int32_t i = 0; i < kLength * array->elementSize(); ++i)
            ASSERT_EQ(data[i], 0x5A) << "byte " << i << " of class " << array->rawClassId();
    }
}

TEST_F(MallocBackedArrayTest, AccessorsReadAndWriteByWidth) {
    auto* bytes = rt::newByteArray(24);
    auto* chars = rt::newCharArray(24);
    auto* longs = rt::newLong64Array(24);
    auto* objects = rt::newObjectArray(24);
    Array::set8(bytes, 23, 0x1FF);
    EXPECT_EQ(Array::get8(bytes, 23), -1);
    Array::set16(chars, 23, 0xFFFE);
    EXPECT_EQ(Array::get16(chars, 23), -2);
    EXPECT_EQ(Array::getChar(chars, 23), 0xFFFE);
    Array::set64(longs, 23, INT64_MIN);
    EXPECT_EQ(Array::get64(longs, 23), INT64_MIN);
    Array::setRef(objects, 23, bytes);
    EXPECT_EQ(Array::getRef(objects, 23), bytes);
    EXPECT_EQ(rt::ObjectArray::get(objects, 23), bytes);

    // Initialisers store from element 0 and drop what does not fit.
    auto* ints = rt::newIntArray(2);
    log.clear();
    Array::fill32(ints, {7, 8, 9});
    Array::fill8(bytes, {});
    EXPECT_EQ(ints->elements()[0], 7);
    EXPECT_EQ(ints->elements()[1], 8);
    EXPECT_EQ(Array::get8(bytes, 0), 0);
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{"ArrayIndexOutOfBounds index=2 length=2", "stacktrace:"}));
}

TEST_F(MallocBackedArrayTest, ForeignMemoryIsUsedButNeverFreed) {
    std::vector<std::int16_t> pixels(4, 0);
    auto* screen = rt::make<rt::ForeignShortArray>(pixels.data(), 4);
    EXPECT_EQ(screen->classId(), ClassId::ShortArray);
    Array::set16(screen, 3, 0x7BEF);
    EXPECT_EQ(pixels[3], 0x7BEF);
    Array::set16(screen, 4, 1);
    EXPECT_TRUE(log.contains("ArrayIndexOutOfBounds index=4 length=4"));
    // Collected while the memory's owner still uses it.
    EXPECT_EQ(runtime.objectManager().gc(rt::ObjectManager::kNoRoots).freed, 1u);
    EXPECT_EQ(pixels[3], 0x7BEF);
}

TEST_F(ArrayTest, CompactionMovesTheElementsAndRewritesTheOwnerField) {
    testing_support::ScrubbingCompactor compactor;
    runtime.bufferHeap().setFailureHandler(&compactor);
    // [gap 4096][elements][gap 1024][filler][free 2048]: the elements can move
    // to the end, joining the two gaps.
    void* before = nullptr;
    void* after = nullptr;
    void* filler = nullptr;
    rt::allocBuffer(4096, &before);
    rt::IntArray* array = rt::newIntArray(64);
    rt::allocBuffer(1024, &after);
    auto stats = runtime.bufferHeap().stats();
    rt::allocBuffer(stats.heapSize - stats.heapUsed - 2048 - 2 * rt::MemoryManager::kHeaderSize, &filler);
    for (std::int32_t i = 0; i < 64; ++i)
        Array::set32(array, i, i * 1000);
    void* elements = array->data();
    rt::freeBuffer(before);
    rt::freeBuffer(after);

    void* joined = nullptr;
    rt::allocBuffer(5000, &joined);
    EXPECT_EQ(compactor.compactions(), 1);
    EXPECT_TRUE(runtime.bufferHeap().contains(joined));
    EXPECT_NE(array->data(), elements);
    for (std::int32_t i = 0; i < 64; ++i)
        ASSERT_EQ(Array::get32(array, i), i * 1000);
    EXPECT_EQ(runtime.bufferHeap().verify(), "");
}

TEST_F(ArrayTest, MultiDimensionalArraysFollowTheirDescriptor) {
    rt::OperandFrame<4> frame;
    frame.pushInt(2);
    frame.pushInt(3);
    frame.multiANewArray("[[I", 2);
    ASSERT_EQ(frame.depth(), 1);
    EXPECT_EQ(frame.tagAt(0), rt::OperandStack::kTagReference);
    auto* outer = static_cast<rt::ObjectArray*>(frame.popRef());
    ASSERT_EQ(outer->classId(), ClassId::ObjectArray);
    ASSERT_EQ(outer->length(), 2);
    for (std::int32_t i = 0; i < 2; ++i) {
        Array* inner = static_cast<Array*>(outer->elements()[i]);
        ASSERT_NE(inner, nullptr);
        EXPECT_EQ(inner->classId(), ClassId::IntArray);
        EXPECT_EQ(inner->length(), 3);
    }

    frame.pushInt(2);
    frame.pushInt(0);
    frame.pushInt(5);
    frame.multiANewArray("[[[B", 3);
    outer = static_cast<rt::ObjectArray*>(frame.popRef());
    ASSERT_EQ(outer->length(), 2);
    for (std::int32_t i = 0; i < 2; ++i) {
        Array* middle = static_cast<Array*>(outer->elements()[i]);
        EXPECT_EQ(middle->classId(), ClassId::ObjectArray);
        EXPECT_EQ(middle->length(), 0);
        EXPECT_EQ(middle->data(), nullptr);
    }

    // Dimensions left open stay null; a one-dimensional descriptor gives its element type.
    std::int32_t three = 3;
    auto* open = static_cast<rt::ObjectArray*>(rt::newMultiArray("[[J", std::span(&three, 1)));
    EXPECT_EQ(open->classId(), ClassId::ObjectArray);
    EXPECT_EQ(open->elements()[2], nullptr);
    EXPECT_EQ(rt::newMultiArray("[J", std::span(&three, 1))->classId(), ClassId::Long64Array);
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(ArrayTest, TheCollectorFollowsObjectArrayElements) {
    rt::newIntArray(1); // garbage
    rt::Handle<rt::ObjectArray> chain(runtime.objectManager(), rt::newObjectArray(1));
    rt::ObjectArray* last = chain.get();
    for (int depth = 0; depth < 400; ++depth) {
        rt::ObjectArray* next = rt::newObjectArray(1);
        last->elements()[0] = next;
        last = next;
    }
    std::int32_t lengths[] = {2, 3};
    last->elements()[0] = rt::newMultiArray("[[I", lengths);
    rt::make<rt::Object>(); // the newest object, which a failed allocation also keeps

    auto stats = runtime.objectManager().gc(rt::ObjectManager::kAllocationFailure);
    EXPECT_EQ(stats.freed, 1u);
    auto* matrix = static_cast<rt::ObjectArray*>(last->elements()[0]);
    ASSERT_FALSE(matrix->isFreed());
    EXPECT_EQ(Array::get32(static_cast<Array*>(matrix->elements()[1]), 2), 0);
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(ArrayTest, SpansCheckTheirRangeOnceAndReachTheElements) {
    rt::IntArray* array = rt::newIntArray(6);
    auto whole = rt::IntArray::span(array);
    ASSERT_EQ(whole.size(), 6u);
    for (std::size_t i = 0; i < whole.size(); ++i)
        whole[i] = static_cast<std::int32_t>(i * 10);
    auto middle = rt::IntArray::span(array, 2, 3);
    ASSERT_EQ(middle.size(), 3u);
    EXPECT_EQ(middle[0], 20);
    middle[2] = -1;
    EXPECT_EQ(rt::IntArray::get(array, 4), -1);
    EXPECT_TRUE(log.lines().empty());

    struct Case {
        std::int32_t offset;
        std::int32_t count;
        const char* line; // null: an empty span, nothing said
    };
    const Case cases[] = {
        {6, 0, nullptr},
        {0, 7, "ArrayIndexOutOfBounds index=7 length=6"},
        {5, 2, "ArrayIndexOutOfBounds index=7 length=6"},
        {-1, 2, "ArrayIndexOutOfBounds index=-1 length=6"},
        {7, 0, "ArrayIndexOutOfBounds index=7 length=6"},
        {2, -1, "ArrayIndexOutOfBounds index=1 length=6"},
        {INT_MAX, INT_MAX, "ArrayIndexOutOfBounds index=2147483647 length=6"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.offset << "+" << c.count);
        log.clear();
        EXPECT_TRUE(rt::IntArray::span(array, c.offset, c.count).empty());
        if (c.line)
            EXPECT_TRUE(log.contains(c.line));
        else
            EXPECT_TRUE(log.lines().empty());
    }

    log.clear();
    EXPECT_TRUE(rt::IntArray::span(nullptr, 0, 0).empty());
    EXPECT_TRUE(log.contains("NullPointer"));
    log.clear();
    EXPECT_TRUE(rt::IntArray::span(rt::newIntArray(-3)).empty());
    EXPECT_TRUE(rt::IntArray::span(rt::newIntArray(0)).empty());
    EXPECT_FALSE(log.contains("IndexOutOfBounds")) << "only the negative length itself is reported";
}

TEST_F(ArrayTest, CharArrayTextEndsAtTheFirstZeroUnit) {
    rt::CharArray* chars = rt::newCharArray(5);
    Array::fill16(chars, {u'h', u'i', 0, u'x'});
    EXPECT_EQ(chars->toString()->view(), u"hi");
    Array::fill16(chars, {u'a', u'b', u'c', u'd', u'e'});
    EXPECT_EQ(chars->toString()->view(), u"abcde");
}

} // namespace
