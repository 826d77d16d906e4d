#pragma once

// `java_io_ConsoleOutputStream`: the sink under `System.out` and `System.err`.
// Every operation accepts its bytes and drops them: nothing reaches the
// screen, the log or a file. It has no fields and takes no lock.

#include "classlib/io/OutputStream.h"

#include <cstdint>

namespace lib {

class java_io_ConsoleOutputStream final : public java_io_OutputStream {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::java_io_ConsoleOutputStream;

    java_io_ConsoleOutputStream()
        : java_io_OutputStream(kClassId) {}

    void write(std::int32_t) override {}
    void write(rt::ByteArray*, std::int32_t, std::int32_t) override {}
    void write(rt::ByteArray*) override {}

    RT_NO_REFERENCE_FIELDS(java_io_ConsoleOutputStream, java_io_OutputStream)
};

} // namespace lib
