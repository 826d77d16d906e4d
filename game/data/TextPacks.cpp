#include "game/data/TextPacks.h"

#include "classlib/io/ByteArrayInputStream.h"
#include "game/data/PackReader.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/StartupLoad.h"
#include "game/framework/Streams.h"
#include "game/framework/Texts.h"
#include "game/framework/Touch.h"
#include "host/Log.h"

#include <string>

namespace game {

namespace {

// The entry's table from the stream standing at its payload, or from the
// unpacked bytes of a packed entry.
bool readEntry(std::int32_t entry, std::int32_t length) {
    if (!packStatics().s_packEntryPacked)
        return readTextPackEntry(streamStatics().s_packStream, entry, length);
    rt::ByteArray* bytes = packReadEntry(entry);
    if (!bytes)
        return false;
    return readTextPackEntry(rt::make<lib::java_io_ByteArrayInputStream>(bytes), entry, bytes->length());
}

} // namespace

bool loadTextPack(rt::String* packName, std::int32_t entry) {
    if (config().s_multiTextPacks)
        unloadTextPack(entry);
    else
        unloadAllTexts();
    packOpen(packName);
    const std::int32_t length = packSeek(entry);
    const bool loaded = length >= 0 && readEntry(entry, length);
    closeStream();
    const std::string name = packName ? packName->toUtf8() : std::string("(none)");
    if (loaded)
        host::logf(host::LogCategory::Game, "text pack %s: entry %d loaded", name.c_str(), entry);
    else
        host::logf(host::LogCategory::Game, "text pack %s: entry %d not loaded", name.c_str(), entry);
    return loaded;
}

bool loadFrontEndTexts() {
    const bool loaded = loadTextPack(startupStatics().s_textPackName, kFrontEndTextEntry);
    buildSoftKeyLabels();
    return loaded;
}

} // namespace game
