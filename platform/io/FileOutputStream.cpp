#include "platform/io/FileOutputStream.h"

#include "classlib/io/byterange.h"
#include "platform/io/fileio.h"

namespace platform {

FileOutputStream::FileOutputStream(std::FILE* file)
    : java_io_OutputStream(kClassId)
    , m_file(file) {
}

FileOutputStream::~FileOutputStream() {
    closeFileInDestructor(m_file);
}

void FileOutputStream::close() {
    std::FILE* file = m_file;
    m_file = nullptr;
    closeFile(file);
}

void FileOutputStream::write(std::int32_t b) {
    if (m_file)
        (void)writeFileByte(m_file, b);
}

void FileOutputStream::write(rt::ByteArray* b, std::int32_t off, std::int32_t len) {
    if (!lib::checkByteRange(b, off, len) || !m_file)
        return;
    (void)writeFile(m_file, b, off, len);
}

} // namespace platform
