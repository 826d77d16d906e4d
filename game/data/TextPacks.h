#pragma once

// Text packs: loading one text table from an entry of a resource pack into
// the framework's text statics (Texts.h), and the front end's first texts.
//
// The game keeps one table at a time (the single-pack mode): a load drops
// every loaded text first, whatever then comes of the read, so a failed load
// leaves no text rather than a stale one. The table is read and checked
// whole by `readTextPackEntry` before it is installed.
//
// Game thread only (the pack cursor is one shared state).

#include "runtime/String.h"

#include <cstdint>

namespace game {

// The entries of the text pack: the front end's first texts, the loading
// screen's, the menus' (the events' titles and tips among them) and the
// race's.
inline constexpr std::int32_t kFrontEndTextEntry = 0;
inline constexpr std::int32_t kLoadingTextEntry = 1;
inline constexpr std::int32_t kMenuTextEntry = 2;
inline constexpr std::int32_t kRaceTextEntry = 3;

// Loads the text table stored in `entry` of the pack `packName`: unloads the
// slot `entry` (multi-pack mode) or every text (single-pack mode), opens the
// pack, seeks the entry, reads it (through the unpacker when it is packed),
// closes the stream and caches the texts when the configuration asks for it.
// Answers whether a table was installed; a missing pack or entry and a
// broken table each leave one log line.
bool loadTextPack(rt::String* packName, std::int32_t entry);

// The texts the front end needs first: entry `kFrontEndTextEntry` of the
// text pack that state 1 named (StartupStatics::s_textPackName), then the
// soft-key labels built from them. Answers whether the table was installed; the labels are built
// either way (null labels without texts).
bool loadFrontEndTexts();

} // namespace game
