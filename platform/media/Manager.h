#pragma once

// `javax_microedition_media_Manager`: turns a sound held in a stream into a
// player. The type, when given, decides the player (compared whole, ignoring
// ASCII case): "audio/x-wav" a `SoundPlayerWAVE`, "audio/ogg" a
// `SoundPlayerOGG`, "audio/midi" and "audio/amr" a `SoundPlayerDSHOW` with its
// graph built; without a type the first bytes decide ("RIFF", "OggS",
// "MThd"). Anything else, and an empty stream, gives the silent
// `SoundPlayerNULL`, so a non-null stream always gets a player.
//
// A player is answered as the object; its operations are reached through its
// Player view (`rt::interfaceOf<javax_microedition_media_Player>`).

#include "runtime/Array.h"
#include "runtime/String.h"

namespace lib {
class java_io_InputStream;
}

namespace platform {

class javax_microedition_media_Manager {
public:
    // Reads what the stream says is available (one read after another until
    // it is all there or the stream ends), and makes the player for it; the
    // player keeps its own copy of the bytes. Null for a null stream, and
    // when the stream leaves an exception pending (which stays pending).
    static rt::Object* createPlayer(lib::java_io_InputStream* stream, rt::String* type);
    // "audio/x-wav", "audio/ogg", "audio/midi", whatever the protocol.
    static rt::ObjectArray* getSupportedContentTypes(rt::String* protocol);
    // "file", whatever the content type.
    static rt::ObjectArray* getSupportedProtocols(rt::String* contentType);
};

} // namespace platform
