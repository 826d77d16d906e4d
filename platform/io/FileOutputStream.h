#pragma once

// `FileOutputStream`: an output stream over one open file (class id 23, the
// slot order of `java_io_OutputStream`). Writes that fail are lost without a
// report, as on the device; nothing raises an exception. The stream closes
// its file in its destructor. One thread at a time.

#include "classlib/io/OutputStream.h"

#include <cstdint>
#include <cstdio>

namespace platform {

class FileOutputStream final : public lib::java_io_OutputStream {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::java_io_OutputStream;

    // Takes `file` (open for writing).
    explicit FileOutputStream(std::FILE* file);
    ~FileOutputStream() override;

    using java_io_OutputStream::write;
    // Closes the file (which flushes it); a second close does nothing.
    void close() override;
    // Nothing: the file is flushed when it is closed.
    void flush() override {}
    void write(std::int32_t b) override;
    // A null `b` or a range outside it is reported and writes nothing.
    void write(rt::ByteArray* b, std::int32_t off, std::int32_t len) override;

    RT_NO_REFERENCE_FIELDS(FileOutputStream, java_io_OutputStream)

private:
    std::FILE* m_file = nullptr;
};

} // namespace platform
