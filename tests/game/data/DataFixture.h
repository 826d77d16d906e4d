#pragma once

// What the data tests share: the platform over a program folder of the
// test's own, the game's configuration at its defaults, the constant strings
// that name packs and join part numbers, and helpers that put datakit's
// packs into the folder's archive.

#include "game/data/PackReader.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/Streams.h"
#include "tests/platform/io/IoFixture.h"
#include "tools/datakit/Archive.h"
#include "tools/datakit/PackWriter.h"

#include <string>
#include <vector>

namespace data_testing {

using testing_support::byteArray;
using testing_support::bytesOf;

struct DataTest : io_testing::IoTest {
    DataTest() {
        testing_support::installConstantStrings(
            {{rt::constants::kDefaultMessage, ""}, {rt::constants::kPackPartSeparator, "."}});
        game::OrvelLibConfig::staticInit();
    }

    // Writes "data.bar" holding `files`.
    void putArchive(const std::vector<datakit::ArchiveEntry>& files) {
        put("data.bar", datakit::writeArchive(files));
    }
    // Writes "data.bar" holding the part files `parts` of the pack `name` ("x.pak", "x.pak.1", ...).
    void putPack(const std::string& name, const std::vector<datakit::Bytes>& parts) {
        putArchive(datakit::packArchiveEntries(datakit::widen(name), u".", parts));
    }
    static void open(const char* name) { game::packOpen(text(name)); }
};

} // namespace data_testing
