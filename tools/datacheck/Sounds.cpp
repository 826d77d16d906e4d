// The sounds and their content types.

#include "classlib/io/ByteArrayInputStream.h"
#include "game/data/PackReader.h"
#include "game/data/SoundData.h"
#include "game/framework/Streams.h"
#include "platform/media/Manager.h"
#include "platform/media/Player.h"
#include "runtime/Exceptions.h"
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

const KnownType* knownType(std::string_view name) {
    for (const KnownType& candidate : kKnownTypes)
        if (candidate.name == name)
            return &candidate;
    return nullptr;
}

// The game's sound engine makes every player from a sound's bytes with the
// one content type of constant string 6, whatever the entry's header says
// (the channel layer, which reads the header, is switched off). A player
// that cannot realize stays silent, and nothing is logged: the sound must
// realize under that type and last a while.
void checkEnginePlayer(Findings& findings, const std::string& resource, rt::ByteArray* bytes,
                       rt::String* engineType) {
    auto* stream = rt::make<lib::java_io_ByteArrayInputStream>(bytes);
    rt::Object* player = platform::javax_microedition_media_Manager::createPlayer(stream, engineType);
    auto* view = rt::interfaceOf<platform::javax_microedition_media_Player>(player);
    std::int32_t state = platform::kPlayerClosed;
    std::int64_t duration = 0;
    if (view && !rt::exceptionPending()) {
        view->realize();
        if (!rt::exceptionPending()) {
            state = view->getState();
            duration = view->getDuration();
        }
    }
    (void)rt::catchException(rt::ClassId::java_lang_Exception);
    if (state != platform::kPlayerRealized || duration <= 0)
        addFinding(findings, resource, "engine-content-type",
                   "the sound engine's player (\"" + printable(engineType) + "\") cannot play it");
    if (view) {
        view->close();
        (void)rt::catchException(rt::ClassId::java_lang_Exception);
    }
}

} // namespace

void checkSounds(Findings& findings) {
    rt::String* engineType = rt::getStaticClass().getConstantString(rt::constants::kSoundContentType);
    if (!engineType || !knownType(printable(engineType))) {
        addFinding(findings, "constant string " + std::to_string(rt::constants::kSoundContentType),
                   "engine-content-type", "the sound engine's content type is one no player takes");
        return;
    }
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
        checkEnginePlayer(findings, resource, bytes, engineType);
        const KnownType* known = knownType(typeName);
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
