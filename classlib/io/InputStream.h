#pragma once

// `java_io_InputStream`: the base of every input stream of the system (the
// memory, data, file, archive-entry and connection streams). It has no fields.
//
// Its virtual operations come right after `Object`'s, in this order, and every
// input stream keeps it: read(b, off, len), read(b), read(), skip(n),
// available(), close(), mark(readLimit), reset(), markSupported().
//
// A subclass must give `read()`; the other operations have working defaults
// made of single `read()` calls. A subclass that overrides one `read` puts
// `using java_io_InputStream::read;` in its body so the other two stay visible.
//
// Failures follow the library's rule: a bad argument is reported (one log line
// and the stack trace) and the call answers a neutral value; an I/O failure is
// an exception left pending (`rt::raise`), after which the call answers at
// once and the caller tests `rt::exceptionPending()`.

#include "runtime/Array.h"
#include "runtime/Object.h"

#include <cstdint>

namespace lib {

class java_io_InputStream : public rt::Object {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::java_io_InputStream;

    // Reads up to `len` bytes into `b` from `off`: the number read, 0 when
    // `len` is 0, -1 at the end of the data. A null `b`, or a range outside
    // it, is reported and reads nothing (-1). The default reads byte by byte
    // until the end, `len` bytes or a pending exception.
    virtual std::int32_t read(rt::ByteArray* b, std::int32_t off, std::int32_t len);
    // read(b, 0, length of b) through the operation above.
    virtual std::int32_t read(rt::ByteArray* b);
    // The next byte as 0..255, or -1 at the end of the data.
    virtual std::int32_t read() = 0;
    // Skips up to `n` bytes and answers how many it skipped (0 for n <= 0).
    // The default reads and drops bytes until the end.
    virtual std::int64_t skip(std::int64_t n);
    // Bytes that can be read without blocking. The default answers 0.
    virtual std::int32_t available();
    // The default does nothing.
    virtual void close();
    // The defaults hold the stream's monitor and do nothing; a stream that
    // supports marks says so in `markSupported` (the default answers false).
    virtual void mark(std::int32_t readLimit);
    virtual void reset();
    virtual bool markSupported();

    RT_NO_REFERENCE_FIELDS(java_io_InputStream, Object)

protected:
    explicit java_io_InputStream(rt::ClassId id)
        : Object(id) {}
};

} // namespace lib
