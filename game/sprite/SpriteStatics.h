#pragma once

// The sprite engine's statics: the shared pixel buffers that every decode
// and pixel helper writes (their contents belong to the latest user), the
// transform tables indexed by sprite flags (bit 0 mirror x, bit 1 mirror y,
// bit 2 quarter turn), the shared rectangle of frame measuring, the PNG
// writer's constants and the switches that steer collections around loads.
// Game thread only, after `spriteStaticInit` ran at start-up.

#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

struct SpriteStatics {
    // Made by the first user with the configured size; replaced only by a
    // longer array.
    rt::IntArray* s_pixelBuffer = nullptr;
    rt::IntArray* s_spareBuffer = nullptr;
    // Ten byte arrays of PNG constants (signature, chunk types, header
    // templates, the IEND chunk, the zlib stored-block start).
    rt::ObjectArray* s_pngConstants = nullptr;
    rt::IntArray* s_crcTable = nullptr;
    rt::ByteArray* s_pngBuffer = nullptr;
    rt::Object* s_fadeDescription = nullptr;
    std::int8_t s_moduleFade = 0;
    std::int8_t s_screenScaleFlags[2] = {};
    std::int32_t s_screenScaleValues[2] = {};
    std::int32_t s_textStart = 0;
    std::int32_t s_textEnd = 0;
    std::int32_t s_textLimit = 0;
    std::int32_t s_recordIndex = 0;
    std::int32_t s_recordSet = 0;
    std::int32_t s_paintMode = 0;
    rt::Object* s_transformSlot0 = nullptr;
    rt::IntArray* s_transformToMidp = nullptr;
    rt::IntArray* s_flipXTable = nullptr;
    rt::IntArray* s_flipYTable = nullptr;
    rt::IntArray* s_rotateTable = nullptr;
    rt::IntArray* s_rect = nullptr;
    // A load and a pixel release ask for a collection when set.
    std::int8_t s_gcOnLoad = 0;
    std::int8_t s_paintSuspended = 0;
    // The character table all font sprites share (text code).
    rt::Object* s_sharedCharTable = nullptr;

    RT_REFERENCE_FIELDS(SpriteStatics, rt::NoReferenceBase, s_pixelBuffer, s_spareBuffer, s_pngConstants,
                        s_crcTable, s_pngBuffer, s_fadeDescription, s_transformSlot0, s_transformToMidp,
                        s_flipXTable, s_flipYTable, s_rotateTable, s_rect, s_sharedCharTable)
};

SpriteStatics& spriteStatics();

// The shared pixel buffer with at least `entries` entries (made with the
// configured size, or grown to `entries`). Null when the runtime cannot
// make it.
rt::IntArray* ensurePixelBuffer(std::int32_t entries);
// The buffer a transform of `source` into a width x height block writes
// to: the spare buffer when `source` is the pixel buffer (so that source and
// target never coincide), else the pixel buffer. Either is made with its
// configured size and grown to hold the block; a block of more than
// `ASprite::kMaxModulePixels` pixels is refused with one log line (null).
rt::IntArray* getTransformBuffer(rt::IntArray* source, std::int32_t width, std::int32_t height);
// The same choice for a block that fits the configured sizes.
inline rt::IntArray* getSpareBuffer(rt::IntArray* buffer) {
    return getTransformBuffer(buffer, 0, 0);
}

// A collection, when the sprite engine is set to collect after it loads or
// releases data (s_gcOnLoad).
void collectIfAsked();

} // namespace game
