// Reads the input as a program of data-stream reads over its own bytes: the
// first byte gives the number of operation bytes that follow, the rest is the
// data. Every typed reader, `readFully`, `skipBytes`, the stream operations
// and `readUTF` run over it, with byte ranges that may lie outside the target
// array. Checked after each operation: no read outside any array (the
// sanitizers watch), nothing ever appears in front of the position, the only
// exceptions left pending are `EOFException` (all data consumed) and, from
// `readUTF`, `UTFDataFormatException`; a text `readUTF` accepts survives
// `writeUTF` and a second `readUTF` unchanged. Then `readUTF` runs over the
// whole data until it stops.

#include "classlib/ClassLibrary.h"
#include "classlib/io/ByteArrayInputStream.h"
#include "classlib/io/ByteArrayOutputStream.h"
#include "classlib/io/DataInputStream.h"
#include "classlib/io/DataOutputStream.h"
#include "fuzz/Harness.h"
#include "host/Log.h"
#include "runtime/Array.h"
#include "runtime/Exceptions.h"
#include "runtime/Runtime.h"
#include "runtime/StaticClass.h"
#include "runtime/String.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>

namespace {

using lib::java_io_DataInputStream;

// Bounds the objects one input makes.
constexpr int kMaxTexts = 64;

struct Quiet final : host::LogSink {
    void write(host::LogCategory, std::string_view) override {}
};

using fuzzing::check;

// The class of the pending exception (cleared), or 0 for none.
int takePending() {
    rt::Object* pending = rt::getPendingException();
    if (!pending)
        return 0;
    rt::clearPendingException();
    return rt::toInt(pending->classId());
}

// A text `readUTF` answered must come back unchanged through `writeUTF`.
void checkRoundTrip(rt::String* text) {
    auto* sink = rt::make<lib::java_io_ByteArrayOutputStream>();
    rt::make<lib::java_io_DataOutputStream>(sink)->writeUTF(text);
    check(!rt::exceptionPending());
    auto* again =
        rt::make<java_io_DataInputStream>(rt::make<lib::java_io_ByteArrayInputStream>(sink->toByteArray()));
    rt::String* back = again->readUTF();
    check(back && back->view() == text->view());
    check(again->available() == 0);
}

// Runs operation `op` on `in`; answers whether it may have moved the position back.
bool runOperation(java_io_DataInputStream* in, std::uint8_t op) {
    // The high nibble gives ranges and counts, some of them outside the target.
    std::int32_t arg = (op >> 4) - 3;
    std::int32_t value = 0;
    switch (op & 0x0F) {
    case 0:
        value = in->readBoolean();
        break;
    case 1:
        value = in->readByte();
        check(value >= -128 && value <= 127);
        break;
    case 2:
        value = in->readUnsignedByte();
        check(value >= 0 && value <= 255);
        break;
    case 3:
        value = in->readShort();
        break;
    case 4:
        value = in->readUnsignedShort();
        check(value >= 0 && value <= 65535);
        break;
    case 5:
        value = in->readChar();
        break;
    case 6:
        value = in->readInt();
        break;
    case 7:
        value = static_cast<std::int32_t>(in->readLong());
        break;
    case 8: {
        rt::String* text = in->readUTF();
        int pending = takePending();
        if (text) {
            check(pending == 0);
            checkRoundTrip(text);
        } else {
            check(pending == rt::toInt(rt::ClassId::java_io_EOFException) ||
                  pending == rt::toInt(rt::ClassId::java_io_UTFDataFormatException));
            if (pending == rt::toInt(rt::ClassId::java_io_EOFException))
                check(in->available() == 0);
        }
        return false;
    }
    case 9:
        in->readFully(rt::newByteArray(8), arg, 6 - arg);
        break;
    case 10:
        check(in->skipBytes(arg * 3) <= std::max(arg * 3, 0));
        break;
    case 11: {
        std::int32_t n = in->read(rt::newByteArray(6), arg, 4);
        check(n >= -1 && n <= 4);
        break;
    }
    case 12:
        in->mark(arg);
        break;
    case 13:
        in->reset();
        return true;
    case 14: {
        value = in->read();
        check(value >= -1 && value <= 255);
        break;
    }
    default:
        check(in->skip(arg) <= std::max(arg, 0));
        break;
    }
    // Every other operation leaves at most the end of the data pending; a
    // reader that meets it has consumed everything and answers 0.
    int pending = takePending();
    check(pending == 0 || pending == rt::toInt(rt::ClassId::java_io_EOFException));
    if (pending != 0 && (op & 0x0F) <= 9) {
        check(value == 0);
        check(in->available() == 0);
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    Quiet quiet;
    host::LogSink* previous = host::setLogSink(&quiet);
    {
        std::size_t opCount = std::min<std::size_t>(data[0], size - 1);
        std::span<const std::uint8_t> ops(data + 1, opCount);
        std::span<const std::uint8_t> payload(data + 1 + opCount, size - 1 - opCount);

        // The objects below are held only by this frame, which no collection
        // scans, so none may run: a full buffer heap falls back to the process
        // heap, and the object heap is large enough for the bounded number of
        // objects made here (were it not, the process would end, loudly).
        rt::Runtime runtime{rt::RuntimeOptions{4 << 20, 1 << 20}};
        runtime.bufferHeap().setFailureHandler(nullptr);
        runtime.objectHeap().setFailureHandler(nullptr);
        lib::installClassLibrary(runtime);
        rt::ObjectArray* constants = rt::newObjectArray(15);
        rt::Array::setRef(constants, 14, rt::String::newFromCString("fuzz"));
        rt::getStaticClass().setConstantStrings(constants);

        // An exactly sized array: a read past its end is a sanitizer report.
        rt::ByteArray* bytes = rt::newByteArray(static_cast<std::int32_t>(payload.size()));
        if (!payload.empty())
            std::copy(payload.begin(), payload.end(), reinterpret_cast<std::uint8_t*>(bytes->elements()));
        auto* in = rt::make<java_io_DataInputStream>(rt::make<lib::java_io_ByteArrayInputStream>(bytes));
        for (std::uint8_t op : ops) {
            std::int32_t before = in->available();
            bool mayGoBack = runOperation(in, op);
            std::int32_t after = in->available();
            check(after >= 0 && after <= static_cast<std::int32_t>(payload.size()));
            check(mayGoBack || after <= before);
        }

        auto* whole = rt::make<java_io_DataInputStream>(rt::make<lib::java_io_ByteArrayInputStream>(bytes));
        for (int texts = 0; texts < kMaxTexts; ++texts) {
            std::int32_t before = whole->available();
            rt::String* text = whole->readUTF();
            if (!text) {
                check(takePending() != 0);
                break;
            }
            checkRoundTrip(text);
            check(whole->available() < before);
        }
    }
    host::setLogSink(previous);
    return 0;
}
