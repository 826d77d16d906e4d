#pragma once

// Zoomed animation players: each plays one cached animation (ZoomCache.h)
// over time, looping a given number of times, and paints it scaled
// (Scaler.h). One C++ class serves two class ids: `ZoomedAnimPlayer` plays
// from the zoomed cache, `PreZoomedAnimPlayer` from the pre-zoomed one.
//
// A race keeps six fixed players for its effects and a pool of 40 zoomed
// players for short effects started by race events. Each pool slot has four
// ints of paint request in `s_zoomAnimPoolRecords` (screen x, screen y,
// scale, 1 when to be painted this frame) and, while it carries an effect
// record, the offset of its four ints in the shared `s_poolRecordList`. The
// race step updates the pool every frame: finished players are freed and
// their records cut out of the list, the later records' offsets moving down.
//
// Threads: the game thread only; the painter statics are set and cleared
// around each paint.

#include "runtime/Array.h"
#include "runtime/Object.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

class ZoomedAnimPlayer final : public rt::Object {
public:
    // A free player as `reset(false)` leaves it.
    explicit ZoomedAnimPlayer(rt::ClassId id);

    bool isPreZoomed() const { return classId() == rt::ClassId::PreZoomedAnimPlayer; }

    // Plays `animation` of `sprite`, `duration` ms a loop, `loops` times (-1
    // endless, 0 once), from time 0, taken.
    virtual void start(std::int32_t sprite, std::int32_t animation, std::int32_t duration,
                       std::int32_t loops);
    // Adds dt ms; past the duration (strictly) it subtracts one duration and
    // counts a loop, or stops after the last loop. Nothing while stopped.
    virtual void update(std::int32_t dt);
    // Paints the current frame with the player's palette, alpha palette and
    // alpha (clamped to 0..255 unless -1) in the painter statics, which are
    // reset afterwards. Nothing while stopped.
    virtual void paint(std::int32_t x, std::int32_t y, std::int32_t scale, std::int32_t flags, bool fade,
                       std::int32_t alpha);
    // Named by their argument counts: `paint6` paints at alpha 255, `paint5`
    // also without the fade.
    virtual void paint6(std::int32_t x, std::int32_t y, std::int32_t scale, std::int32_t flags, bool fade) {
        paint(x, y, scale, flags, fade, 255);
    }
    virtual void paint5(std::int32_t x, std::int32_t y, std::int32_t scale, std::int32_t flags) {
        paint6(x, y, scale, flags, false);
    }
    virtual void stop();
    virtual void restart();

    // Stopped and free, nothing to play, bank as given.
    void reset(bool bank);
    // Free for the pool: not in use, no record.
    void release() {
        m_inUse = 0;
        m_recordOffset = -1;
    }

    std::int32_t m_sprite = -1;
    std::int32_t m_animation = -1;
    std::int8_t m_bank = 0;
    std::int32_t m_palette = 0;
    std::int8_t m_alphaPalette = 0;
    std::int32_t m_alpha = -1;
    std::int32_t m_time = 0;
    std::int32_t m_duration = 0;
    std::int32_t m_loops = 0;
    std::int32_t m_loopsLeft = 0;
    std::int8_t m_stopped = 1;
    std::int8_t m_inUse = 0;
    std::int32_t m_recordOffset = -1;

    RT_NO_REFERENCE_FIELDS(ZoomedAnimPlayer, Object)
};

inline constexpr std::int32_t kZoomAnimPoolSize = 40;

struct ZoomPoolStatics {
    rt::ObjectArray* s_zoomAnimPool = nullptr;     // ZoomedAnimPlayer[40]
    rt::IntArray* s_zoomAnimPoolRecords = nullptr; // 4 ints per slot: x, y, scale, paint
    rt::IntArray* s_poolRecordList = nullptr;      // 4-int effect records
    // The six fixed players (`createAnimPlayers`): the item box, the track
    // effect, the road coin, the road coin stack, the spare coin and the
    // held item; C and D are painted as pickups on the road.
    ZoomedAnimPlayer* s_fxPlayerA = nullptr;
    ZoomedAnimPlayer* s_fxPlayerB = nullptr;
    ZoomedAnimPlayer* s_fxPlayerC = nullptr;
    ZoomedAnimPlayer* s_fxPlayerD = nullptr;
    ZoomedAnimPlayer* s_fxPlayerE = nullptr;
    ZoomedAnimPlayer* s_fxPlayerF = nullptr;
    rt::ObjectArray* s_fxTable = nullptr; // int[5][4], the race code's

    RT_REFERENCE_FIELDS(ZoomPoolStatics, rt::NoReferenceBase, s_zoomAnimPool, s_zoomAnimPoolRecords,
                        s_poolRecordList, s_fxPlayerA, s_fxPlayerB, s_fxPlayerC, s_fxPlayerD, s_fxPlayerE,
                        s_fxPlayerF, s_fxTable)
};

ZoomPoolStatics& zoomPoolStatics();

// The six fixed players, each reset and started; then the pool; then the
// race code's int[5][4] table.
void createAnimPlayers();
// First call: 40 free players and 160 zero ints. Later calls: every player
// stopped and freed, the ints zeroed.
void initZoomAnimPool();
// Updates every playing pool player by dt; frees the stopped ones and cuts
// their records out of `s_poolRecordList`, largest offset first, moving
// every later offset down by 4.
void updateZoomAnimPool(std::int32_t dt);
// The first free slot; slot 0 (taken over) when all are in use. Meant for the race's track
// effects, which drop an effect when every player runs instead (TrackTriggers.cpp).
std::int32_t findFreeZoomAnim();
// The paint request of `slot`.
void setAnimPoolSlot(std::int32_t slot, std::int32_t x, std::int32_t y, std::int32_t scale, bool paint);
// Paints every requested slot whose player plays, then clears every request.
void paintAnimPool();

} // namespace game
