#include "game/framework/SoundEngine.h"

#include "classlib/io/ByteArrayInputStream.h"
#include "classlib/lang/StringBuffer.h"
#include "game/framework/OrvelLibConfig.h"
#include "host/Log.h"
#include "platform/media/Manager.h"
#include "platform/media/Player.h"
#include "runtime/Exceptions.h"
#include "runtime/Monitor.h"
#include "runtime/StaticClass.h"
#include "runtime/Thread.h"
#include "runtime/constantStrings.h"

#include <array>

namespace game {

using platform::javax_microedition_media_Player;

SoundEngineStatics& soundEngineStatics() {
    return rt::getStaticClass().statics<SoundEngineStatics>();
}

void SoundEngine::init(std::int32_t count, bool startThread) {
    m_thread = nullptr;
    m_requestCount = 0;
    m_currentSound = -1;
    m_soundCount = count;
    SoundEngineStatics& statics = soundEngineStatics();
    std::int32_t period = config().s_playerThreadPeriod;
    statics.s_sleepPeriod = period > 0 ? 1000 / period : 1000;
    statics.s_soundTypes = rt::newByteArray(count);
    const std::array<std::int32_t, 2> lengths = {kMaxSoundRequests, 4};
    m_requests = static_cast<rt::ObjectArray*>(rt::newMultiArray("[[I", lengths));
    if (!startThread)
        return;
    auto* thread = rt::make<rt::java_lang_Thread>(this);
    thread->setPriority(rt::java_lang_Thread::currentThread()->getPriority());
    m_thread = thread;
    thread->start();
}

void SoundEngine::setSound(std::int32_t index, rt::ByteArray* data, std::int32_t type, bool createNow) {
    if (!data || (type != 0 && type != 1)) {
        rt::raise(rt::ClassId::java_lang_IllegalArgumentException);
        return;
    }
    SoundEngineStatics& statics = soundEngineStatics();
    rt::ObjectArray::set(statics.s_soundData, index, data);
    rt::ByteArray::set(statics.s_soundTypes, index, static_cast<std::int8_t>(type));
    if (createNow)
        loadPlayer(index);
}

void SoundEngine::loadPlayer(std::int32_t index) {
    SoundEngineStatics& statics = soundEngineStatics();
    auto* data = static_cast<rt::ByteArray*>(rt::ObjectArray::get(statics.s_soundData, index));
    if (!data)
        return;
    auto* stream = rt::make<lib::java_io_ByteArrayInputStream>(data);
    rt::Object* player = platform::javax_microedition_media_Manager::createPlayer(
        stream, rt::getStaticClass().getConstantString(rt::constants::kSoundContentType));
    rt::ObjectArray::set(statics.s_players, index, player);
    if (auto* view = rt::interfaceOf<javax_microedition_media_Player>(player)) {
        view->realize();
        if (!rt::exceptionPending())
            view->prefetch();
    }
    if (!rt::exceptionPending())
        stream->close();
}

void SoundEngine::queueRequest(std::int32_t id, bool, bool flag) {
    rt::MonitorScope lock(this);
    if (m_requestCount >= kMaxSoundRequests)
        return;
    auto* request = static_cast<rt::IntArray*>(rt::ObjectArray::get(m_requests, m_requestCount));
    rt::IntArray::set(request, 0, kPlayRequest);
    rt::IntArray::set(request, 1, id);
    rt::IntArray::set(request, 2, 1);
    rt::IntArray::set(request, 3, flag ? 1 : 0);
    m_requestCount += 1;
}

void SoundEngine::processQueue() {
    rt::MonitorScope lock(this);
    for (std::int32_t i = 0; i < m_requestCount && i < kMaxSoundRequests; ++i) {
        auto* request = static_cast<rt::IntArray*>(rt::ObjectArray::get(m_requests, i));
        std::int32_t kind = rt::IntArray::get(request, 0);
        if (kind == kPlayRequest) {
            startPlayer(rt::IntArray::get(request, 1), rt::IntArray::get(request, 2));
        } else if (kind == kStopAllRequest) {
            for (std::int32_t index = 0; index < m_soundCount; ++index)
                stopPlayer(index);
        }
        if (rt::exceptionPending())
            break;
    }
    m_requestCount = 0;
}

javax_microedition_media_Player* SoundEngine::playerOf(std::int32_t index) const {
    rt::ObjectArray* players = soundEngineStatics().s_players;
    if (!players || index < 0 || index >= players->length())
        return nullptr;
    return rt::interfaceOf<javax_microedition_media_Player>(rt::ObjectArray::get(players, index));
}

void SoundEngine::startPlayer(std::int32_t index, std::int32_t) {
    if (index < 0 || index >= m_soundCount)
        return;
    javax_microedition_media_Player* player = playerOf(index);
    if (!player)
        return;
    if (index < kMusicIdLimit && index != m_currentSound) {
        stopPlayer(index);
        if (rt::exceptionPending())
            return;
    } else if (player->getState() == platform::kPlayerStarted || rt::exceptionPending()) {
        return;
    }
    player->start();
    m_currentSound = index;
}

void SoundEngine::stopPlayer(std::int32_t index) {
    if (index < 0 || index >= m_soundCount)
        return;
    if (javax_microedition_media_Player* player = playerOf(index)) {
        if (player->getState() == platform::kPlayerStarted && !rt::exceptionPending())
            player->stop();
    }
    m_currentSound = -1;
}

void SoundEngine::stopAll() {
    rt::MonitorScope lock(this);
    for (std::int32_t index = 0; index < m_soundCount; ++index) {
        stopPlayer(index);
        if (rt::exceptionPending())
            return;
    }
    host::logf(host::LogCategory::Game, "sound engine: all %d sounds stopped", m_soundCount);
}

bool SoundEngine::isAnyPlaying() {
    for (std::int32_t index = 0; index < m_soundCount; ++index) {
        javax_microedition_media_Player* player = playerOf(index);
        if (player && player->getState() == platform::kPlayerStarted)
            return true;
    }
    return false;
}

void SoundEngine::processQueueUnthreaded() {
    if (!m_thread)
        processQueue();
}

void SoundEngine::run() {
    if (rt::java_lang_Thread::currentThread() != m_thread)
        return;
    SoundEngineStatics& statics = soundEngineStatics();
    for (;;) {
        processQueue();
        rt::java_lang_Thread::sleep(statics.s_sleepPeriod);
        if (rt::Object* caught = rt::catchException(rt::ClassId::java_lang_Exception)) {
            auto* text = rt::make<lib::StringBuffer>(16);
            text->append(rt::getStaticClass().getConstantString(rt::constants::kSoundThreadFailed));
            text->append(caught);
            statics.s_lastError = text->toString();
            return;
        }
        if (rt::exceptionPending() || rt::java_lang_Thread::currentThread() != m_thread)
            return;
    }
}

void* SoundEngine::getInterface(rt::ClassId interfaceId) {
    return interfaceId == rt::ClassId::java_lang_Runnable ? static_cast<rt::java_lang_Runnable*>(this)
                                                          : Object::getInterface(interfaceId);
}

} // namespace game
