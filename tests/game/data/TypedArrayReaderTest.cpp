// Typed arrays: the encodings byte by byte, random nested arrays through
// datakit's writer and back, and the data that must fail.

#include "game/data/TypedArrayReader.h"
#include "classlib/io/ByteArrayInputStream.h"
#include "tests/game/data/DataFixture.h"
#include "tools/datakit/TypedArrayWriter.h"

#include <random>

namespace datakit {

// Failures show arrays as the writer's constructors would spell them.
void PrintTo(const TypedArray& array, std::ostream* out) {
    static const char* const kNames[] = {"byteArray", "shortArray", "intArray", "nestedArray"};
    *out << kNames[static_cast<int>(array.kind)] << "({";
    for (std::size_t i = 0; i < array.values.size(); ++i)
        *out << (i ? ", " : "") << array.values[i];
    for (std::size_t i = 0; i < array.nested.size(); ++i) {
        *out << (i ? ", " : "");
        PrintTo(array.nested[i], out);
    }
    *out << "})";
}

} // namespace datakit

namespace {

using namespace data_testing;
using datakit::Bytes;
using datakit::TypedArray;

// What `readArray` made, in the writer's terms; a null array is an empty
// nested array marked by a lone value.
TypedArray describeArray(rt::Object* object) {
    TypedArray out;
    if (!object)
        return {TypedArray::Kind::Nested, {-1}, {}};
    switch (object->classId()) {
    case rt::ClassId::ByteArray:
        for (std::int8_t v : rt::ByteArray::span(static_cast<rt::ByteArray*>(object)))
            out.values.push_back(v);
        out.kind = TypedArray::Kind::Byte;
        break;
    case rt::ClassId::ShortArray:
        for (std::int16_t v : rt::ShortArray::span(static_cast<rt::ShortArray*>(object)))
            out.values.push_back(v);
        out.kind = TypedArray::Kind::Short;
        break;
    case rt::ClassId::IntArray:
        for (std::int32_t v : rt::IntArray::span(static_cast<rt::IntArray*>(object)))
            out.values.push_back(v);
        out.kind = TypedArray::Kind::Int;
        break;
    default:
        out.kind = TypedArray::Kind::Nested;
        for (rt::Object* element : rt::ObjectArray::span(static_cast<rt::ObjectArray*>(object)))
            out.nested.push_back(describeArray(element));
    }
    return out;
}

lib::java_io_InputStream* streamOver(const Bytes& bytes) {
    return rt::make<lib::java_io_ByteArrayInputStream>(byteArray(bytes));
}

struct Encoding {
    const char* what;
    Bytes bytes;
    TypedArray expected;
};

std::vector<std::int32_t> ones(int n) {
    return std::vector<std::int32_t>(static_cast<std::size_t>(n), 1);
}
Bytes withOnes(Bytes head, int n) {
    head.insert(head.end(), static_cast<std::size_t>(n), 1);
    return head;
}

TEST_F(DataTest, EachHeaderFormDecodes) {
    const Encoding cases[] = {
        {"bytes", {0x00, 0x03, 0x01, 0xFF, 0x7F}, datakit::byteArray({1, -1, 127})},
        {"byte width ignored", {0xF0, 0x02, 0x80, 0x05}, datakit::byteArray({-128, 5})},
        {"short in one byte", {0x01, 0x01, 0xFF}, datakit::shortArray({-1})},
        {"short in two bytes", {0x11, 0x01, 0xFF, 0xFF}, datakit::shortArray({-1})},
        {"short 32767", {0x11, 0x01, 0xFF, 0x7F}, datakit::shortArray({32767})},
        {"short width 2 is two bytes", {0x21, 0x01, 0x00, 0x80}, datakit::shortArray({-32768})},
        {"int in one byte", {0x02, 0x01, 0x80}, datakit::intArray({-128})},
        {"int in two bytes", {0x12, 0x01, 0xFE, 0xFF}, datakit::intArray({-2})},
        {"int in four bytes", {0x22, 0x01, 0xFE, 0xFF, 0xFF, 0xFF}, datakit::intArray({-2})},
        {"int width 15 is four bytes", {0xF2, 0x01, 0x00, 0x00, 0x00, 0x80}, datakit::intArray({INT32_MIN})},
        {"two-byte count", withOnes({0x0A, 0x2C, 0x01}, 300), datakit::intArray(ones(300))},
        {"empty", {0x02, 0x00}, datakit::intArray({})},
        {"nested",
         {0x03, 0x02, 0x00, 0x01, 0x05, 0x12, 0x00},
         datakit::nestedArray({datakit::byteArray({5}), datakit::intArray({})})},
        {"nested types 3 to 7 with any width",
         {0xF7, 0x01, 0x25, 0x01, 0x22, 0x01, 0x01, 0x02, 0x03, 0x00},
         datakit::nestedArray({datakit::nestedArray({datakit::intArray({0x30201})})})},
    };
    for (const Encoding& c : cases) {
        SCOPED_TRACE(c.what);
        game::streamStatics().s_arrayBytesRead = 0;
        EXPECT_EQ(describeArray(game::readArray(streamOver(c.bytes))), c.expected);
        EXPECT_EQ(game::streamStatics().s_arrayBytesRead, static_cast<std::int32_t>(c.bytes.size()));
        EXPECT_EQ(
            describeArray(game::readArray(streamOver(c.bytes), static_cast<std::int32_t>(c.bytes.size()))),
            c.expected);
    }
    EXPECT_TRUE(log.lines().empty());
}

TypedArray randomArray(std::mt19937& random, int depth) {
    std::uniform_int_distribution<int> kinds(0, depth < 5 ? 3 : 2);
    std::size_t count = random() % 4 == 0 ? 256 + random() % 300 : random() % 12;
    // Values drawn to need each width.
    std::int32_t range = std::array<std::int32_t, 3>{100, 30000, INT32_MAX}[random() % 3];
    std::uniform_int_distribution<std::int32_t> value(-range - 1, range);
    switch (kinds(random)) {
    case 0: {
        std::vector<std::int8_t> v(count);
        for (auto& x : v)
            x = static_cast<std::int8_t>(value(random));
        return datakit::byteArray(v);
    }
    case 1: {
        std::vector<std::int16_t> v(count);
        for (auto& x : v)
            x = static_cast<std::int16_t>(value(random));
        return datakit::shortArray(v);
    }
    case 2: {
        std::vector<std::int32_t> v(count);
        for (auto& x : v)
            x = value(random);
        return datakit::intArray(v);
    }
    default: {
        std::vector<TypedArray> v(random() % 5);
        for (auto& x : v)
            x = randomArray(random, depth + 1);
        return datakit::nestedArray(v);
    }
    }
}

TEST_F(DataTest, RandomNestedArraysRoundTrip) {
    std::mt19937 random(104);
    for (int round = 0; round < 200; ++round) {
        TypedArray array = randomArray(random, 1);
        Bytes bytes = datakit::writeTypedArray(array);
        // Followed by other bytes, which the reader must leave alone.
        Bytes stream = bytes;
        stream.push_back(0xAB);
        game::streamStatics().s_arrayBytesRead = 0;
        ASSERT_EQ(describeArray(game::readArray(streamOver(stream))), array) << "round " << round;
        ASSERT_EQ(game::streamStatics().s_arrayBytesRead, static_cast<std::int32_t>(bytes.size()));
        ASSERT_EQ(describeArray(game::readArray(streamOver(bytes), static_cast<std::int32_t>(bytes.size()))),
                  array);
    }
}

Bytes nestedLevels(int levels) {
    Bytes bytes;
    for (int i = 1; i < levels; ++i)
        bytes.insert(bytes.end(), {0x03, 0x01});
    bytes.insert(bytes.end(), {0x00, 0x00});
    return bytes;
}

struct Broken {
    const char* what;
    Bytes bytes;
    std::int32_t payloadLength;
};

TEST_F(DataTest, BrokenArraysFailWholeWithOneLogLine) {
    Bytes endless(64, 0xFF);
    const Broken cases[] = {
        {"no bytes", {}, game::kUnknownLength},
        {"cut in the count", {0x0A, 0x01}, game::kUnknownLength},
        {"cut in the bytes", {0x00, 0x05, 0x01, 0x02}, game::kUnknownLength},
        {"cut in the ints", {0x22, 0x02, 0x01, 0x00, 0x00, 0x00, 0x02}, game::kUnknownLength},
        {"cut in a nested array", {0x03, 0x02, 0x00, 0x01, 0x05, 0x01}, game::kUnknownLength},
        {"0xFF to the end", endless, game::kUnknownLength},
        {"17 levels", nestedLevels(17), game::kUnknownLength},
        {"counts past the payload", {0x2A, 0xFF, 0xFF, 0x00}, 4},
        {"nested counts past the payload", {0x0B, 0xFF, 0xFF, 0x00, 0x00}, 5},
        {"bytes past the payload", {0x00, 0x03, 0x01, 0x02, 0x03}, 4},
    };
    for (const Broken& c : cases) {
        SCOPED_TRACE(c.what);
        log.clear();
        EXPECT_EQ(game::readArray(streamOver(c.bytes), c.payloadLength), nullptr);
        EXPECT_EQ(log.lines().size(), 1u);
        EXPECT_FALSE(rt::exceptionPending());
    }
    EXPECT_NE(game::readArray(streamOver(nestedLevels(16))), nullptr);
    EXPECT_EQ(game::readArray(nullptr), nullptr);
}

TEST_F(DataTest, AnExceptionInANestedArrayLeavesItNullAndReadingGoesOn) {
    // Read 6 is the second element's header; a failed read consumes nothing.
    auto* in =
        rt::make<testing_support::ScriptedInputStream>(Bytes{0x03, 0x03, 0x00, 0x01, 0x01, 0x00, 0x01, 0x03});
    in->m_failAt = 6;
    rt::Object* array = game::readArray(in);
    EXPECT_FALSE(rt::exceptionPending());
    EXPECT_EQ(describeArray(array), datakit::nestedArray({datakit::byteArray({1}), describeArray(nullptr),
                                                          datakit::byteArray({3})}));
    // At the outermost level the array is null.
    auto* failing = rt::make<testing_support::ScriptedInputStream>(Bytes{0x02, 0x01, 0x05});
    failing->m_failAt = 3;
    EXPECT_EQ(game::readArray(failing), nullptr);
    EXPECT_FALSE(rt::exceptionPending());
}

} // namespace
