#include "game/race/RaceHash.h"

#include "classlib/util/Random.h"
#include "game/data/EventSlots.h"
#include "game/data/SaveRecords.h"
#include "game/framework/States.h"
#include "game/race/Blink.h"
#include "game/race/CarViewPass.h"
#include "game/race/ComputerDriver.h"
#include "game/race/DrivingTuning.h"
#include "game/race/EventGoals.h"
#include "game/race/HudState.h"
#include "game/race/Impacts.h"
#include "game/race/RaceCamera.h"
#include "game/race/RaceEntity.h"
#include "game/race/RaceFrame.h"
#include "game/race/RaceGuide.h"
#include "game/race/RaceObjects.h"
#include "game/race/RacePhase.h"
#include "game/race/RaceRelease.h"
#include "game/race/RaceResults.h"
#include "game/race/RaceSetup.h"
#include "game/race/RaceState.h"
#include "game/race/RaceTables.h"
#include "game/race/RaceTouch.h"
#include "game/race/RaceView.h"
#include "game/race/RacerData.h"
#include "game/race/RoadProjection.h"
#include "game/race/ScreenShake.h"
#include "game/race/StartSequence.h"
#include "game/race/TimeTexts.h"
#include "game/race/TrackData.h"
#include "game/race/TrackGeometry.h"
#include "game/race/TrackTriggers.h"
#include "game/race/ViewPass.h"
#include "game/race/cEntity.h"
#include "runtime/Array.h"
#include "runtime/StaticClass.h"
#include "runtime/String.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <cxxabi.h>
#include <iterator>
#include <memory>
#include <new>
#include <typeinfo>
#include <unordered_map>
#include <vector>

namespace game {

namespace {

// FNV-1a over bytes, 64 bits.
class Hasher {
public:
    void bytes(const void* data, std::size_t size) {
        const auto* p = static_cast<const unsigned char*>(data);
        for (std::size_t i = 0; i < size; ++i) {
            m_hash ^= p[i];
            m_hash *= 1099511628211ull;
        }
    }
    void value(std::uint64_t v) { bytes(&v, sizeof v); }

    // The plain bytes of [base + from, base + size), each listed reference
    // followed instead of read.
    void fields(const void* base, std::size_t from, std::size_t size, const rt::ReferenceFieldTable& table) {
        std::vector<std::uint32_t> refs(table.offsets, table.offsets + table.count);
        std::sort(refs.begin(), refs.end());
        const auto* p = static_cast<const std::byte*>(base);
        std::size_t at = from;
        for (std::uint32_t offset : refs) {
            if (offset < from)
                continue;
            bytes(p + at, offset - at);
            const rt::Object* target = nullptr;
            std::memcpy(&target, p + offset, sizeof target);
            object(target);
            at = offset + sizeof(rt::Object*);
        }
        if (at < size)
            bytes(p + at, size - at);
    }

    template <class T>
    void block(const T& statics) {
        fields(&statics, 0, sizeof(T), rt::ReferenceFieldsOf<T>::table);
    }

    void object(const rt::Object* o) {
        if (!o) {
            value(0);
            return;
        }
        auto [it, first] = m_seen.emplace(o, m_seen.size());
        if (!first) {
            value(1);
            value(it->second);
            return;
        }
        value(2);
        value(o->rawClassId());
        if (rt::Array::isArrayClass(o->rawClassId())) {
            const auto* array = static_cast<const rt::Array*>(o);
            value(static_cast<std::uint32_t>(array->length()));
            if (array->length() < 1)
                return;
            if (o->classId() == rt::ClassId::ObjectArray) {
                for (const rt::Object* element : rt::Array::objectElementsAt(o))
                    object(element);
                return;
            }
            bytes(array->data(), static_cast<std::size_t>(array->length()) * array->elementSize());
            return;
        }
        if (o->classId() == rt::ClassId::String) {
            std::u16string_view units = static_cast<const rt::String*>(o)->view();
            bytes(units.data(), units.size() * sizeof(char16_t));
            return;
        }
        if (o->classId() == cEntity::kClassId)
            fields(o, offsetof(cEntity, m_racerIndex), sizeof(cEntity),
                   rt::ReferenceFieldsOf<cEntity>::table);
    }

