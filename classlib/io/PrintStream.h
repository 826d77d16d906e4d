#pragma once

// `java_io_PrintStream`: prints texts and values on another output stream,
// one byte per UTF-16 unit (its low 8 bits), a line end being the single
// byte 10. `System.out` and `System.err` are one `java_io_PrintStream` over a
// `java_io_ConsoleOutputStream` (`ensureSystemStream`).
//
// Every call it makes on the wrapped stream is guarded: an `IOException` left
// pending by it is dropped and the print goes on; any other exception stays
// pending and the print stops there. A null wrapped stream is reported at
// each call. No lock is taken.

#include "classlib/io/OutputStream.h"
#include "runtime/Exceptions.h"
#include "runtime/String.h"
#include "runtime/constantStrings.h"

#include <cstdint>

namespace lib {

class java_io_PrintStream final : public java_io_OutputStream {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::java_io_PrintStream;
    // The constant strings printed for true and false.
    static constexpr std::int32_t kTrueText = rt::constants::kTrue;
    static constexpr std::int32_t kFalseText = rt::constants::kFalse;

    explicit java_io_PrintStream(java_io_OutputStream* out);

    java_io_OutputStream* wrapped() const { return m_out; }

    // Forwarded to the wrapped stream, as they are.
    using java_io_OutputStream::write;
    void close() override;
    void flush() override;
    void write(std::int32_t b) override;
    void write(rt::ByteArray* b, std::int32_t off, std::int32_t len) override;

    // The text's bytes in one write; a null text prints "null".
    void print(rt::String* s);
    // The object's `toString`; "null" for a null object or text.
    void print(rt::Object* o);
    // Each unit in a write of its own; a null array is reported.
    void print(rt::CharArray* s);
    void print(char16_t c);
    // Constant string 241 for true, 242 for false.
    void print(bool b);
    void print(std::int32_t i);
    void print(std::int64_t l);
    // A C++ text literal would turn into `bool`: say `String::newFromCString`.
    void print(const char*) = delete;

    void println();
    void println(rt::String* s);
    void println(rt::Object* o);
    void println(char16_t c);
    void println(bool b);
    void println(std::int32_t i);
    void println(const char*) = delete;

    RT_REFERENCE_FIELDS(java_io_PrintStream, java_io_OutputStream, m_out)

private:
    // The wrapped stream; null after reporting when there is none.
    java_io_OutputStream* sink();
    // After a call on the wrapped stream: drops a pending `IOException` and
    // answers whether the print may go on (nothing else is pending).
    static bool survived();
    // The print of `value`, then a line end unless the print left an exception pending.
    template <class T>
    void printLine(T value) {
        print(value);
        if (!rt::exceptionPending())
            println();
    }

    java_io_OutputStream* m_out = nullptr;
};

// The stream that `System.out` and `System.err` are: made on first use (by
// `installClassLibrary` at start-up) and kept among the statics.
java_io_PrintStream* ensureSystemStream();

} // namespace lib
