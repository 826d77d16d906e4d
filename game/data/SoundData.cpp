#include "game/data/SoundData.h"

#include "classlib/io/InputStream.h"
#include "game/data/PackReader.h"
#include "game/data/PackSource.h"
#include "game/data/SoundChannels.h"
#include "game/framework/MissingData.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/SoundEngine.h"
#include "game/framework/Streams.h"
#include "host/Log.h"
#include "runtime/Exceptions.h"
#include "runtime/StaticClass.h"
#include "runtime/constantStrings.h"

#include <string>

namespace game {

namespace {

rt::String* constantString(std::int32_t number) {
    return rt::getStaticClass().getConstantString(number);
}

// Reads the table from the current stream into a new Object[count]; stops
// at the end of the stream, saying so in `problem`.
rt::ObjectArray* readContentTypes(std::string& problem) {
    std::int32_t count = readByte();
    if (count < 0) {
        problem = "the resource is empty";
        host::logf(host::LogCategory::Game, "sound content types: the resource is empty");
        return rt::newObjectArray(0);
    }
    rt::ObjectArray* items = rt::newObjectArray(count);
    for (std::int32_t i = 0; i < count; ++i) {
        std::int32_t length = readByte();
        if (length < 0) {
            problem =
                "the resource ends after " + std::to_string(i) + " of " + std::to_string(count) + " items";
            host::logf(host::LogCategory::Game, "sound content types: %s", problem.c_str());
            break;
        }
        rt::ByteArray* bytes = rt::newByteArray(length);
        readFully(bytes, 0, length);
        rt::ObjectArray::set(items, i, bytes);
        if (rt::exceptionPending())
            break;
    }
    return items;
}

} // namespace

SoundDataStatics& soundDataStatics() {
    return rt::getStaticClass().statics<SoundDataStatics>();
}

std::string loadContentTypes(rt::String* name) {
    SoundDataStatics& statics = soundDataStatics();
    if (statics.s_soundContentTypes)
        return {};
    std::string problem;
    StreamStatics& streams = streamStatics();
    lib::java_io_InputStream* packStream = streams.s_packStream;
    std::int32_t packPosition = streams.s_packPosition;
    lib::java_io_InputStream* stream = packOpenFile(name);
    streams.s_packStream = stream;
    if (stream) {
        statics.s_soundContentTypes = readContentTypes(problem);
        if (!rt::exceptionPending()) {
            stream->close();
            (void)rt::catchException(rt::ClassId::java_lang_Exception);
        }
    } else {
        problem = "no such resource";
        host::logf(host::LogCategory::Game, "sound content types: no such resource");
    }
    streams.s_packStream = packStream;
    streams.s_packPosition = packPosition;
    return problem;
}

rt::String* getContentType(std::int32_t index) {
    rt::ObjectArray* types = soundDataStatics().s_soundContentTypes;
    rt::Object* item =
        types && index >= 0 && index < types->length() ? rt::ObjectArray::get(types, index) : nullptr;
    if (!item)
        return constantString(rt::constants::kDefaultMessage);
    return rt::make<rt::String>(static_cast<rt::ByteArray*>(item),
                                constantString(rt::constants::kTextEncoding));
}

void loadStartupPack() {
    rt::String* name = constantString(rt::constants::kSoundContentTypesResource);
    if (std::string problem = loadContentTypes(name); !problem.empty()) {
        endRunWithBrokenData(name ? name->toUtf8() : std::string("(no resource)"), problem);
        return;
    }
    if (!rt::exceptionPending())
        initSoundChannels(kSoundCount);
    if (!rt::exceptionPending())
        setChannelMasterVolume(100);
    if (!rt::exceptionPending()) {
        rt::ObjectArray* types = soundDataStatics().s_soundContentTypes;
        host::logf(host::LogCategory::Game, "sound: %d content types, %d channels for %d sounds",
                   types ? types->length() : 0, soundChannelStatics().s_channelCount, kSoundCount);
    }
    (void)rt::catchException(rt::ClassId::java_lang_Exception);
}

void loadSounds(std::int32_t batch) {
    SoundDataStatics& statics = soundDataStatics();
    if (config().s_soundsToChannels) {
        packLoadSound(constantString(rt::constants::kSoundPack), batch, true);
        return;
    }
    SoundEngineStatics& engineStatics = soundEngineStatics();
    if (!statics.s_soundEngine) {
        auto* engine = rt::make<SoundEngine>();
        statics.s_soundEngine = engine;
        engine->init(kSoundCount, false);
    }
    if (!engineStatics.s_soundData)
        engineStatics.s_soundData = rt::newObjectArray(kSoundCount);
    if (!engineStatics.s_players)
        engineStatics.s_players = rt::newObjectArray(kSoundCount);
    if (statics.s_allSoundsLoaded)
        return;
    std::int32_t first = 3 * batch;
    std::int32_t last = batch == kSoundBatches - 1 ? kSoundCount - 1 : first + 2;
    packOpen(constantString(rt::constants::kSoundPack));
    host::logf(host::LogCategory::Game, "sounds %d to %d", first, last);
    for (std::int32_t entry = first; entry <= last; ++entry) {
        rt::ByteArray* bytes = packReadEntry(entry);
        statics.s_soundEngine->setSound(entry, bytes, entry < kFirstEffectSound ? 0 : 1, true);
        if (rt::exceptionPending())
            return;
    }
    closeStream();
    if (last + 1 == kSoundCount) {
        statics.s_allSoundsLoaded = 1;
        host::logf(host::LogCategory::Game, "all sounds loaded");
    }
}

void packLoadSound(rt::String* packName, std::int32_t entry, bool createNow) {
    const SoundChannelStatics& channels = soundChannelStatics();
    if (!config().s_channelSound || !channels.s_soundReady || entry < 0)
        return;
    packOpen(packName);
    rt::ByteArray* bytes = packReadEntry(entry);
    loadSound(bytes, packStatics().s_packEntryHeader, entry, createNow);
}

} // namespace game
