#include "platform/io/ResourceArchive.h"

#include "host/Log.h"
#include "platform/io/File.h"
#include "platform/io/FileInputStream.h"
#include "platform/io/ResourceInputStream.h"
#include "platform/io/fileio.h"
#include "runtime/Exceptions.h"
#include "runtime/StaticClass.h"
#include "runtime/charsets.h"
#include "runtime/checks.h"

#include <algorithm>
#include <array>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace platform {

namespace {

struct ArchiveStatics {
    // Set once a load has been tried.
    javax_microedition_io_File* m_archiveFile = nullptr;
    // The archive file, open for every entry stream to read; opened by the
    // load and kept.
    FileInputStream* m_archiveStream = nullptr;
    rt::ObjectArray* m_entryNames = nullptr;
    rt::IntArray* m_entryOffsets = nullptr;
    rt::IntArray* m_entrySizes = nullptr;
    // The entries whose records were read whole; lookups see only these.
    std::int32_t m_entryCount = 0;
    // Whether the load read the whole index without a fault.
    bool m_indexWhole = false;
    // What the load found wrong, as its log line says it; null while none.
    rt::String* m_indexFault = nullptr;
    RT_REFERENCE_FIELDS(ArchiveStatics, rt::NoReferenceBase, m_archiveFile, m_archiveStream, m_entryNames,
                        m_entryOffsets, m_entrySizes, m_indexFault)
};

ArchiveStatics& archiveStatics() {
    return rt::getStaticClass().statics<ArchiveStatics>();
}

// Whether `entry` equals `name` from `skip` on, ignoring ASCII case.
bool sameName(rt::String* entry, rt::String* name, std::int32_t skip) {
    return entry && entry->length() == name->length() - skip &&
           entry->regionMatches(true, 0, name, skip, entry->length());
}

// The one log line of a load that found the archive at fault, kept for
// start-up to quote; answers false.
[[gnu::format(printf, 1, 2)]] bool fault(const char* format, ...) {
    std::array<char, 512> text{};
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text.data(), text.size(), format, arguments);
    va_end(arguments);
    host::logf(host::LogCategory::Platform, "data.bar: %s", text.data());
    archiveStatics().m_indexFault = rt::String::newFromCString(text.data());
    return false;
}

// Reads the archive from its start, through a buffer of its own.
class IndexReader {
public:
    explicit IndexReader(const FileInputStream& file)
        : m_file(file) {}

    // False when the file ends before `bytes` are filled.
    bool read(std::span<std::uint8_t> bytes) {
        for (std::size_t done = 0; done < bytes.size();) {
            if (m_at == m_end) {
                m_start += static_cast<std::int64_t>(m_end);
                m_end = m_file.readAt(m_start, m_buffer);
                m_at = 0;
                if (m_end == 0)
                    return false;
            }
            const std::size_t count = std::min(bytes.size() - done, m_end - m_at);
            std::memcpy(bytes.data() + done, m_buffer.data() + m_at, count);
            done += count;
            m_at += count;
        }
        return true;
    }

private:
    const FileInputStream& m_file;
    std::array<std::uint8_t, 4096> m_buffer;
    // The buffer holds the file's bytes from `m_start`, `m_end` of them; the next is at `m_at`.
    std::int64_t m_start = 0;
    std::size_t m_end = 0;
    std::size_t m_at = 0;
};

} // namespace

rt::String* ResourceArchive::getPath() {
    return getProgramFolderPath()->concat(rt::String::newFromCString("\\data.bar"));
}

std::string ResourceArchive::indexFault() {
    rt::String* fault = archiveStatics().m_indexFault;
    return fault ? fault->toUtf8() : std::string();
}

