// Runs datacheck on the demo set with one file of its archive changed by the
// input. The input: a byte choosing the archive entry (modulo their count),
// a little-endian u32 position in it (modulo its size + 1), a byte choosing
// the edit (modulo 4: overwrite from the position, insert there, cut the
// entry there, or xor from there) and the edit's bytes. An input shorter
// than that leaves the set as mkdata makes it, and then datacheck must find
// nothing. Checked: the check returns, whatever the set holds, and every
// finding names its resource and its rule.

#include "fuzz/PlatformFiles.h"
#include "tools/datacheck/DataCheck.h"
#include "tools/datakit/Archive.h"
#include "tools/datakit/Files.h"
#include "tools/mkdata/DemoSet.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <span>
#include <string>

namespace {

using fuzzing::check;

constexpr std::size_t kHeader = 6;
enum Edit : std::uint8_t { kOverwrite, kInsert, kCut, kXor, kEditCount };

void edit(datakit::Bytes& bytes, std::size_t at, Edit kind, std::span<const std::uint8_t> payload) {
    switch (kind) {
    case kOverwrite:
        if (bytes.size() < at + payload.size())
            bytes.resize(at + payload.size());
        std::copy(payload.begin(), payload.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
        break;
    case kInsert:
        bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), payload.begin(), payload.end());
        break;
    case kCut:
        bytes.resize(at);
        break;
    case kXor:
        for (std::size_t i = 0; i < payload.size() && at + i < bytes.size(); ++i)
            bytes[at + i] ^= payload[i];
        break;
    case kEditCount:
        break;
    }
}

void appendU32(datakit::Bytes& out, std::size_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void appendText(datakit::Bytes& out, std::span<const std::uint8_t> text) {
    appendU32(out, text.size());
    out.insert(out.end(), text.begin(), text.end());
}

// The set as bytes: the archive's entries, then the files beside it, then
// the record stores' prefix and suffix, each a length and its bytes.
datakit::Bytes serialized(const mkdata::ProgramFolder& set) {
    datakit::Bytes out;
    appendU32(out, set.archive.size());
    for (const datakit::ArchiveEntry& entry : set.archive) {
        appendText(
            out, std::span(reinterpret_cast<const std::uint8_t*>(entry.name.data()), 2 * entry.name.size()));
        appendText(out, entry.bytes);
    }
    appendU32(out, set.files.size());
    for (const auto& [name, bytes] : set.files) {
        appendText(out, std::span(reinterpret_cast<const std::uint8_t*>(name.data()), name.size()));
        appendText(out, bytes);
    }
    appendText(out, std::span(reinterpret_cast<const std::uint8_t*>(set.recordStorePrefix.data()),
                              set.recordStorePrefix.size()));
    appendText(out, std::span(reinterpret_cast<const std::uint8_t*>(set.recordStoreSuffix.data()),
                              set.recordStoreSuffix.size()));
    return out;
}

class Reader {
public:
    explicit Reader(const datakit::Bytes& bytes)
        : m_bytes(bytes) {}
    std::size_t u32() {
        check(m_at + 4 <= m_bytes.size());
        std::size_t value = 0;
        for (int shift = 0; shift < 32; shift += 8)
            value |= static_cast<std::size_t>(m_bytes[m_at++]) << shift;
        return value;
    }
    datakit::Bytes text() {
        std::size_t length = u32();
        check(m_at + length <= m_bytes.size());
        datakit::Bytes text(m_bytes.begin() + static_cast<std::ptrdiff_t>(m_at),
                            m_bytes.begin() + static_cast<std::ptrdiff_t>(m_at + length));
        m_at += length;
        return text;
    }
    std::string string() {
        datakit::Bytes bytes = text();
        return std::string(bytes.begin(), bytes.end());
    }

private:
    const datakit::Bytes& m_bytes;
    std::size_t m_at = 0;
};

mkdata::ProgramFolder deserialized(const datakit::Bytes& bytes) {
    Reader in(bytes);
    mkdata::ProgramFolder set;
    set.archive.resize(in.u32());
    for (datakit::ArchiveEntry& entry : set.archive) {
        datakit::Bytes name = in.text();
        entry.name.resize(name.size() / 2);
        std::memcpy(entry.name.data(), name.data(), 2 * entry.name.size());
        entry.bytes = in.text();
    }
    set.files.resize(in.u32());
    for (auto& [name, content] : set.files) {
        name = in.string();
        content = in.text();
    }
    set.recordStorePrefix = in.string();
    set.recordStoreSuffix = in.string();
    return set;
}

// The demo set, made once, in a child process that hands it over through a
// pipe: making it allocates hundreds of megabytes more than the set holds
// (pictures, packed entries), and under AddressSanitizer memory this process
// frees stays held (the quarantine) and resident for the whole run.
mkdata::ProgramFolder madeApart() {
    int ends[2];
    check(::pipe(ends) == 0);
    const pid_t child = ::fork();
    check(child >= 0);
    if (child == 0) {
        ::close(ends[0]);
        const datakit::Bytes bytes = serialized(mkdata::makeDemoSet());
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t wrote = ::write(ends[1], bytes.data() + done, bytes.size() - done);
            if (wrote <= 0)
                ::_exit(1);
            done += static_cast<std::size_t>(wrote);
        }
        // No exit handlers: the leak check would read the whole heap again.
        ::_exit(0);
    }
    ::close(ends[1]);
    datakit::Bytes bytes;
    std::uint8_t chunk[1 << 16];
    for (ssize_t got; (got = ::read(ends[0], chunk, sizeof chunk)) != 0;) {
        if (got < 0 && errno == EINTR)
            continue;
        check(got > 0);
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    ::close(ends[0]);
    int status = 0;
    check(::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0);
    return deserialized(bytes);
}

const mkdata::ProgramFolder& demoSet() {
    static const mkdata::ProgramFolder demo = madeApart();
    return demo;
}

// Writes `set` as the only files of `folder`: the record stores of an
// earlier input are gone too, so an input's findings are its own.
void writeSet(const mkdata::ProgramFolder& set, const fuzzing::ScratchFolder& folder) {
    folder.empty();
    for (const auto& [name, bytes] : set.files)
        check(datakit::writeFile((folder.programFolder() / name).string(), bytes).ok());
    check(
        datakit::writeFile((folder.programFolder() / "data.bar").string(), datakit::writeArchive(set.archive))
            .ok());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    (void)demoSet();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 4096)
        return 0;
    static const fuzzing::ScratchFolder scratch;
    mkdata::ProgramFolder folder = demoSet();
    const bool edited = size >= kHeader;
    if (edited) {
        datakit::Bytes& bytes = folder.archive[data[0] % folder.archive.size()].bytes;
        const std::uint32_t position =
            data[1] | data[2] << 8 | data[3] << 16 | static_cast<std::uint32_t>(data[4]) << 24;
        edit(bytes, position % (bytes.size() + 1), static_cast<Edit>(data[5] % kEditCount),
             std::span(data + kHeader, size - kHeader));
    }
    writeSet(folder, scratch);
    const std::vector<datacheck::Finding> findings = datacheck::checkDataSet(scratch.programFolder());
    check(edited || findings.empty());
    for (const datacheck::Finding& finding : findings)
        check(!finding.resource.empty() && !finding.rule.empty());
    return 0;
}
