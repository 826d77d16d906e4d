#include "platform/io/File.h"

#include "classlib/io/ByteArrayOutputStream.h"
#include "classlib/io/byterange.h"
#include "host/Folders.h"
#include "platform/io/FileInputStream.h"
#include "platform/io/FileOutputStream.h"
#include "platform/io/fileio.h"
#include "runtime/Exceptions.h"
#include "runtime/checks.h"

namespace platform {

javax_microedition_io_File::javax_microedition_io_File(rt::String* name)
    : Object(kClassId) {
    if (!name || name->isFreed()) {
        rt::reportNullPointer();
        return;
    }
    m_path = name->toLowerCase();
}

FileInputStream* javax_microedition_io_File::openInputStream() {
    std::FILE* file = openFile(m_path, "rb");
    return file ? rt::make<FileInputStream>(file) : nullptr;
}

FileOutputStream* javax_microedition_io_File::openOutputStream() {
    std::FILE* file = openFile(m_path, "wb+");
    return file ? rt::make<FileOutputStream>(file) : nullptr;
}

std::int32_t javax_microedition_io_File::length() {
    std::FILE* file = openFile(m_path, "rb");
    if (!file)
        return 0;
    seekFile(file, 0, SEEK_END);
    std::int64_t size = tellFile(file);
    closeFile(file);
    return size < 0 ? 0 : static_cast<std::int32_t>(std::min<std::int64_t>(size, INT32_MAX));
}

bool javax_microedition_io_File::exists() {
    return fileExists(m_path);
}

bool javax_microedition_io_File::create() {
    std::FILE* file = openFile(m_path, "w");
    closeFile(file);
    return file != nullptr;
}

rt::ByteArray* javax_microedition_io_File::readAll() {
    FileInputStream* in = openInputStream();
    if (!in)
        return nullptr;
    rt::ByteArray* bytes = readAllBytes(in);
    // The stream is left to the collector, whose destructor closes the file;
    // closing it now gives the handle back at once.
    in->close();
    return bytes;
}

rt::ObjectArray* javax_microedition_io_File::list(rt::String*, rt::String*) {
    return rt::newObjectArray(0);
}

bool javax_microedition_io_File::replaceContents(rt::ByteArray* data, std::int32_t off, std::int32_t len) {
    if (data && !lib::checkByteRange(data, off, len))
        len = 0;
    if (!data)
        len = 0;
    return replaceFile(m_path, data, off, len);
}

rt::String* getProgramFilesPath() {
    host::Folders* folders = fileFolders();
    if (!folders)
        return rt::make<rt::String>();
    host::Result<std::string> device =
        folders->deviceFolder(static_cast<std::int32_t>(host::SpecialFolder::ProgramFiles));
    return rt::String::newFromCString(device ? device.value().c_str() : "");
}

rt::String* getProgramFolderPath() {
    return getProgramFilesPath()->concat(rt::String::newFromCString("\\Brivanta\\Vorlax Rally"));
}

rt::ByteArray* readAllBytes(lib::java_io_InputStream* in) {
    if (!in)
        return nullptr;
    auto* out = rt::make<lib::java_io_ByteArrayOutputStream>();
    rt::ByteArray* chunk = rt::newByteArray(512);
    while (in->available() > 0) {
        std::int32_t k = in->read(chunk);
        if (rt::exceptionPending())
            return nullptr;
        // A stream that says bytes remain but brings none has ended early.
        if (k <= 0)
            break;
        out->write(chunk, 0, k);
    }
    return out->toByteArray();
}

} // namespace platform
