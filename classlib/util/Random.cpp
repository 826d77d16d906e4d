#include "classlib/util/Random.h"

#include "classlib/lang/System.h"
#include "runtime/Exceptions.h"
#include "runtime/Monitor.h"
#include "runtime/StaticClass.h"
#include "runtime/javamath.h"

namespace lib {

namespace {

struct RandomStatics {
    java_util_Random* m_shared = nullptr;
    RT_REFERENCE_FIELDS(RandomStatics, rt::NoReferenceBase, m_shared)
};

} // namespace

// A new object is seen by no other thread yet: its constructors seed it without the monitor.
java_util_Random::java_util_Random()
    : Object(kClassId)
    , m_seed(scramble(java_lang_System::currentTimeMillis())) {
}

java_util_Random::java_util_Random(std::int64_t seed)
    : Object(kClassId)
    , m_seed(scramble(seed)) {
}

void java_util_Random::setSeed(std::int64_t seed) {
    rt::MonitorScope lock(this);
    m_seed = scramble(seed);
}

std::int32_t java_util_Random::next(std::int32_t bits) {
    rt::MonitorScope lock(this);
    m_seed = rt::ladd(rt::lmul(m_seed, kMultiplier), kAddend) & kMask;
    return static_cast<std::int32_t>(rt::lushr(m_seed, 48 - bits));
}

std::int32_t java_util_Random::nextInt() {
    return next(32);
}

std::int32_t java_util_Random::nextInt(std::int32_t n) {
    if (n <= 0)
        return rt::raise(rt::ClassId::java_lang_IllegalArgumentException,
                         rt::getStaticClass().getConstantString(kBadBoundText));
    if ((n & -n) == n)
        return static_cast<std::int32_t>((std::int64_t{n} * next(31)) >> 31);
    std::int32_t bits;
    std::int32_t value;
    do {
        bits = next(31);
        value = bits % n;
    } while (rt::iadd(rt::isub(bits, value), n - 1) < 0);
    return value;
}

std::int64_t java_util_Random::nextLong() {
    std::int64_t high = rt::lshl(next(32), 32);
    return rt::ladd(high, next(32));
}

float java_util_Random::nextFloat() {
    return static_cast<float>(next(24)) / kFloatDivisor;
}

void java_util_Random::seedSharedRandom(std::int64_t seed) {
    RandomStatics& statics = rt::getStaticClass().statics<RandomStatics>();
    if (!statics.m_shared)
        statics.m_shared = rt::make<java_util_Random>(0);
    statics.m_shared->setSeed(seed);
}

java_util_Random* java_util_Random::shared() {
    return rt::getStaticClass().statics<RandomStatics>().m_shared;
}

} // namespace lib