bool ResourceArchive::loadIndex() {
    ArchiveStatics& archive = archiveStatics();
    if (archive.m_archiveFile)
        return archive.m_indexWhole;
    auto* file = rt::make<javax_microedition_io_File>(getPath());
    archive.m_archiveFile = file;
    // The archive stays open for the entries' streams to read.
    archive.m_archiveStream = file->openInputStream();
    if (!archive.m_archiveStream) {
        return fault("cannot open %s; no resource can be read",
                     file->path() ? file->path()->toUtf8().c_str() : "");
    }
    IndexReader stream(*archive.m_archiveStream);

    std::array<std::uint8_t, 8> field{};
    if (!stream.read(std::span(field).first(2)))
        return fault("the file ends before its entry count; no resource can be read");
    auto count = static_cast<std::int16_t>(bigEndian(std::span(field).first(2)));
    if (count < 0)
        return fault("the entry count is %d; no resource can be read", count);
    if (count > kMaxEntries) {
        return fault(
            "the index lists %d entries, more than the %d an archive may hold; no resource can be read",
            count, kMaxEntries);
    }
    archive.m_entryNames = rt::newObjectArray(count);
    archive.m_entryOffsets = rt::newIntArray(count);
    archive.m_entrySizes = rt::newIntArray(count);
    std::vector<std::uint8_t> name;
    std::u16string units;
    for (std::int32_t i = 0; i < count; ++i) {
        std::int32_t number = i + 1;
        if (!stream.read(std::span(field).first(2)))
            return fault("the index is cut at entry %d of %d", number, count);
        std::size_t length = bigEndian(std::span(field).first(2));
        if (length > kMaxNameBytes) {
            return fault("the name of entry %d of %d is %zu bytes long, more than the %d a name may have",
                         number, count, length, kMaxNameBytes);
        }
        name.resize(length);
        if (!stream.read(name))
            return fault("the index is cut at entry %d of %d", number, count);
        units.clear();
        if (!rt::decodeModifiedUtf8(name, units))
            return fault("the name of entry %d of %d is not modified UTF-8", number, count);
        if (!stream.read(field))
            return fault("the index is cut at entry %d of %d", number, count);
        rt::Array::setRef(archive.m_entryNames, i, rt::make<rt::String>(std::u16string_view(units)));
        rt::IntArray::set(archive.m_entryOffsets, i,
                          static_cast<std::int32_t>(bigEndian(std::span(field).first(4))));
        rt::IntArray::set(archive.m_entrySizes, i,
                          static_cast<std::int32_t>(bigEndian(std::span(field).last(4))));
        archive.m_entryCount = i + 1;
    }
    // An entry that reaches past the end of the file means the archive is
    // cut (or its index lies): said once here, for the first such entry,
    // rather than by whichever read of it comes first.
    const std::int64_t fileSize = archive.m_archiveStream->fileSize();
    for (std::int32_t i = 0; i < count && fileSize >= 0; ++i) {
        const std::int64_t offset = rt::IntArray::get(archive.m_entryOffsets, i);
        const std::int64_t size = rt::IntArray::get(archive.m_entrySizes, i);
        if (offset < 0 || size < 0 || offset + size > fileSize) {
            auto* entry = static_cast<rt::String*>(rt::Array::getRef(archive.m_entryNames, i));
            return fault("the archive is %lld bytes long, but entry %d of %d (%s) lies at %lld to %lld",
                         static_cast<long long>(fileSize), i + 1, count, entry->toUtf8().c_str(),
                         static_cast<long long>(offset), static_cast<long long>(offset + size));
        }
    }
    archive.m_indexWhole = true;
    return true;
}

lib::java_io_InputStream* ResourceArchive::openEntry(rt::String* name) {
    ArchiveStatics& archive = archiveStatics();
    // A broken index has said so at its load; its whole entries are still served.
    (void)loadIndex();
    if (!name || name->isFreed()) {
        rt::reportNullPointer();
        return nullptr;
    }
    std::int32_t skip = name->length() > 0 && name->charAt(0) == u'/' ? 1 : 0;
    for (std::int32_t i = 0; i < archive.m_entryCount; ++i) {
        auto* entry = static_cast<rt::String*>(rt::Array::getRef(archive.m_entryNames, i));
        if (!sameName(entry, name, skip))
            continue;
        FileInputStream* stream = archive.m_archiveStream;
        if (!stream)
            return nullptr;
        std::int32_t offset = rt::IntArray::get(archive.m_entryOffsets, i);
        std::int32_t size = rt::IntArray::get(archive.m_entrySizes, i);
        // An entry placed outside the file is served only the bytes it really has there.
        if (offset < 0 || size < 0 || offset > stream->fileSize())
            size = 0;
        else
            size = std::min(size, stream->fileSize() - offset);
        return rt::make<javax_microedition_io_ResourceInputStream>(stream, offset, size);
    }
    return nullptr;
}

} // namespace platform
