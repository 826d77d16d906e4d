// The sounds and their content types.

#include "game/data/PackReader.h"
#include "game/data/SoundData.h"
#include "game/framework/Streams.h"
#include "runtime/StaticClass.h"
#include "runtime/constantStrings.h"
#include "tools/datacheck/Rules.h"

#include <string_view>

namespace datacheck {

namespace {

// The content types the players take, and how the bytes of each begin
// (`at` bytes in).
struct KnownType {
    std::string_view name;
    std::string_view signature;
    std::int32_t at;
};
constexpr KnownType kKnownTypes[] = {
    {"audio/x-wav", "WAVE", 8},
    {"audio/midi", "MThd", 0},
    {"audio/amr", "#!AMR", 0},
};

std::string bytesText(const rt::ByteArray* bytes) {
    return bytes ? std::string(reinterpret_cast<const char*>(bytes->elements()),
                               static_cast<std::size_t>(bytes->length()))
                 : std::string();
}

} // namespace

void checkSounds(Findings& findings) {
    const rt::ObjectArray* types = game::soundDataStatics().s_soundContentTypes;
    std::int32_t typeCount = types ? types->length() : 0;
    if (typeCount == 0) {
        addFinding(findings, "sound content types", "content-types", "no content type is there");
        return;
    }
    game::closeStream();
    game::packStatics().s_packName = nullptr;
    game::packOpen(rt::getStaticClass().getConstantString(rt::constants::kSoundPack));
    for (std::int32_t sound = 0; sound < game::kSoundCount; ++sound) {
        std::string resource = "sound " + std::to_string(sound);
        rt::ByteArray* bytes = game::packReadEntry(sound);
        std::int32_t type = game::packStatics().s_packEntryHeader;
        if (!bytes || bytes->length() == 0) {
            addFinding(findings, resource, "sound", "the entry is empty");
            continue;
        }
        if (type < 0 || type >= typeCount) {
            addFinding(findings, resource, "content-type",
                       "content type " + std::to_string(type) + " of " + std::to_string(typeCount));
            continue;
        }
        std::string typeName =
            bytesText(static_cast<const rt::ByteArray*>(rt::ObjectArray::get(types, type)));
        const KnownType* known = nullptr;
        for (const KnownType& candidate : kKnownTypes)
            if (candidate.name == typeName)
                known = &candidate;
        if (!known) {
            addFinding(findings, resource, "content-type", "no player takes \"" + typeName + "\"");
            continue;
        }
        std::string content = bytesText(bytes);
        if (content.compare(static_cast<std::size_t>(known->at), known->signature.size(), known->signature) !=
            0)
            addFinding(findings, resource, "content-type", "its bytes are not " + typeName);
    }
    game::closeStream();
}

} // namespace datacheck
