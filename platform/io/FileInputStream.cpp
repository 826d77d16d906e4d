#include "platform/io/FileInputStream.h"

#include "classlib/io/byterange.h"
#include "platform/io/fileio.h"

#include <limits>

namespace platform {

FileInputStream::FileInputStream(std::FILE* file)
    : java_io_InputStream(kClassId)
    , m_file(file) {
    if (!m_file)
        return;
    seekFile(m_file, 0, SEEK_END);
    std::int64_t size = tellFile(m_file);
    m_fileSize = size < 0 ? 0 : static_cast<std::int32_t>(std::min<std::int64_t>(size, INT32_MAX));
    seekFile(m_file, 0, SEEK_SET);
}

FileInputStream::~FileInputStream() {
    closeFileInDestructor(m_file);
}

std::int32_t FileInputStream::position() const {
    if (!m_file)
        return 0;
    std::int64_t at = tellFile(m_file);
    return at < 0 ? 0 : static_cast<std::int32_t>(std::min<std::int64_t>(at, INT32_MAX));
}

std::int32_t FileInputStream::read(rt::ByteArray* b, std::int32_t off, std::int32_t len) {
    if (len < 1)
        return 0;
    if (!lib::checkByteRange(b, off, len) || !m_file)
        return 0;
    return readFile(m_file, b, off, len);
}

std::size_t FileInputStream::readAt(std::int64_t position, std::span<std::uint8_t> bytes) const {
    return m_file ? readFileAt(m_file, position, bytes) : 0;
}

std::int32_t FileInputStream::read() {
    return m_file ? readFileByte(m_file) : -1;
}

std::int64_t FileInputStream::skip(std::int64_t n) {
    if (n <= 0 || !m_file)
        return n;
    // The low 32 bits, as the device's 32-bit seek took them.
    seekFile(m_file, static_cast<std::uint32_t>(n), SEEK_CUR);
    return n;
}

std::int32_t FileInputStream::available() {
    return m_fileSize - position();
}

void FileInputStream::close() {
    std::FILE* file = m_file;
    m_file = nullptr;
    closeFile(file);
}

void FileInputStream::mark(std::int32_t) {
    m_markPos = position();
}

void FileInputStream::reset() {
    if (m_file)
        seekFile(m_file, m_markPos, SEEK_SET);
}

} // namespace platform
