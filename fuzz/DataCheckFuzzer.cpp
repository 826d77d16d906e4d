// Runs datacheck on the demo set with one file of its archive changed by the
// input. The input: a byte choosing the archive entry (modulo their count),
// a little-endian u32 position in it (modulo its size + 1), a byte choosing
// the edit (modulo 4: overwrite from the position, insert there, cut the
// entry there, or xor from there) and the edit's bytes. An input shorter
// than that leaves the set as mkdata makes it, and then datacheck must find
// nothing. Checked: the check returns, whatever the set holds, and every
// finding names its resource and its rule.

#include "fuzz/DemoSetApart.h"
#include "fuzz/PlatformFiles.h"
#include "tools/datacheck/DataCheck.h"
#include "tools/datakit/Archive.h"
#include "tools/datakit/Files.h"
#include "tools/mkdata/DemoSet.h"

#include <algorithm>
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
    (void)fuzzing::demoSetMadeApart();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 4096)
        return 0;
    static const fuzzing::ScratchFolder scratch;
    mkdata::ProgramFolder folder = fuzzing::demoSetMadeApart();
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
