#include "game/sprite/ZoomPlayers.h"

#include "game/framework/HudFrames.h"
#include "game/framework/RaceSceneFrames.h"
#include "game/framework/SpriteSlots.h"
#include "game/sprite/Scaler.h"
#include "game/sprite/ZoomCache.h"
#include "runtime/Runtime.h"
#include "runtime/StaticClass.h"
#include "runtime/checks.h"
#include "runtime/javamath.h"

#include <algorithm>
#include <array>

namespace game {

namespace {

using rt::IntArray;
using rt::ObjectArray;

constexpr std::int32_t kRecordInts = 4;

ZoomedAnimPlayer* makePlayer(rt::ClassId id) {
    ZoomedAnimPlayer* player = rt::makeAs<ZoomedAnimPlayer>(id);
    player->reset(false);
    return player;
}

ZoomedAnimPlayer* poolPlayer(std::int32_t slot) {
    rt::Object* object = ObjectArray::get(zoomPoolStatics().s_zoomAnimPool, slot);
    if (object && (object->classId() == rt::ClassId::ZoomedAnimPlayer ||
                   object->classId() == rt::ClassId::PreZoomedAnimPlayer))
        return static_cast<ZoomedAnimPlayer*>(object);
    return nullptr;
}

// `list` without its four ints at `offset` (a new array); `list` itself
// when they do not lie inside it.
IntArray* withoutRecord(IntArray* list, std::int32_t offset) {
    const std::int32_t length = list ? list->length() : 0;
    if (offset < 0 || offset > length - kRecordInts)
        return list;
    IntArray* shorter = rt::newIntArray(length - kRecordInts);
    const auto from = IntArray::span(list);
    const auto to = IntArray::span(shorter);
    std::copy(from.begin(), from.begin() + offset, to.begin());
    std::copy(from.begin() + offset + kRecordInts, from.end(), to.begin() + offset);
    return shorter;
}

} // namespace

ZoomedAnimPlayer::ZoomedAnimPlayer(rt::ClassId id)
    : Object(id) {
}

void ZoomedAnimPlayer::start(std::int32_t sprite, std::int32_t animation, std::int32_t duration,
                             std::int32_t loops) {
    m_sprite = sprite;
    m_animation = animation;
    m_duration = duration;
    m_loops = loops == 0 ? 1 : loops;
    m_loopsLeft = m_loops;
    m_time = 0;
    m_stopped = 0;
    m_inUse = 1;
    m_recordOffset = -1;
}

void ZoomedAnimPlayer::update(std::int32_t dt) {
    if (m_stopped)
        return;
    m_time = rt::iadd(m_time, dt);
    if (m_time <= m_duration)
        return;
    if (m_loopsLeft > 1) {
        m_time = rt::isub(m_time, m_duration);
        --m_loopsLeft;
    } else if (m_loopsLeft == 1) {
        stop();
    } else if (m_loopsLeft == -1) {
        m_time = rt::isub(m_time, m_duration);
    }
}

void ZoomedAnimPlayer::paint(std::int32_t x, std::int32_t y, std::int32_t scale, std::int32_t flags,
                             bool fade, std::int32_t alpha) {
    if (m_stopped)
        return;
    ZoomStatics& z = zoomStatics();
    const std::int32_t clamped = m_alpha == -1 ? -1 : std::clamp(m_alpha, 0, 255);
    if (isPreZoomed()) {
        z.s_preZoomAlphaPalette = m_alphaPalette;
        z.s_preZoomPalette = m_palette;
        z.s_preZoomAlpha = clamped;
        (void)paintPreZoomedAnim(m_sprite, m_animation, scale, x, y, flags, m_time, m_duration, m_bank != 0,
                                 fade);
        z.s_preZoomPalette = 0;
        z.s_preZoomAlphaPalette = 0;
        z.s_preZoomAlpha = -1;
        return;
    }
    z.s_zoomAlphaPalette = m_alphaPalette;
    z.s_zoomPalette = m_palette;
    z.s_zoomAlpha = clamped;
    (void)paintZoomedAnim(m_sprite, m_animation, scale, x, y, flags, m_time, m_duration, m_bank != 0, fade,
                          alpha);
    z.s_zoomPalette = 0;
    z.s_zoomAlphaPalette = 0;
    z.s_zoomAlpha = -1;
}

void ZoomedAnimPlayer::stop() {
    m_stopped = 1;
    m_time = 0;
}

void ZoomedAnimPlayer::restart() {
    m_stopped = 0;
    m_loopsLeft = m_loops;
    m_time = 0;
}

void ZoomedAnimPlayer::reset(bool bank) {
    m_stopped = 1;
    m_sprite = m_animation = m_alpha = m_recordOffset = -1;
    m_palette = 0;
    m_alphaPalette = 0;
    m_time = m_duration = m_loops = m_loopsLeft = 0;
    m_inUse = 0;
    m_bank = bank ? 1 : 0;
}

ZoomPoolStatics& zoomPoolStatics() {
    return rt::getStaticClass().statics<ZoomPoolStatics>();
}

void createAnimPlayers() {
    ZoomPoolStatics& p = zoomPoolStatics();
    constexpr rt::ClassId kZoomed = rt::ClassId::ZoomedAnimPlayer;
    constexpr rt::ClassId kPreZoomed = rt::ClassId::PreZoomedAnimPlayer;
    // Each player is kept in its static before the next is made.
    p.s_fxPlayerA = makePlayer(kPreZoomed);
    p.s_fxPlayerA->start(kItemBoxSprite, kItemBoxAnim, 2000, -1);
    p.s_fxPlayerB = makePlayer(kZoomed);
    p.s_fxPlayerB->start(kTrackEffectSprite, kTrackEffectAnim, 2000, 1);
    p.s_fxPlayerC = makePlayer(kPreZoomed);
    p.s_fxPlayerC->start(kCoinSprite, kRoadCoinAnim, 1000, -1);
    p.s_fxPlayerE = makePlayer(kZoomed);
    p.s_fxPlayerE->start(kCoinSprite, kSpareCoinAnim, 1000, 1);
    p.s_fxPlayerD = makePlayer(kZoomed);
    p.s_fxPlayerD->start(kCoinSprite, kRoadCoinStackAnim, 1000, -1);
    p.s_fxPlayerF = makePlayer(kPreZoomed);
    p.s_fxPlayerF->start(kHeldItemSprite, kHeldItemAnim, 1000, -1);
    initZoomAnimPool();
    const std::int32_t lengths[2] = {5, 4};
    p.s_fxTable = static_cast<ObjectArray*>(rt::newMultiArray("[[I", lengths));
}

void initZoomAnimPool() {
    ZoomPoolStatics& p = zoomPoolStatics();
    if (!p.s_zoomAnimPool) {
        p.s_zoomAnimPool = rt::newObjectArray(kZoomAnimPoolSize);
        for (std::int32_t i = 0; i < kZoomAnimPoolSize; ++i)
            ObjectArray::set(p.s_zoomAnimPool, i, makePlayer(rt::ClassId::ZoomedAnimPlayer));
        p.s_zoomAnimPoolRecords = rt::newIntArray(kZoomAnimPoolSize * kRecordInts);
        return;
    }
    for (std::int32_t i = 0; i < kZoomAnimPoolSize; ++i) {
        if (ZoomedAnimPlayer* player = poolPlayer(i)) {
            player->stop();
            player->release();
        }
    }
    std::ranges::fill(IntArray::span(p.s_zoomAnimPoolRecords), 0);
}

void updateZoomAnimPool(std::int32_t dt) {
    // Offsets of the records to drop; at most one per slot.
    std::array<std::int32_t, kZoomAnimPoolSize> dropped{};
    std::size_t count = 0;
    for (std::int32_t i = 0; i < kZoomAnimPoolSize; ++i) {
        ZoomedAnimPlayer* player = poolPlayer(i);
        if (!player || !player->m_inUse)
            continue;
        if (!player->m_stopped) {
            player->update(dt);
            continue;
        }
        if (player->m_recordOffset >= 0)
            dropped[count++] = player->m_recordOffset;
        player->release();
    }
    // Largest first, so that each cut leaves the smaller offsets in place.
    std::sort(dropped.begin(), dropped.begin() + static_cast<std::ptrdiff_t>(count), std::greater<>());
    ZoomPoolStatics& p = zoomPoolStatics();
    for (std::size_t d = 0; d < count; ++d) {
        const std::int32_t offset = dropped[d];
        p.s_poolRecordList = withoutRecord(p.s_poolRecordList, offset);
        for (std::int32_t i = 0; i < kZoomAnimPoolSize; ++i)
            if (ZoomedAnimPlayer* player = poolPlayer(i); player && player->m_recordOffset > offset)
                player->m_recordOffset -= kRecordInts;
    }
}

std::int32_t findFreeZoomAnim() {
    for (std::int32_t i = 0; i < kZoomAnimPoolSize; ++i)
        if (ZoomedAnimPlayer* player = poolPlayer(i); player && !player->m_inUse)
            return i;
    return 0;
}

void setAnimPoolSlot(std::int32_t slot, std::int32_t x, std::int32_t y, std::int32_t scale, bool paint) {
    IntArray* requests = zoomPoolStatics().s_zoomAnimPoolRecords;
    const std::int32_t values[kRecordInts] = {x, y, scale, paint ? 1 : 0};
    for (std::int32_t i = 0; i < kRecordInts; ++i)
        IntArray::set(requests, slot * kRecordInts + i, values[i]);
}

void paintAnimPool() {
    IntArray* requests = zoomPoolStatics().s_zoomAnimPoolRecords;
    for (std::int32_t i = 0; i < kZoomAnimPoolSize; ++i) {
        ZoomedAnimPlayer* player = poolPlayer(i);
        if (!player)
            continue;
        const std::int32_t at = i * kRecordInts;
        if (!player->m_stopped && IntArray::get(requests, at + 3) == 1)
            player->paint5(IntArray::get(requests, at), IntArray::get(requests, at + 1),
                           IntArray::get(requests, at + 2), 0);
        IntArray::set(requests, at + 3, 0);
    }
}

} // namespace game
