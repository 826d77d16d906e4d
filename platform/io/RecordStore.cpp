#include "platform/io/RecordStore.h"

#include "classlib/io/ByteArrayOutputStream.h"
#include "classlib/io/DataInputStream.h"
#include "classlib/io/DataOutputStream.h"
#include "classlib/lang/Integer.h"
#include "classlib/lang/StringBuffer.h"
#include "classlib/lang/Throwable.h"
#include "classlib/util/Vector.h"
#include "host/Log.h"
#include "platform/io/File.h"
#include "platform/io/FileInputStream.h"
#include "platform/io/RecordEnumeration.h"
#include "platform/io/fileio.h"
#include "runtime/Exceptions.h"
#include "runtime/StaticClass.h"
#include "runtime/checks.h"

#include <cstdio>
#include <set>
#include <string>

namespace platform {

namespace {

using RecordStore = javax_microedition_rms_RecordStore;

rt::String* constant(std::int32_t index) {
    return rt::getStaticClass().getConstantString(index);
}

bool isEmpty(rt::String* text) {
    return !text || text->length() == 0;
}

// The id held at `index` of `ids` (an Integer); 0 for anything else.
std::int32_t idAt(lib::java_util_Vector* ids, std::int32_t index) {
    rt::Object* element = ids->elementAt(index);
    if (!element || element->classId() != rt::ClassId::java_lang_Integer)
        return 0;
    return static_cast<lib::java_lang_Integer*>(element)->intValue();
}

// `format` filled in, as a log line's part.
template <typename... Values>
std::string formatText(const char* format, Values... values) {
    char text[160];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

rt::Neutral raiseInvalidId(std::int32_t id) {
    return rt::raise(rt::ClassId::javax_microedition_rms_InvalidRecordIDException, rt::String::valueOf(id));
}

} // namespace

RecordStore::javax_microedition_rms_RecordStore(rt::String* path)
    : Object(kClassId)
    , m_path(path) {
    m_recordIds = rt::make<lib::java_util_Vector>(10, 0);
}

RecordStore* RecordStore::openRecordStore(rt::String* name, bool createIfNecessary) {
    return openRecordStore(name, createIfNecessary, 0, true);
}

RecordStore* RecordStore::openRecordStore(rt::String* name, bool createIfNecessary, std::int32_t, bool) {
    return open(name, constant(kVendorText), constant(kVendorText), createIfNecessary);
}

RecordStore* RecordStore::openRecordStore(rt::String* name, rt::String* vendorName, rt::String* suiteName) {
    return open(name, vendorName, suiteName, false);
}

RecordStore* RecordStore::open(rt::String* name, rt::String* vendorName, rt::String* suiteName,
                               bool createIfNecessary) {
    auto* path = rt::make<lib::StringBuffer>();
    if (isEmpty(vendorName) || isEmpty(suiteName)) {
        path->append(getProgramFolderPath())->append(constant(kSeparatorText));
    } else {
        path->append(getProgramFilesPath())->append(constant(kSeparatorText))->append(vendorName);
        path->append(constant(kSeparatorText))->append(suiteName)->append(constant(kSeparatorText));
    }
    path->append(constant(kStorePrefixText))->append(name)->append(constant(kFileSuffixText));
    rt::String* text = path->toString();
    for (char16_t c : {u'/', u':', u'*', u'?', u'<', u'>', u'|'})
        text = text->replace(c, u'_');

    bool exists = rt::make<javax_microedition_io_File>(text)->exists();
    if (!exists && !createIfNecessary)
        return rt::raise(rt::ClassId::javax_microedition_rms_RecordStoreNotFoundException, text);
    auto* store = rt::make<RecordStore>(text);
    // A new store's index file is first written by the first change; record
    // files already there (an index lost) are its records, never written over.
    if (!exists) {
        if (store->recordFileExists(1))
            store->rebuildFromRecordFiles(nullptr, "is missing");
        return store;
    }
    if (!store->readIndex())
        return rt::raise(rt::ClassId::javax_microedition_rms_RecordStoreException, text);
    return store;
}

bool RecordStore::readIndex() {
    auto* indexFile = rt::make<javax_microedition_io_File>(m_path);
    FileInputStream* file = indexFile->openInputStream();
    if (!file)
        return true;
    const std::int64_t size = file->fileSize();
    auto* in = rt::make<lib::java_io_DataInputStream>(file);
    if (size < kIndexHeadBytes) {
        in->close();
        rebuildFromRecordFiles(
            nullptr, formatText("is %lld bytes long, shorter than its head", static_cast<long long>(size)));
        return true;
    }
    std::int32_t last = in->readInt();
    std::int32_t count = rt::exceptionPending() ? 0 : in->readInt();
    if (rt::catchException(rt::ClassId::java_lang_Exception)) {
        in->close();
        rebuildFromRecordFiles(nullptr, "cannot be read");
        return true;
    }
    const std::int64_t expected = kIndexHeadBytes + 4 * static_cast<std::int64_t>(count);
    if (count < 0 || size != expected) {
        // The ids the file holds after its head are the ones the index may
        // still name; the record files decide which of them are records.
        rebuildFromRecordFiles(in, count < 0 ? formatText("lists %d ids", count)
                                             : formatText("is %lld bytes long, not the %lld its %d ids take",
                                                          static_cast<long long>(size),
                                                          static_cast<long long>(expected), count));
        in->close();
        return true;
    }
    if (count > kMaxRecordIds) {
        in->close();
        host::logf(host::LogCategory::Platform,
                   "record store %s: the index lists %d ids, more than the %d a store may hold; the store "
                   "is not opened",
                   indexFile->path()->toUtf8().c_str(), count, kMaxRecordIds);
        return false;
    }
    m_lastRecordId = last;
    std::int32_t highest = m_lastRecordId;
    for (std::int32_t i = 0; i < count && !rt::exceptionPending(); ++i) {
        std::int32_t id = in->readInt();
        if (rt::exceptionPending())
            break;
        m_recordIds->addElement(rt::make<lib::java_lang_Integer>(id));
        highest = std::max(highest, id);
    }
    (void)rt::catchException(rt::ClassId::java_lang_Exception);
    in->close();
    // An index whose last id is below an id it holds would hand that id out
    // again, and its new record would overwrite the old one's file.
    m_lastRecordId = highest;
    return true;
}

void RecordStore::rebuildFromRecordFiles(lib::java_io_DataInputStream* namedIds, const std::string& damage) {
    // Candidates: the ids the damaged index still holds, and ids 1, 2, ...
    // for as long as their files are there (every id given leaves a file,
    // emptied when its record is deleted).
    std::set<std::int32_t> candidates;
    for (std::int32_t i = 0; namedIds && i < kMaxRecordIds; ++i) {
        std::int32_t id = namedIds->readInt();
        if (rt::catchException(rt::ClassId::java_lang_Exception))
            break;
        if (id > 0)
            candidates.insert(id);
    }
    const std::optional<std::set<std::int32_t>> onDisk = recordFilesPresent();
    auto present = [&](std::int32_t id) { return onDisk ? onDisk->contains(id) : recordFileExists(id); };
    for (std::int32_t id = 1; id <= kMaxRecordIds && present(id); ++id)
        candidates.insert(id);

    std::int32_t records = 0;
    for (std::int32_t id : candidates) {
        if (!present(id))
            continue;
        m_lastRecordId = std::max(m_lastRecordId, id);
        if (rt::make<javax_microedition_io_File>(recordPath(id))->length() == 0)
            continue;
        m_recordIds->addElement(rt::make<lib::java_lang_Integer>(id));
        ++records;
    }
    host::logf(host::LogCategory::Platform,
               "record store %s: the index %s; rebuilt from the record files present: %d records, last id %d",
               rt::make<javax_microedition_io_File>(m_path)->path()->toUtf8().c_str(), damage.c_str(),
               records, m_lastRecordId);
}

bool RecordStore::recordFileExists(std::int32_t id) {
    return rt::make<javax_microedition_io_File>(recordPath(id))->exists();
}

std::optional<std::set<std::int32_t>> RecordStore::recordFilesPresent() {
    // The Linux name of record 1's file is <head>1<suffix>; every record's is
    // <head><id><suffix>, the id in decimal without leading zeros. A file's
    // path is its name in lower case.
    std::string suffix;
    if (rt::String* text = constant(kFileSuffixText)) {
        for (char16_t unit : text->toLowerCase()->view())
            suffix.push_back(static_cast<char>(unit & 0xFF));
    }
    const std::optional<std::string> first =
        hostPathOf(rt::make<javax_microedition_io_File>(recordPath(1))->path());
    const std::size_t slash = first ? first->rfind('/') : std::string::npos;
    const std::string tail = "1" + suffix;
    if (slash == std::string::npos || suffix.find_first_of("/\\") != std::string::npos ||
        first->size() < slash + 1 + tail.size() ||
        first->compare(first->size() - tail.size(), tail.size(), tail) != 0)
        return std::nullopt;
    const std::string head = first->substr(slash + 1, first->size() - tail.size() - slash - 1);
    std::set<std::int32_t> present;
    for (const std::string& name : namesInFolder(first->substr(0, slash))) {
        if (name.size() <= head.size() + suffix.size() || name.compare(0, head.size(), head) != 0 ||
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
            continue;
        const std::string digits = name.substr(head.size(), name.size() - head.size() - suffix.size());
        if (digits.size() > 10 || digits[0] < '1' || digits[0] > '9' ||
            digits.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const long long id = std::stoll(digits);
        if (id <= INT32_MAX)
            present.insert(static_cast<std::int32_t>(id));
    }
    return present;
}

rt::ObjectArray* RecordStore::listRecordStores() {
    rt::String* prefix = constant(kStorePrefixText);
    rt::String* suffix = constant(kFileSuffixText);
    rt::ObjectArray* names =
        rt::make<javax_microedition_io_File>(getProgramFolderPath())->list(prefix, suffix);
    std::int32_t cut = (prefix ? prefix->length() : 0);
    std::int32_t tail = (suffix ? suffix->length() : 0);
    for (std::int32_t i = 0; i < names->length(); ++i) {
        auto* file = static_cast<rt::String*>(rt::Array::getRef(names, i));
        if (file && file->length() >= cut + tail)
            rt::Array::setRef(names, i, file->substring(cut, file->length() - tail));
    }
    return names;
}

void RecordStore::closeRecordStore() {
    writeToFile();
}

rt::String* RecordStore::recordPath(std::int32_t id) {
    auto* path = rt::make<lib::StringBuffer>(m_path);
    path->append(constant(kRecordInfixText))->append(id)->append(constant(kFileSuffixText));
    return path->toString();
}

bool RecordStore::writeRecordFile(std::int32_t id, rt::ByteArray* data, std::int32_t offset,
                                  std::int32_t numBytes) {
    if (rt::make<javax_microedition_io_File>(recordPath(id))->replaceContents(data, offset, numBytes))
        return true;
    // Reporting success here would let the caller believe its bytes are kept
    // while the old file still holds the old ones.
    rt::raise(rt::ClassId::javax_microedition_rms_RecordStoreException, constant(kWriteFailedText));
    return false;
}

void RecordStore::writeToFile() {
    if (!checkOpen())
        return;
    auto* bytes = rt::make<lib::java_io_ByteArrayOutputStream>();
    auto* out = rt::make<lib::java_io_DataOutputStream>(bytes);
    std::int32_t count = m_recordIds->size();
    out->writeInt(m_lastRecordId);
    out->writeInt(count);
    for (std::int32_t i = 0; i < count; ++i)
        out->writeInt(idAt(m_recordIds, i));
    rt::ByteArray* index = bytes->toByteArray();
    if (rt::exceptionPending() ||
        !rt::make<javax_microedition_io_File>(m_path)->replaceContents(index, 0, index->length())) {
        rt::clearPendingException();
        rt::raise(rt::ClassId::javax_microedition_rms_RecordStoreException, constant(kWriteFailedText));
    }
}

void RecordStore::clearFile(rt::String* path) {
    (void)rt::make<javax_microedition_io_File>(path)->create();
}

bool RecordStore::checkOpen() {
    // Every store an open makes has its id list; only the zero state lacks it.
    if (m_recordIds)
        return true;
    rt::raise(rt::ClassId::javax_microedition_rms_RecordStoreNotOpenException);
    return false;
}

bool RecordStore::checkId(std::int32_t id) {
    if (!checkOpen())
        return false;
    std::int32_t count = m_recordIds->size();
    for (std::int32_t i = 0; i < count; ++i) {
        if (idAt(m_recordIds, i) == id)
            return true;
    }
    raiseInvalidId(id);
    return false;
}

std::int32_t RecordStore::addRecord(rt::ByteArray* data, std::int32_t offset, std::int32_t numBytes) {
    if (!checkOpen())
        return 0;
    // Ids are never given twice: after the largest int there is none left.
    if (getSizeAvailable() < numBytes || m_lastRecordId == INT32_MAX)
        return rt::raise(rt::ClassId::javax_microedition_rms_RecordStoreFullException, constant(kFullText));
    // The id is listed only once its file holds the bytes.
    std::int32_t id = m_lastRecordId + 1;
    if (!writeRecordFile(id, data, offset, numBytes))
        return 0;
    m_lastRecordId = id;
    m_recordIds->addElement(rt::make<lib::java_lang_Integer>(id));
    writeToFile();
    if (rt::exceptionPending())
        return 0;
    return id;
}

void RecordStore::setRecord(std::int32_t id, rt::ByteArray* data, std::int32_t offset,
                            std::int32_t numBytes) {
    if (!checkId(id))
        return;
    std::int32_t old = getRecordSize(id);
    if (static_cast<std::int64_t>(getSizeAvailable()) < static_cast<std::int64_t>(numBytes) - old) {
        rt::raise(rt::ClassId::javax_microedition_rms_RecordStoreFullException, constant(kFullText));
        return;
    }
    if (writeRecordFile(id, data, offset, numBytes))
        writeToFile();
}

void RecordStore::deleteRecord(std::int32_t id) {
    if (!checkOpen())
        return;
    for (std::int32_t i = m_recordIds->size() - 1; i >= 0; --i) {
        if (idAt(m_recordIds, i) != id)
            continue;
        m_recordIds->removeElementAt(i);
        // The index lets the record go before its file is emptied: a process
        // dying between the two leaves a file no index lists, never a listed
        // record without its bytes. While the index on disk still lists the
        // record, its file keeps them.
        writeToFile();
        if (!rt::catchException(rt::ClassId::java_lang_Exception))
            clearFile(recordPath(id));
        return;
    }
}

rt::ByteArray* RecordStore::getRecord(std::int32_t id) {
    if (!checkId(id))
        return nullptr;
    return rt::make<javax_microedition_io_File>(recordPath(id))->readAll();
}

std::int32_t RecordStore::getRecord(std::int32_t id, rt::ByteArray* buffer, std::int32_t offset) {
    if (!checkId(id))
        return 0;
    FileInputStream* file = rt::make<javax_microedition_io_File>(recordPath(id))->openInputStream();
    if (!file)
        return 0;
    std::int32_t size = file->fileSize();
    if (!buffer || buffer->isFreed()) {
        file->close();
        rt::reportNullPointer();
        return 0;
    }
    if (offset < 0 || offset > buffer->length() || buffer->length() - offset < size) {
        file->close();
        return rt::raise(lib::newArrayIndexOutOfBoundsException(offset < 0 ? offset : buffer->length()));
    }
    auto* in = rt::make<lib::java_io_DataInputStream>(file);
    in->readFully(buffer, offset, size);
    in->close();
    if (rt::catchException(rt::ClassId::java_lang_Exception))
        return 0;
    return size;
}

std::int32_t RecordStore::getRecordSize(std::int32_t id) {
    if (!checkId(id))
        return 0;
    return rt::make<javax_microedition_io_File>(recordPath(id))->length();
}

std::int32_t RecordStore::getSize() {
    if (!checkOpen())
        return 0;
    std::int32_t total = 0;
    for (std::int32_t i = 0; i < m_recordIds->size(); ++i) {
        total += getRecordSize(idAt(m_recordIds, i));
        if (!rt::catchException(rt::ClassId::javax_microedition_rms_InvalidRecordIDException))
            (void)rt::catchException(rt::ClassId::javax_microedition_rms_RecordStoreException);
    }
    return total;
}

javax_microedition_rms_RecordEnumerationImpl* RecordStore::enumerateRecords() {
    if (!checkOpen())
        return nullptr;
    auto* records = rt::make<javax_microedition_rms_RecordEnumerationImpl>(this);
    records->reset();
    return records;
}

} // namespace platform
