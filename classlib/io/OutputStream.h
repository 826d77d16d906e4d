#pragma once

// `java_io_OutputStream`: the base of every output stream of the system. It
// has no fields.
//
// Its virtual operations come right after `Object`'s, in this order, and every
// output stream keeps it: close(), flush(), write(b) of one byte, write(b, off,
// len), write(b). A subclass must give the two writes of one byte and of a
// range; it puts `using java_io_OutputStream::write;` in its body so the
// overloads it does not override stay visible.
//
// Failures follow the library's rule: a bad argument is reported and writes
// nothing; an I/O failure is an exception left pending, after which the call
// returns at once.

#include "runtime/Array.h"
#include "runtime/Object.h"

#include <cstdint>

namespace lib {

class java_io_OutputStream : public rt::Object {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::java_io_OutputStream;

    // The defaults do nothing.
    virtual void close();
    virtual void flush();
    // Writes the low 8 bits of `b`.
    virtual void write(std::int32_t b) = 0;
    // Writes `len` bytes of `b` from `off`. A null `b`, or a range outside
    // it, is reported and writes nothing (every stream checks).
    virtual void write(rt::ByteArray* b, std::int32_t off, std::int32_t len) = 0;
    // write(b, 0, length of b) through the operation above.
    virtual void write(rt::ByteArray* b);

    RT_NO_REFERENCE_FIELDS(java_io_OutputStream, Object)

protected:
    explicit java_io_OutputStream(rt::ClassId id)
        : Object(id) {}
};

} // namespace lib