    std::uint64_t result() const { return m_hash; }

private:
    std::uint64_t m_hash = 14695981039346656037ull;
    std::unordered_map<const rt::Object*, std::uint64_t> m_seen;
};

// `T`'s name without its namespace.
template <class T>
std::string typeName() {
    int status = 0;
    std::unique_ptr<char, decltype(&std::free)> name(
        abi::__cxa_demangle(typeid(T).name(), nullptr, nullptr, &status), &std::free);
    std::string full = status == 0 && name ? name.get() : typeid(T).name();
    std::size_t colon = full.rfind("::");
    return colon == std::string::npos ? full : full.substr(colon + 2);
}

// Every block the hash covers, in its order.
template <class... Blocks>
struct BlockList {
    // Calls `visit(T&)` for each block.
    template <class Visit>
    static void forEach(Visit&& visit) {
        (visit(rt::getStaticClass().statics<Blocks>()), ...);
    }
    static std::vector<std::string> names() { return {typeName<Blocks>()...}; }
    // Calls `visit(name, T&)` for each block.
    template <class Visit>
    static void forEachNamed(Visit&& visit) {
        (visit(typeName<Blocks>(), rt::getStaticClass().statics<Blocks>()), ...);
    }
};
using RaceBlocks =
    BlockList<RaceStatics, RaceFrameStatics, RaceEntityStatics, ShakeStatics, BlinkStatics, TimeTextStatics,
              EventGoalStatics, TrackStatics, RacerStatics, RaceTableStatics, EventStatics, EventSlotStatics,
              SaveRecordStatics, RacePhaseStatics, ImpactStatics, TriggerStatics, RaceObjectStatics,
              DrivingStatics, DriverStatics, TrackGeometryStatics, ViewPassStatics, RoadSliceStatics,
              CarViewStatics, CameraStatics, RaceSetupStatics, RaceStateStatics, HudStateStatics,
              RaceGuideStatics, RaceMenuStatics, RaceResourceStatics, RaceResultsStatics, RaceTouchStatics,
              StartSequenceStatics>;

// The class initialisers of the race's blocks that hold tables or pinned
// values from the start, in the order they run: the driving tables, the
// camera's defaults, the view pass's slice bins, the computer drivers'
// tuning table and the championship's tables.
constexpr void (*kRaceInitialisers[])() = {initDrivingTables, cameraStaticInit, viewPassStaticInit,
                                           initDriverTables, raceResultsStaticInit};

// The race layer's statics blocks that stay out of the hash: what only the
// painters keep (their images) is not state of the race.
constexpr const char* kLeftOut[] = {"RaceImageStatics"};

} // namespace

std::uint64_t raceStateHash() {
    Hasher h;
    RaceBlocks::forEach([&](const auto& block) { h.block(block); });
    h.value(static_cast<std::uint32_t>(gameModeNumber(stateStatics().s_gameMode)));
    const lib::java_util_Random* random = lib::java_util_Random::shared();
    h.value(random ? static_cast<std::uint64_t>(random->state()) : ~0ull);
    return h.result();
}

std::vector<RaceBlockHash> raceStateBlockHashes() {
    std::vector<RaceBlockHash> parts;
    RaceBlocks::forEachNamed([&](std::string name, const auto& block) {
        Hasher h;
        h.block(block);
        parts.push_back({std::move(name), h.result()});
    });
    Hasher mode;
    mode.value(static_cast<std::uint32_t>(gameModeNumber(stateStatics().s_gameMode)));
    parts.push_back({"gameMode", mode.result()});
    Hasher random;
    const lib::java_util_Random* shared = lib::java_util_Random::shared();
    random.value(shared ? static_cast<std::uint64_t>(shared->state()) : ~0ull);
    parts.push_back({"random", random.result()});
    return parts;
}

void resetRaceStatics() {
    RaceBlocks::forEach([](auto& block) {
        using T = std::remove_reference_t<decltype(block)>;
        block.~T();
        std::memset(static_cast<void*>(&block), 0, sizeof(T));
        ::new (static_cast<void*>(&block)) T();
    });
    raceStaticInit();
}

void raceStaticInit() {
    for (const auto initialise : kRaceInitialisers)
        initialise();
}

std::vector<std::string> raceHashedStatics() {
    return RaceBlocks::names();
}

std::vector<std::string> raceStaticsLeftOut() {
    return {std::begin(kLeftOut), std::end(kLeftOut)};
}

} // namespace game
