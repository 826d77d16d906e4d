#include "platform/media/AudioClip.h"

#include "classlib/io/ByteArrayInputStream.h"
#include "classlib/lang/System.h"
#include "platform/media/Manager.h"
#include "platform/media/Player.h"
#include "runtime/Exceptions.h"
#include "runtime/StaticClass.h"

namespace platform {

namespace {

// Constant string `index` followed by `value` in decimal.
rt::String* messageWith(std::int32_t index, std::int32_t value) {
    rt::String* number = rt::String::valueOf(value);
    rt::String* text = rt::getStaticClass().getConstantString(index);
    return text ? text->concat(number) : number;
}

javax_microedition_media_Player* playerView(rt::Object* player) {
    return rt::interfaceOf<javax_microedition_media_Player>(player);
}

} // namespace

com_samsung_util_AudioClip::com_samsung_util_AudioClip(std::int32_t, rt::String*)
    : Object(kClassId) {
}

com_samsung_util_AudioClip::com_samsung_util_AudioClip(std::int32_t type, rt::ByteArray* audioData,
                                                       std::int32_t audioOffset, std::int32_t audioLength)
    : Object(kClassId) {
    if (type != 1 && type != 2 && type != 3) {
        rt::raise(rt::ClassId::java_lang_IllegalArgumentException, messageWith(kBadTypeMessage, type));
        return;
    }
    rt::ByteArray* copy = rt::newByteArray(audioLength);
    lib::java_lang_System::arraycopy(audioData, audioOffset, copy, 0, audioLength);
    auto* stream = rt::make<lib::java_io_ByteArrayInputStream>(copy);
    rt::String* contentType = rt::getStaticClass().getConstantString(kContentTypes);
    m_player = javax_microedition_media_Manager::createPlayer(stream, contentType);
}

void com_samsung_util_AudioClip::play(std::int32_t loop, std::int32_t volume) {
    if (loop < 0 || loop > 255) {
        rt::raise(rt::ClassId::java_lang_IllegalArgumentException, messageWith(kBadLoopMessage, loop));
        return;
    }
    if (volume < 0 || volume > 5) {
        rt::raise(rt::ClassId::java_lang_IllegalArgumentException, messageWith(kBadVolumeMessage, volume));
        return;
    }
    javax_microedition_media_Player* player = playerView(m_player);
    if (!player)
        return;
    if (loop > 1)
        player->setLoopCount(loop);
    player->start();
}

void com_samsung_util_AudioClip::stop() {
    if (javax_microedition_media_Player* player = playerView(m_player))
        player->stop();
}

void com_samsung_util_AudioClip::pause() {
    stop();
}

void com_samsung_util_AudioClip::resume() {
    if (javax_microedition_media_Player* player = playerView(m_player))
        player->start();
}

} // namespace platform
