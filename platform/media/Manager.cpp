#include "platform/media/Manager.h"

#include "classlib/io/InputStream.h"
#include "platform/media/SoundPlayerDSHOW.h"
#include "platform/media/SoundPlayerNULL.h"
#include "platform/media/SoundPlayerOGG.h"
#include "platform/media/SoundPlayerWAVE.h"
#include "runtime/Exceptions.h"

#include <cstring>
#include <vector>

namespace platform {

namespace {

enum class Kind { Wave, Ogg, Midi, Amr, Silent };

Kind kindOf(rt::String* type, const std::vector<std::uint8_t>& bytes) {
    if (type) {
        if (type->equalsIgnoreCaseCString("audio/x-wav"))
            return Kind::Wave;
        if (type->equalsIgnoreCaseCString("audio/ogg"))
            return Kind::Ogg;
        if (type->equalsIgnoreCaseCString("audio/midi"))
            return Kind::Midi;
        if (type->equalsIgnoreCaseCString("audio/amr"))
            return Kind::Amr;
        return Kind::Silent;
    }
    auto startsWith = [&](const char* magic) {
        return bytes.size() >= 4 && std::memcmp(bytes.data(), magic, 4) == 0;
    };
    if (startsWith("RIFF"))
        return Kind::Wave;
    if (startsWith("OggS"))
        return Kind::Ogg;
    if (startsWith("MThd"))
        return Kind::Midi;
    return Kind::Silent;
}

rt::Object* directShowPlayer(const std::vector<std::uint8_t>& bytes, const char* type) {
    SoundPlayerDSHOW* player = rt::make<SoundPlayerDSHOW>(bytes, type);
    // A player whose graph cannot be built is returned all the same.
    player->buildGraph();
    return player;
}

rt::ObjectArray* stringArray(std::initializer_list<const char*> texts) {
    rt::ObjectArray* array = rt::newObjectArray(static_cast<std::int32_t>(texts.size()));
    std::int32_t index = 0;
    for (const char* text : texts) {
        rt::String* string = rt::String::newFromCString(text);
        rt::Array::setRef(array, index++, string);
    }
    return array;
}

} // namespace

rt::Object* javax_microedition_media_Manager::createPlayer(lib::java_io_InputStream* stream,
                                                           rt::String* type) {
    if (!stream)
        return nullptr;
    std::int32_t announced = stream->available();
    if (rt::exceptionPending())
        return nullptr;
    if (announced <= 0)
        return rt::make<SoundPlayerNULL>();

    rt::ByteArray* buffer = rt::newByteArray(announced);
    std::int32_t got = 0;
    while (got < announced) {
        std::int32_t read = stream->read(buffer, got, announced - got);
        if (rt::exceptionPending())
            return nullptr;
        if (read <= 0)
            break;
        got += read;
    }
    auto* first = reinterpret_cast<const std::uint8_t*>(buffer->elements());
    std::vector<std::uint8_t> bytes(first, first + got);

    switch (kindOf(type, bytes)) {
    case Kind::Wave:
        return rt::make<SoundPlayerWAVE>(bytes);
    case Kind::Ogg:
        return rt::make<SoundPlayerOGG>(bytes);
    case Kind::Midi:
        return directShowPlayer(bytes, "audio/midi");
    case Kind::Amr:
        return directShowPlayer(bytes, "audio/amr");
    case Kind::Silent:
        break;
    }
    return rt::make<SoundPlayerNULL>();
}

rt::ObjectArray* javax_microedition_media_Manager::getSupportedContentTypes(rt::String*) {
    return stringArray({"audio/x-wav", "audio/ogg", "audio/midi"});
}

rt::ObjectArray* javax_microedition_media_Manager::getSupportedProtocols(rt::String*) {
    return stringArray({"file"});
}

} // namespace platform
