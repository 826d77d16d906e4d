#pragma once

// Sound data from packs: the content-type table of the channel layer (a
// resource of its own: a count byte, then per item a length byte and the
// bytes of a content-type name), the start-up step that reads it and sets
// the channels up, and the loading of the game's 24 sounds from the sound
// pack in seven batches into `SoundEngine`.
//
// Batch g holds entries 3g to 3g + 2, batch 6 entries 18 to 23; entries 0
// to 4 are sounds of type 0 (music), the rest of type 1 (effects).
//
// Game thread only.

#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"
#include "runtime/String.h"

#include <cstdint>
#include <string>

namespace game {

class SoundEngine;

inline constexpr std::int32_t kSoundCount = 24;
inline constexpr std::int32_t kSoundBatches = 7;
inline constexpr std::int32_t kFirstEffectSound = 5;

struct SoundDataStatics {
    // The content-type names (byte[] each), read once.
    rt::ObjectArray* s_soundContentTypes = nullptr;
    SoundEngine* s_soundEngine = nullptr;
    // 1 once all 24 sounds are in the engine.
    std::int8_t s_allSoundsLoaded = 0;
    // When the last vibration's guard ends, in the frame clock's ms.
    std::int64_t s_vibrationGuard = 0;

    RT_REFERENCE_FIELDS(SoundDataStatics, rt::NoReferenceBase, s_soundContentTypes, s_soundEngine)
};

SoundDataStatics& soundDataStatics();

// Reads the content-type table of the resource `name` once, leaving the
// pack reader's stream and position as they were. A table cut short keeps
// the items read before the cut (one log line). Answers what is wrong (no
// such resource, empty, cut), empty when the table read whole; the start-up
// step (`loadStartupPack`) ends the run as broken data when it is not.
std::string loadContentTypes(rt::String* name);
// The name of content type `index`; the default message (constant 14) for
// an index outside the table or an item not read.
rt::String* getContentType(std::int32_t index);
// The start-up step: the content types, the channel set-up with 24 sounds,
// master volume 100. A `java_lang_Exception` ends the step quietly.
void loadStartupPack();
// Loads batch `batch` of the sound pack into the engine (made on first use).
void loadSounds(std::int32_t batch);
// Loads entry `entry` of the pack `packName` into the channel layer.
void packLoadSound(rt::String* packName, std::int32_t entry, bool createNow);

} // namespace game
