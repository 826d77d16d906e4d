#include "game/sprite/OrvelLibPlayer.h"

#include "game/data/SoundThread.h"
#include "game/framework/LoopStatics.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/Paint.h"
#include "runtime/checks.h"
#include "runtime/javamath.h"

namespace game {

void OrvelLibPlayer::run() {
    runSoundThread();
}

void* OrvelLibPlayer::getInterface(rt::ClassId interfaceId) {
    if (interfaceId == rt::java_lang_Runnable::kInterfaceId)
        return static_cast<rt::java_lang_Runnable*>(this);
    return nullptr;
}

void OrvelLibPlayer::initFields() {
    m_x = m_y = m_flags = 0;
    m_sprite = nullptr;
    m_anim = -1;
    m_aframe = 0;
    m_time = 0;
    m_loops = 1;
    m_stopped = 1;
}

void OrvelLibPlayer::initWithSprite(ASprite* sprite, std::int32_t x, std::int32_t y) {
    initFields();
    m_loops = -2;
    m_x = x;
    m_y = y;
    m_sprite = sprite;
    m_anim = -1;
    m_stopped = 0;
}

std::int32_t OrvelLibPlayer::getFrameDuration() const {
    if (m_anim < 0)
        return 0;
    if (!m_sprite) {
        rt::reportNullPointer();
        return 0;
    }
    return rt::imul(m_sprite->getAFrameTime(m_anim, m_aframe), paintStatics().s_aframeTimeUnit);
}

std::int32_t OrvelLibPlayer::getAFrameCount() const {
    if (m_anim < 0)
        return -1;
    if (!m_sprite) {
        rt::reportNullPointer();
        return -1;
    }
    return m_sprite->getAFrameCount(m_anim);
}

void OrvelLibPlayer::update(std::int32_t dt) {
    if (m_stopped || m_anim < 0)
        return;
    std::int32_t duration = getFrameDuration();
    if (duration == 0)
        return;
    // A negative duration cannot come from the data (times are unsigned
    // bytes); it would make the loop below run away, so it holds as 0 does.
    while (duration > 0 && m_time >= duration) {
        m_time -= duration;
        if (m_aframe < getAFrameCount() - 1) {
            ++m_aframe;
        } else {
            if (m_loops == 0) {
                m_stopped = 1;
                break;
            }
            if (m_loops > 0)
                --m_loops;
            m_aframe = 0;
        }
        duration = getFrameDuration();
    }
    m_time = rt::iadd(m_time, dt);
}

void OrvelLibPlayer::render() {
    if (m_anim < 0 || m_stopped)
        return;
    paintAFrame(m_sprite, loopStatics().s_graphics, m_anim, m_aframe, m_x, m_y, m_flags, 0, 0);
}

bool OrvelLibPlayer::isOver() const {
    if (m_anim < 0)
        return true;
    if (m_loops < 0)
        return false;
    return m_stopped != 0;
}

} // namespace game
