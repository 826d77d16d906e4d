#pragma once

// `ProgramFolder`: what a program folder holds, in memory: the entries of its
// resource archive "data.bar" and the files that lie beside it. Producers add
// to it; `writeProgramFolder` puts it on disk.

#include "host/Result.h"
#include "tools/datakit/Archive.h"

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace mkdata {

struct ProgramFolder {
    // The entries of "data.bar", in index order.
    std::vector<datakit::ArchiveEntry> archive;
    // Files beside "data.bar", as (name in the folder, bytes).
    std::vector<std::pair<std::string, datakit::Bytes>> files;
    // How the game names its record-store files in the folder (a prefix and
    // a suffix); they are the player's, and a new set takes them over.
    std::string recordStorePrefix;
    std::string recordStoreSuffix;
};

// Whether the folder `out` already holds `folder`: its "data.bar" and every
// file beside it are byte for byte the ones `folder` would write. Anything
// unreadable counts as not held.
bool holdsProgramFolder(const ProgramFolder& folder, const std::filesystem::path& out);

// Writes `folder` as the folder `out`: first into a fresh folder beside it
// ("<out>.tmp-<n>"), which then takes the place of `out`, so a reader never
// sees half a data set and a failed run leaves the old one as it was. An
// existing `out` is replaced whole, but only when it is empty or holds a
// "data.bar" (a program folder), never another folder or a file. The
// record-store files of the old set are copied into the new one before the
// swap: making the set again never loses a player's progress.
host::Result<void> writeProgramFolder(const ProgramFolder& folder, const std::filesystem::path& out);

} // namespace mkdata
