#pragma once

// State 1, the start-up load: on its enter message it makes the shared
// tables that the rest of the game fills and reads (the progress and race
// flag arrays, the sprite table and its neighbours, the caches) and runs
// the loading steps that later subsystems register (Seams.h); on its update
// it names the text pack and moves on to the splash screens (state 2).
//
// The tables live here, below every subsystem that uses them, in
// `StartupStatics`. The tables that no code of this game reads carry
// neutral names by their size.

#include "game/framework/SpriteSlots.h"
#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"
#include "runtime/String.h"

#include <cstdint>

namespace lib {
class StringBuffer;
}

namespace game {

struct StartupStatics {
    // The game's shared text buffer.
    lib::StringBuffer* s_textBuffer = nullptr;
    // Per slot of the sprite table: whether the loader is to load it, and
    // its cache request (bits 0-15 the palettes to cache, 0 meaning
    // palette 0 only; bit 16 build the caches; bit 17 then drop the pixels).
    rt::BoolArray* s_spriteLoadFlags = nullptr;
    rt::IntArray* s_spriteCacheSpecs = nullptr;
    // Flag arrays of the progress and race code: boolean[368], boolean[24].
    rt::BoolArray* s_flags368 = nullptr;
    rt::BoolArray* s_flags24 = nullptr;
    // The name of the texts' character set.
    rt::String* s_textEncoding = nullptr;
    // An object table of 22 entries; the font sprites by font number (slots
    // 0 to 2 in use); the sprites by sprite number; and the object flag table,
    // four bytes per entry (in use, and two values).
    rt::ObjectArray* s_objects22 = nullptr;
    rt::ObjectArray* s_fonts = nullptr;
    rt::ObjectArray* s_sprites = nullptr;
    rt::ObjectArray* s_objectFlags = nullptr;
    // The start-up pack's entries in memory (byte arrays), kept by the packs'
    // loading step and dropped when the game loop ends.
    rt::ObjectArray* s_startupPack = nullptr;
    // Sound on; off until the player says otherwise.
    std::int8_t s_soundOn = 0;
    // Whether the player is asked about sound (`readAppPropertyFlag`).
    std::int8_t s_askSound = 0;
    // The configured width and height, twice each.
    std::int32_t s_viewWidth = 0;
    std::int32_t s_viewHeight = 0;
    std::int32_t s_clipWidth = 0;
    std::int32_t s_clipHeight = 0;
    // An int[10][2] table and its count.
    rt::ObjectArray* s_pairs = nullptr;
    std::int32_t s_pairCount = 0;
    // The zoom caches' counters.
    std::int32_t s_zoomCount = 0;
    std::int32_t s_zoomLastKey = 0;
    std::int32_t s_preZoomCount = 0;
    std::int32_t s_preZoomLastKey = 0;
    rt::ShortArray* s_shorts48 = nullptr;
    // The text pack to load, named on state 1's update.
    rt::String* s_textPackName = nullptr;
    // Whether the splash has loaded the front end's first resources.
    std::int8_t s_startupLoaded = 0;
    // The interface images (entry 5: the promotion badge), made by their
    // first loader.
    rt::ObjectArray* s_interfaceImages = nullptr;

    RT_REFERENCE_FIELDS(StartupStatics, rt::NoReferenceBase, s_textBuffer, s_spriteLoadFlags,
                        s_spriteCacheSpecs, s_flags368, s_flags24, s_textEncoding, s_objects22, s_fonts,
                        s_sprites, s_objectFlags, s_startupPack, s_pairs, s_shorts48, s_textPackName,
                        s_interfaceImages)
};

StartupStatics& startupStatics();

// State 1's handler.
void loadStartupData(std::int32_t message);

// Drops the start-up pack's entries (the end of the game loop).
void dropStartupPack();

} // namespace game
