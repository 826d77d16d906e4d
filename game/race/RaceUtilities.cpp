#include "game/race/RaceUtilities.h"

#include "classlib/lang/StringBuffer.h"
#include "game/data/SoundChannels.h"
#include "game/data/SoundData.h"
#include "game/data/SoundRequests.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/Seams.h"
#include "game/framework/SoundEngine.h"
#include "game/framework/StartupLoad.h"
#include "game/race/RaceKernel.h"
#include "game/race/RaceState.h"
#include "game/race/TrackData.h"
#include "platform/lcdui/Graphics.h"
#include "runtime/Monitor.h"
#include "runtime/StaticClass.h"

namespace game {

RaceUtilityStatics& raceUtilityStatics() {
    return rt::getStaticClass().statics<RaceUtilityStatics>();
}

void requestShake(std::int32_t duration, std::int32_t ampX, std::int32_t ampY, std::int32_t strength) {
    RaceUtilityStatics& u = raceUtilityStatics();
    if (raceStatics().s_raceFinished || (u.s_shakeLeft >= 1 && u.s_shakeStrength > strength))
        return;
    u.s_shakeDuration = duration;
    u.s_shakeAmpX = ampX;
    u.s_shakeAmpY = ampY;
    u.s_shakeStrength = strength;
    u.s_shakeSign = 1;
    u.s_shakeLeft = duration;
}

void setShakeOffset(std::int32_t x, std::int32_t y) {
    RaceUtilityStatics& u = raceUtilityStatics();
    if (Graphics* g = loopStatics().s_graphics)
        g->translate(x - u.s_shakeX, y - u.s_shakeY);
    u.s_shakeX = x;
    u.s_shakeY = y;
}

void updateShake(std::int32_t dt) {
    RaceUtilityStatics& u = raceUtilityStatics();
    if (raceStatics().s_raceFinished || (u.s_shakeLeft > 0 && u.s_shakeDuration == 0)) {
        u.s_shakeLeft = 0;
        setShakeOffset(0, 0);
        return;
    }
    if (u.s_shakeLeft <= 0)
        return;
    // The strength times the time left can pass 2^19, so the scale goes
    // through 64 bits; the duration is not 0 here.
    auto f = static_cast<std::int32_t>(((std::int64_t{u.s_shakeStrength} * u.s_shakeLeft) << 12) /
                                       u.s_shakeDuration);
    setShakeOffset(mulWrap(fixMul64(u.s_shakeAmpX, f), u.s_shakeSign),
                   mulWrap(fixMul64(u.s_shakeAmpY, f), u.s_shakeSign));
    u.s_shakeSign = -u.s_shakeSign;
    u.s_shakeLeft -= dt;
    if (u.s_shakeLeft < 1)
        setShakeOffset(0, 0);
}

void startBlink(std::int32_t period) {
    RaceUtilityStatics& u = raceUtilityStatics();
    u.s_blinkPeriod = period;
    u.s_blinkTimer = 2 * period;
    u.s_blinkLoop = 1;
}

bool isBlinkOn() {
    const RaceUtilityStatics& u = raceUtilityStatics();
    if (u.s_blinkLoop)
        return u.s_blinkTimer > u.s_blinkPeriod;
    if (u.s_blinkTimer < 1)
        return false;
    return (divOrZero(u.s_blinkTimer, u.s_blinkPeriod) & 1) == 0;
}

bool advanceBlinkTimer(std::int32_t dt) {
    RaceUtilityStatics& u = raceUtilityStatics();
    u.s_blinkTimer -= dt;
    if (u.s_blinkTimer >= 0)
        return false;
    if (u.s_blinkLoop) {
        u.s_blinkTimer += 2 * u.s_blinkPeriod;
        return false;
    }
    u.s_blinkTimer = 0;
    return true;
}

namespace {

lib::StringBuffer* clearedTextBuffer() {
    lib::StringBuffer*& buffer = startupStatics().s_textBuffer;
    if (!buffer)
        buffer = rt::make<lib::StringBuffer>(16);
    buffer->setLength(0);
    return buffer;
}

void appendTwoDigits(lib::StringBuffer* buffer, std::uint32_t value) {
    if (value < 10)
        buffer->append(u'0');
    buffer->append(static_cast<std::int64_t>(value));
}

} // namespace

lib::StringBuffer* formatTime(std::int32_t t, bool forceMinutes, bool withFraction, bool withSign) {
    lib::StringBuffer* buffer = clearedTextBuffer();
    if (withSign)
        buffer->append(t < 1 ? u'-' : u'+');
    // The magnitude is taken unsigned so that the most negative time reads
    // as its size, not as a negative one.
    std::uint32_t magnitude = unsignedMagnitude(t);
    std::uint32_t seconds = magnitude >> 12;
    std::uint32_t minutes = seconds / 60;
    if (minutes != 0 || forceMinutes) {
        // Minutes are not padded: 65.5 s reads 1:05.500.
        buffer->append(static_cast<std::int64_t>(minutes));
        buffer->append(u':');
    }
    appendTwoDigits(buffer, seconds - 60 * minutes);
    if (withFraction) {
        buffer->append(raceUtilityStatics().s_timeFractionColon ? u':' : u'.');
        appendTwoDigits(buffer, (magnitude & 4095u) * 100u / 4096u);
        buffer->append(u'0');
    }
    return buffer;
}

lib::StringBuffer* formatNumber(std::int32_t value, char16_t separator, bool keepFour) {
    lib::StringBuffer* buffer = clearedTextBuffer();
    if (value < 0)
        buffer->append(u'-');
    std::uint32_t magnitude = unsignedMagnitude(value);
    char digits[12];
    std::int32_t length = 0;
    do {
        digits[length++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    bool separate = !(keepFour && length == 4);
    for (std::int32_t i = length - 1; i >= 0; --i) {
        buffer->append(static_cast<char16_t>(digits[i]));
        if (separate && i > 0 && i % 3 == 0)
            buffer->append(separator);
    }
    return buffer;
}

void setStartPhase(std::int32_t phase) {
    raceStatics().s_startPhase = phase;
    if (phase < 2 || phase > 6)
        return;
    RaceUtilityStatics& u = raceUtilityStatics();
    u.s_startPhaseTimer = 1000;
    u.s_startCount = (6 - phase) * 1000;
    u.s_startMusicWait = 1000;
}

void randomizeSpeedLines() {
    for (auto& line : raceUtilityStatics().s_speedLines) {
        line[0] = raceRandom(2048);
        line[1] = raceRandom(50);
    }
}

std::int32_t blendColor(std::int32_t c0, std::int32_t c1, std::int32_t a) {
    if (a < 1)
        return c1;
    if (a >= 256)
        return c0;
    std::int32_t out = static_cast<std::int32_t>(0xFF000000u);
    for (std::int32_t shift : {16, 8, 0}) {
        std::int32_t channel = (((c1 >> shift) & 255) * (256 - a) + ((c0 >> shift) & 255) * a) >> 8;
        out |= channel << shift;
    }
    return out;
}

rt::IntArray* growIntArray(rt::IntArray* a, std::int32_t n) {
    std::int32_t oldLength = a ? a->length() : 0;
    std::int64_t wanted = std::int64_t{oldLength} + n;
    auto length = static_cast<std::int32_t>(wanted < 0 ? 0 : (wanted > INT32_MAX ? INT32_MAX : wanted));
    rt::IntArray* grown = rt::newIntArray(length);
    for (std::int32_t i = 0; i < length; ++i)
        rt::IntArray::set(grown, i, i < oldLength ? rt::IntArray::get(a, i) : -1);
    return grown;
}

rt::IntArray* removeIntRange(rt::IntArray* a, std::int32_t from, std::int32_t count) {
    if (!a || from < 0 || from >= a->length() || count < 0 || count > a->length() - from)
        return nullptr;
    rt::IntArray* kept = rt::newIntArray(a->length() - count);
    for (std::int32_t i = 0, j = 0; i < a->length(); ++i)
        if (i < from || i >= from + count)
            rt::IntArray::set(kept, j++, rt::IntArray::get(a, i));
    return kept;
}

bool isMusicActive() {
    if (!isSoundOn())
        return false;
    // The channel layer plays without the engine: its current music counts.
    if (soundChannelStatics().s_channelMode)
        return getCurrentMusic() >= 0;
    SoundEngine* engine = soundDataStatics().s_soundEngine;
    if (!engine)
        return false;
    rt::MonitorScope lock(engine);
    return engine->isAnyPlaying();
}

std::int32_t getCurrentMusic() {
    return playingMusic();
}

namespace {

std::int32_t camPathValue(std::int32_t i, std::int32_t k) {
    const rt::ObjectArray* paths = trackStatics().s_cameraPaths;
    std::int32_t path = raceUtilityStatics().s_cameraPath;
    if (!paths || path < 0 || path >= paths->length())
        return 0;
    auto* points = static_cast<rt::ShortArray*>(rt::ObjectArray::get(paths, path));
    std::int64_t at = 4 * std::int64_t{i} + k;
    if (!points || at < 0 || at >= points->length())
        return 0;
    return rt::ShortArray::get(points, static_cast<std::int32_t>(at));
}

std::int32_t degreesToAngle(std::int32_t degrees) {
    return degrees * 2048 / 360;
}

} // namespace

std::int32_t getCamPathNodeX(std::int32_t i) {
    return camPathValue(i, 0);
}

std::int32_t getCamPathNodeY(std::int32_t i) {
    return camPathValue(i, 1);
}

std::int32_t getCamPathNodeAngle(std::int32_t i) {
    return degreesToAngle(camPathValue(i, 2));
}

std::int32_t getCamPathNodeAngle2(std::int32_t i) {
    return degreesToAngle(camPathValue(i, 3));
}

void releaseCamPath() {
    TrackStatics& t = trackStatics();
    for (std::int32_t i = 0; t.s_cameraPaths && i < t.s_cameraPaths->length(); ++i)
        rt::ObjectArray::set(t.s_cameraPaths, i, nullptr);
    t.s_cameraPaths = nullptr;
}

} // namespace game
