#include "platform/io/ResourceArchive.h"

#include "classlib/io/DataInputStream.h"
#include "host/Log.h"
#include "platform/io/File.h"
#include "platform/io/FileInputStream.h"
#include "platform/io/ResourceInputStream.h"
#include "runtime/Exceptions.h"
#include "runtime/StaticClass.h"
#include "runtime/checks.h"

#include <algorithm>

namespace platform {

namespace {

struct ArchiveStatics {
    // Set once a load has been tried.
    javax_microedition_io_File* m_archiveFile = nullptr;
    rt::ObjectArray* m_entryNames = nullptr;
    rt::IntArray* m_entryOffsets = nullptr;
    rt::IntArray* m_entrySizes = nullptr;
    // The entries whose records were read whole; lookups see only these.
    std::int32_t m_entryCount = 0;
    RT_REFERENCE_FIELDS(ArchiveStatics, rt::NoReferenceBase, m_archiveFile, m_entryNames, m_entryOffsets,
                        m_entrySizes)
};

ArchiveStatics& statics() {
    return rt::getStaticClass().statics<ArchiveStatics>();
}

// Whether `entry` equals `name` from `skip` on, ignoring ASCII case.
bool sameName(rt::String* entry, rt::String* name, std::int32_t skip) {
    return entry && entry->length() == name->length() - skip &&
           entry->regionMatches(true, 0, name, skip, entry->length());
}

} // namespace

rt::String* ResourceArchive::getPath() {
    return getProgramFolderPath()->concat(rt::String::newFromCString("\\data.bar"));
}

void ResourceArchive::loadIndex() {
    ArchiveStatics& archive = statics();
    auto* file = rt::make<javax_microedition_io_File>(getPath());
    archive.m_archiveFile = file;
    FileInputStream* stream = file->openInputStream();
    if (!stream) {
        host::logf(host::LogCategory::Platform, "resource archive: cannot open %s; no resource can be read",
                   file->path() ? file->path()->toUtf8().c_str() : "");
        return;
    }
    auto* in = rt::make<lib::java_io_DataInputStream>(stream);
    std::int32_t count = in->readShort();
    if (rt::catchException(rt::ClassId::java_lang_Exception)) {
        host::logf(host::LogCategory::Platform,
                   "resource archive: %s has no entry count; no resource can be read",
                   file->path()->toUtf8().c_str());
        in->close();
        return;
    }
    if (count < 0) {
        host::logf(host::LogCategory::Platform,
                   "resource archive: negative entry count %d; no resource can be read", count);
        count = 0;
    }
    archive.m_entryNames = rt::newObjectArray(count);
    archive.m_entryOffsets = rt::newIntArray(count);
    archive.m_entrySizes = rt::newIntArray(count);
    for (std::int32_t i = 0; i < count; ++i) {
        rt::String* name = in->readUTF();
        std::int32_t offset = rt::exceptionPending() ? 0 : in->readInt();
        std::int32_t size = rt::exceptionPending() ? 0 : in->readInt();
        if (rt::exceptionPending())
            break;
        rt::Array::setRef(archive.m_entryNames, i, name);
        rt::IntArray::set(archive.m_entryOffsets, i, offset);
        rt::IntArray::set(archive.m_entrySizes, i, size);
        archive.m_entryCount = i + 1;
    }
    if (rt::catchException(rt::ClassId::java_lang_Exception)) {
        host::logf(host::LogCategory::Platform, "resource archive: the index ends after %d of %d entries",
                   archive.m_entryCount, count);
    }
    in->close();
}

lib::java_io_InputStream* ResourceArchive::openEntry(rt::String* name) {
    ArchiveStatics& archive = statics();
    if (!archive.m_archiveFile)
        loadIndex();
    if (!name || name->isFreed()) {
        rt::reportNullPointer();
        return nullptr;
    }
    std::int32_t skip = name->length() > 0 && name->charAt(0) == u'/' ? 1 : 0;
    for (std::int32_t i = 0; i < archive.m_entryCount; ++i) {
        auto* entry = static_cast<rt::String*>(rt::Array::getRef(archive.m_entryNames, i));
        if (!sameName(entry, name, skip))
            continue;
        FileInputStream* stream = archive.m_archiveFile->openInputStream();
        if (!stream)
            return nullptr;
        std::int32_t offset = rt::IntArray::get(archive.m_entryOffsets, i);
        std::int32_t size = rt::IntArray::get(archive.m_entrySizes, i);
        // An entry placed outside the file is served only the bytes it really has there.
        if (offset < 0 || size < 0 || offset > stream->fileSize())
            size = 0;
        else
            size = std::min(size, stream->fileSize() - offset);
        if (size > 0)
            stream->skip(offset);
        return rt::make<javax_microedition_io_ResourceInputStream>(stream, size);
    }
    return nullptr;
}

} // namespace platform
