// Makes a player through the media manager from the input's bytes (after a
// first byte that picks the content type: none, so that the bytes decide,
// "audio/x-wav" or "audio/ogg") and realizes it, which walks a WAVE sound's
// chunks or decodes an Ogg Vorbis stream whole. No audio device is set up,
// so realize stops once the PCM is read. Checks that nothing reads outside
// the bytes (the sanitizers watch), that a WAVE or Ogg player stays
// UNREALIZED, and
// that its duration is never negative.

#include "classlib/io/ByteArrayInputStream.h"
#include "fuzz/Harness.h"
#include "host/Log.h"
#include "platform/media/Manager.h"
#include "platform/media/Player.h"
#include "platform/media/SoundPlayerWAVE.h"
#include "runtime/Runtime.h"

#include <cstdint>
#include <cstdlib>

namespace {

struct Quiet final : host::LogSink {
    void write(host::LogCategory, std::string_view) override {}
};

using fuzzing::check;

const char* const kTypes[] = {nullptr, "audio/x-wav", "audio/ogg"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    static rt::Runtime* s_runtime = new rt::Runtime(rt::RuntimeOptions{8 << 20, 16 << 20});
    Quiet quiet;
    host::LogSink* previous = host::setLogSink(&quiet);
    {
        auto length = static_cast<std::int32_t>(size - 1);
        rt::ByteArray* bytes = rt::newByteArray(length);
        std::copy(data + 1, data + size, reinterpret_cast<std::uint8_t*>(bytes->elements()));
        auto* stream = rt::make<lib::java_io_ByteArrayInputStream>(bytes);
        const char* type = kTypes[data[0] % std::size(kTypes)];
        rt::Object* player = platform::javax_microedition_media_Manager::createPlayer(
            stream, type ? rt::String::newFromCString(type) : nullptr);
        check(player != nullptr);
        auto* view = rt::interfaceOf<platform::javax_microedition_media_Player>(player);
        view->realize();
        // WAVE and Ogg players find no device.
        if (dynamic_cast<platform::SoundPlayerWAVE*>(player))
            check(view->getState() == 100);
        check(view->getDuration() >= -1);
        view->close();
    }
    // Every object of this input goes; nothing else lives in this runtime.
    s_runtime->objectManager().gc(rt::ObjectManager::kNoRoots);
    host::setLogSink(previous);
    return 0;
}
