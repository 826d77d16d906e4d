#pragma once

// Sprites made from entries of the open resource pack (PackReader.h): a new
// sprite as the game makes one, loaded from the entry's bytes, optionally
// tinted and pre-rendered palette by palette, and the sprite table's slots
// filled from the entries of the same number.
//
// A missing or unreadable entry has already been reported by the pack
// reader; the loaders then answer null and a table slot stays empty, so
// that the caller sees the failure instead of an empty sprite that paints
// nothing. Game thread only, one load at a time (the pack's cursor is
// shared).

#include <cstdint>

namespace game {

class ASprite;

// The palette colour that keeps its own alpha through a tint (compared on
// its low 24 bits).
inline constexpr std::int32_t kUntintedColour = 0xF800F8;

// A new sprite loaded from pack entry `entry`, then, for each palette of
// the sprite whose bit is set in `paletteMask`: with `alpha` other than
// 255, every colour takes `alpha` as its top byte, except the untinted
// colour and colour-key entries (alpha 0), which stay transparent; for
// entries 4 and 65, the palette's module images are built. Those two
// entries keep only their images: a mask without bits builds palette 0,
// and the module pixels are dropped afterwards. Only the sprite's own
// palettes are walked, whatever bits the mask has beyond them (a negative
// mask included). The first argument is not used.
ASprite* loadSprite(std::int32_t unused, std::int32_t entry, std::int32_t paletteMask, std::int32_t alpha);
// `loadSprite`(0, entry, paletteMask, alpha); the last two arguments change
// nothing.
ASprite* loadSpriteWithPalettes(std::int32_t entry, std::int32_t paletteMask, std::int32_t alpha,
                                std::int32_t flag, std::int32_t extra);
// A new sprite loaded from pack entry `entry` with no palette work. `flag`
// is passed on to nothing.
ASprite* loadSpritePlain(std::int32_t entry, std::int32_t flag);
// Slot `slot` of the sprite table = `loadSpritePlain`(slot, flag); answers
// it. A slot outside the table is reported and nothing is stored.
ASprite* loadSpriteToTable(std::int32_t slot, std::int32_t flag);
// Frees the images and module data of the sprite in slot `slot` of the
// sprite table when it holds one, and empties the slot; a negative slot
// does nothing.
void unloadSprite(std::int32_t slot);

} // namespace game
