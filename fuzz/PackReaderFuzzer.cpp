// Takes the input as a pack of two part files in the archive and seeks and
// reads every entry it claims, forward, backward and as typed arrays. The
// first byte splits the rest: the next 4 x byte bytes are part 0 ("p.pak"),
// what follows part 1 ("p.pak.1"); its low bit picks the stream's own skip
// instead of the skip buffer, its next bit turns packing on. Checked: nothing
// is left pending, a seek answers -1 or a length that fits the part file,
// the cursor then stands inside the file, an entry read holds exactly the
// length its seek gave (a packed entry: what it unpacks to, or null), and
// every loop ends.

#include "fuzz/PlatformFiles.h"
#include "game/data/PackReader.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/Streams.h"
#include "runtime/constantStrings.h"
#include "tools/datakit/Archive.h"

#include <algorithm>

namespace {

using fuzzing::check;
using fuzzing::takePending;

// The most entries one input seeks, so that a claimed count of 65,535
// entries cannot make an input slow.
constexpr std::int32_t kMaxEntries = 300;
// The failed seeks after which a loop over the entries stops: a part that
// cannot be read is opened again by every seek into it, and answers each
// the same way.
constexpr std::int32_t kMaxFailedSeeks = 8;

rt::ObjectArray* separatorTable() {
    rt::ObjectArray* table = rt::newObjectArray(rt::constants::kPackPartSeparator + 1);
    for (std::int32_t i = 0; i < table->length(); ++i)
        rt::Array::setRef(table, i, rt::String::newFromCString(""));
    rt::Array::setRef(table, rt::constants::kPackPartSeparator, rt::String::newFromCString("."));
    return table;
}

// Whether the seek found the entry.
bool seekAndRead(std::int32_t entry) {
    std::int32_t length = game::packSeek(entry);
    check(takePending() == 0);
    check(length >= -1);
    if (length >= 0) {
        const game::PackStatics& packs = game::packStatics();
        check(length <= packs.s_packPartSize);
        check(game::streamStatics().s_packPosition <= packs.s_packPartSize);
    }
    rt::ByteArray* bytes = game::packReadEntry(entry);
    check(takePending() == 0);
    // A packed entry answers what it unpacks to, or null when it cannot.
    const bool packed = game::packStatics().s_packEntryPacked != 0;
    check(bytes ? bytes->length() == length || packed : length < 0 || packed);
    return length >= 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1 || size > (1u << 20))
        return 0;
    std::size_t first = std::min<std::size_t>(size - 1, 4u * data[0]);
    datakit::Bytes part0(data + 1, data + 1 + first);
    datakit::Bytes part1(data + 1 + first, data + size);
    fuzzing::putFile("data.bar", datakit::writeArchive({datakit::archiveEntry("p.pak", part0),
                                                        datakit::archiveEntry("p.pak.1", part1)}));
    fuzzing::PlatformFiles platform(&separatorTable);
    game::OrvelLibConfig::staticInit();
    game::config().s_skipBufferSize = data[0] & 1 ? 0 : 256;
    // With packing on, header bytes from 127 send entries through the unpacker.
    game::config().s_packLzma = data[0] & 2 ? 1 : 0;

    game::packOpen(rt::String::newFromCString("/p.pak"));
    check(takePending() == 0);
    std::int32_t entries = std::min(game::packStatics().s_packEntryCount, kMaxEntries);
    std::int32_t failed = 0;
    for (std::int32_t entry = -1; entry <= entries && failed < kMaxFailedSeeks; ++entry)
        failed += seekAndRead(entry) ? 0 : 1;
    failed = 0;
    for (std::int32_t entry = entries; entry >= 0 && failed < kMaxFailedSeeks; entry -= 3)
        failed += seekAndRead(entry) ? 0 : 1;
    for (std::int32_t entry = 0; entry < std::min(entries, 16); ++entry) {
        (void)game::packReadArray(entry);
        check(takePending() == 0);
    }
    game::closeStream();
    return 0;
}
