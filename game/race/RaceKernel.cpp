#include "game/race/RaceKernel.h"

#include "game/framework/GameRandom.h"

#include <cassert>
#include <climits>
#include <thread>

namespace game {

namespace {

std::uint32_t u(std::int32_t v) {
    return static_cast<std::uint32_t>(v);
}
std::int32_t s(std::uint32_t v) {
    return static_cast<std::int32_t>(v);
}

#ifndef NDEBUG
// The thread of the first draw; every later draw must come from it. A host
// value, not a guest reference.
std::thread::id g_drawThread;
#endif

} // namespace

std::int32_t mulWrap(std::int32_t a, std::int32_t b) {
    return s(u(a) * u(b));
}

std::int32_t fixMul32(std::int32_t a, std::int32_t b) {
    return s(u(a) * u(b) + 2048u) >> 12;
}

std::int32_t fixMul64(std::int32_t a, std::int32_t b) {
    return s(static_cast<std::uint32_t>((std::int64_t{a} * b + 2048) >> 12));
}

std::int32_t divOrZero(std::int32_t a, std::int32_t b) {
    if (b == 0)
        return 0;
    if (b == -1)
        return s(0u - u(a));
    return a / b;
}

std::int32_t trackDistance(std::int32_t lap, std::int32_t segment, std::int32_t position,
                           std::int32_t segmentCount) {
    return s(((u(lap) * u(segmentCount) + u(segment)) << kSegmentShift) + u(position));
}

std::int32_t ringDistance(std::int32_t lapA, std::int32_t segA, std::int32_t posA, std::int32_t lapB,
                          std::int32_t segB, std::int32_t posB, std::int32_t segmentCount) {
    return trackDistance(s(u(lapA) - u(lapB)), s(u(segA) - u(segB)), s(u(posA) - u(posB)), segmentCount);
}

std::int32_t kmhToSpeed(std::int32_t kmh) {
    return s((u(kmh) << 12) * 10u) / 36;
}

std::int32_t lerpClamped(std::int32_t a, std::int32_t b, std::int32_t t) {
    t = t < 0 ? 0 : (t > kRaceOne ? kRaceOne : t);
    std::int64_t step = (std::int64_t{s(u(b) - u(a))} * t + 2048) >> 12;
    return s(u(a) + static_cast<std::uint32_t>(step));
}

std::int32_t frameMsToTime(std::int32_t ms) {
    ms = ms < 0 ? 0 : (ms > 1000 ? 1000 : ms);
    return (ms << 12) / 1000;
}

std::int32_t msToTime(std::int32_t ms) {
    return s(static_cast<std::uint32_t>((std::int64_t{ms} << 12) / 1000));
}

std::int32_t timeToMs(std::int32_t time) {
    return static_cast<std::int32_t>(std::int64_t{time} * 1000 >> 12);
}

std::uint32_t unsignedMagnitude(std::int32_t v) {
    return v < 0 ? 0u - u(v) : u(v);
}

std::int32_t magnitudeMod(std::int32_t draw, std::int32_t k) {
    return k < 1 ? 0 : randomInRange(draw, 0, k);
}

std::int32_t raceRandom(std::int32_t k) {
#ifndef NDEBUG
    if (g_drawThread == std::thread::id())
        g_drawThread = std::this_thread::get_id();
    assert(g_drawThread == std::this_thread::get_id() && "race draws belong to the game thread");
#endif
    return k < 1 ? 0 : getRandom(0, k);
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

} // namespace game
