#include "platform/io/fileio.h"

#include "host/Folders.h"
#include "runtime/StaticClass.h"
#include "runtime/ThreadTable.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

struct FileStatics {
    host::Folders* m_folders = nullptr;
    RT_NO_REFERENCE_FIELDS(FileStatics, rt::NoReferenceBase)
};

FileStatics& fileStatics() {
    return rt::getStaticClass().statics<FileStatics>();
}

// The native buffer every read and write of an array passes through.
constexpr std::size_t kChunk = 8192;

// Writes the folder holding `path` to the disk: a rename is durable only once
// its folder is. A folder that does not reach the disk only leaves the old
// contents after a power cut, as if the save had not been made.
void syncFolderOf(const std::string& path) {
    std::string folder = std::filesystem::path(path).parent_path().string();
    int descriptor = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return;
    (void)::fsync(descriptor);
    ::close(descriptor);
}

// Whether the file at `path` holds exactly `len` bytes of `b` from `off`: a
// save of what is there already writes nothing (and waits for no disk).
bool holdsAlready(const std::string& path, rt::ByteArray* b, std::int32_t off, std::int32_t len) {
    std::size_t size = len > 0 ? static_cast<std::size_t>(len) : 0;
    std::error_code error;
    if (std::filesystem::file_size(path, error) != size || error)
        return false;
    std::vector<std::uint8_t> held(size);
    {
        rt::SafeRegion blocking;
        std::FILE* file = std::fopen(path.c_str(), "rb");
        if (!file)
            return false;
        bool read = std::fread(held.data(), 1, size, file) == size;
        std::fclose(file);
        if (!read)
            return false;
    }
    return size == 0 || std::memcmp(held.data(), b->elements() + off, size) == 0;
}

} // namespace

void setFileFolders(host::Folders* folders) {
    fileStatics().m_folders = folders;
}

host::Folders* fileFolders() {
    return fileStatics().m_folders;
}

std::optional<std::string> hostPathOf(rt::String* path) {
    host::Folders* folders = fileFolders();
    if (!path || path->isFreed() || !folders)
        return std::nullopt;
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(path->length()));
    for (char16_t unit : path->view())
        bytes.push_back(static_cast<char>(unit & 0xFF));
    host::Result<std::string> mapped = folders->hostPath(bytes);
    if (!mapped)
        return std::nullopt;
    return std::move(mapped).value();
}

std::FILE* openFile(rt::String* path, const char* mode) {
    std::optional<std::string> hostPath = hostPathOf(path);
    if (!hostPath)
        return nullptr;
    rt::SafeRegion blocking;
    return std::fopen(hostPath->c_str(), mode);
}

bool fileExists(rt::String* path) {
    std::optional<std::string> hostPath = hostPathOf(path);
    if (!hostPath)
        return false;
    rt::SafeRegion blocking;
    struct stat status {};
    return ::stat(hostPath->c_str(), &status) == 0;
}

std::vector<std::string> namesInFolder(const std::string& folder) {
    std::vector<std::string> names;
    rt::SafeRegion blocking;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error))
        names.push_back(entry->path().filename().string());
    return names;
}

void closeFile(std::FILE* file) {
    if (!file)
        return;
    rt::SafeRegion blocking;
    std::fclose(file);
}

void closeFileInDestructor(std::FILE* file) {
    if (file)
        std::fclose(file);
}

bool seekFile(std::FILE* file, std::int64_t offset, int whence) {
    rt::SafeRegion blocking;
    return std::fseek(file, static_cast<long>(offset), whence) == 0;
}

std::int64_t tellFile(std::FILE* file) {
    rt::SafeRegion blocking;
    return static_cast<std::int64_t>(std::ftell(file));
}

std::int32_t readFile(std::FILE* file, rt::ByteArray* b, std::int32_t off, std::int32_t len) {
    std::array<std::uint8_t, kChunk> chunk;
    std::int32_t done = 0;
    while (done < len) {
        std::size_t want = std::min<std::size_t>(kChunk, static_cast<std::size_t>(len - done));
        std::size_t got = 0;
        {
            rt::SafeRegion blocking;
            got = std::fread(chunk.data(), 1, want, file);
        }
        // Out of the safe region: the elements are where the heap has them now.
        std::memcpy(b->elements() + off + done, chunk.data(), got);
        done += static_cast<std::int32_t>(got);
        if (got < want)
            break;
    }
    return done;
}

bool readFileExactly(std::FILE* file, std::span<std::uint8_t> bytes) {
    rt::SafeRegion blocking;
    return std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

std::int32_t readFileByte(std::FILE* file) {
    rt::SafeRegion blocking;
    int c = std::fgetc(file);
    return c == EOF ? -1 : c;
}

std::size_t readFileAt(std::FILE* file, std::int64_t position, std::span<std::uint8_t> bytes) {
    rt::SafeRegion blocking;
    const int descriptor = ::fileno(file);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::pread(descriptor, bytes.data() + done, bytes.size() - done,
                                    static_cast<off_t>(position + static_cast<std::int64_t>(done)));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

bool writeFile(std::FILE* file, rt::ByteArray* b, std::int32_t off, std::int32_t len) {
    std::array<std::uint8_t, kChunk> chunk;
    std::int32_t done = 0;
    while (done < len) {
        std::size_t count = std::min<std::size_t>(kChunk, static_cast<std::size_t>(len - done));
        std::memcpy(chunk.data(), b->elements() + off + done, count);
        rt::SafeRegion blocking;
        if (std::fwrite(chunk.data(), 1, count, file) != count)
            return false;
        done += static_cast<std::int32_t>(count);
    }
    return true;
}

bool writeFileByte(std::FILE* file, std::int32_t value) {
    rt::SafeRegion blocking;
    return std::fputc(value & 0xFF, file) != EOF;
}

bool replaceFile(rt::String* path, rt::ByteArray* b, std::int32_t off, std::int32_t len) {
    std::optional<std::string> hostPath = hostPathOf(path);
    if (!hostPath)
        return false;
    if (holdsAlready(*hostPath, b, off, len))
        return true;
    std::string temporary = *hostPath + ".new";
    std::FILE* file = nullptr;
    {
        rt::SafeRegion blocking;
        file = std::fopen(temporary.c_str(), "wb");
    }
    if (!file)
        return false;
    bool written = len <= 0 || writeFile(file, b, off, len);
    rt::SafeRegion blocking;
    // The new contents reach the disk before the rename puts them in the old
    // file's place: a power cut after the rename then finds the whole new
    // file, never an empty one. A full disk may only show in the flush.
    written = std::fflush(file) == 0 && ::fsync(::fileno(file)) == 0 && written;
    written = std::fclose(file) == 0 && written;
    if (written && std::rename(temporary.c_str(), hostPath->c_str()) == 0) {
        syncFolderOf(*hostPath);
        return true;
    }
    std::remove(temporary.c_str());
    return false;
}

} // namespace platform
