#pragma once

// `javax_microedition_io_File`: a device path and the few operations the
// platform needs on it. The path is stored lower-cased (ASCII letters only),
// so every file is opened by its lower-case path; the host maps device paths
// onto Linux paths (host/Folders.h, set through `setFileFolders`). Nothing
// here raises an exception: an open that fails answers null or false.
//
// The program's folders, as device paths (no trailing backslash):
// `getProgramFilesPath` is the device's program-files folder (special folder
// 38) and `getProgramFolderPath` the game's folder below it, where the
// resource archive and the record stores live.

#include "classlib/ClassLibrary.h"
#include "runtime/Array.h"
#include "runtime/Object.h"
#include "runtime/String.h"

#include <cstdint>

namespace lib {
class java_io_InputStream;
}

namespace platform {

class FileInputStream;
class FileOutputStream;

class javax_microedition_io_File final : public rt::Object {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::javax_microedition_io_File;

    // Keeps `name` lower-cased; a null name is reported and gives a File
    // that opens nothing.
    explicit javax_microedition_io_File(rt::String* name);
    // The zero state `newInstanceById` makes: no path, a File that opens nothing.
    explicit javax_microedition_io_File(lib::NewInstance)
        : Object(kClassId) {}

    rt::String* path() const { return m_path; }

    // A stream reading the file from its start, or null when it cannot be opened.
    FileInputStream* openInputStream();
    // A stream writing the file, which is made or emptied first; null when
    // it cannot be opened.
    FileOutputStream* openOutputStream();
    // The size in bytes; 0 when the file cannot be opened.
    std::int32_t length();
    bool exists();
    // Makes the file, or empties it; true when it could be opened.
    bool create();
    // Every byte of the file; null when it cannot be opened.
    rt::ByteArray* readAll();
    // The names in the folder that start with `prefix` and end with
    // `suffix`: always an empty array, as the device has no folder listing.
    rt::ObjectArray* list(rt::String* prefix, rt::String* suffix);

    // Replaces the file's content by `len` bytes of `data` from `off` (null
    // data: none) so that the old content survives until the new one is
    // complete, even if the process dies meanwhile. A range outside `data` is
    // reported and gives an empty file. False when it could not be written;
    // the old content then stays.
    bool replaceContents(rt::ByteArray* data, std::int32_t off, std::int32_t len);

    RT_REFERENCE_FIELDS(javax_microedition_io_File, Object, m_path)

private:
    rt::String* m_path = nullptr;
};

// The device's program-files folder, and the game's folder below it
// ("\Brivanta\Vorlax Rally" appended); new Strings. Without a folders service
// both are empty.
rt::String* getProgramFilesPath();
rt::String* getProgramFolderPath();

// Every byte `in` still has, read in 512-byte chunks while `available()`
// says more are there; a read that brings nothing ends it. Null for a null
// stream, and when a read leaves an exception pending (it stays pending).
// The stream is not closed.
[[nodiscard]] rt::ByteArray* readAllBytes(lib::java_io_InputStream* in);

} // namespace platform
