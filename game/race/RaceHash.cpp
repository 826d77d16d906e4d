#include "game/race/RaceHash.h"

#include "classlib/util/Random.h"
#include "game/data/EventSlots.h"
#include "game/data/SaveRecords.h"
#include "game/framework/States.h"
#include "game/race/EventGoals.h"
#include "game/race/Impacts.h"
#include "game/race/RaceCamera.h"
#include "game/race/RaceEntity.h"
#include "game/race/RaceFrame.h"
#include "game/race/RaceObjects.h"
#include "game/race/RacePhase.h"
#include "game/race/RaceSetup.h"
#include "game/race/RaceState.h"
#include "game/race/RaceStates.h"
#include "game/race/RaceTables.h"
#include "game/race/RaceUtilities.h"
#include "game/race/RacerData.h"
#include "game/race/TrackData.h"
#include "game/race/TrackTriggers.h"
#include "game/race/cEntity.h"
#include "runtime/Array.h"
#include "runtime/StaticClass.h"
#include "runtime/String.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <new>
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

// Every block the hash covers, in its order; `visit(T&)` for each.
template <class Visit>
void forEachRaceBlock(Visit&& visit) {
    visit(raceStatics());
    visit(raceFrameStatics());
    visit(raceEntityStatics());
    visit(raceUtilityStatics());
    visit(cameraStatics());
    visit(raceSetupStatics());
    visit(raceStateStatics());
    visit(eventGoalStatics());
    visit(trackStatics());
    visit(racerStatics());
    visit(raceTableStatics());
    visit(eventStatics());
    visit(eventSlotStatics());
    visit(saveRecordStatics());
    visit(racePhaseStatics());
    visit(impactStatics());
    visit(triggerStatics());
    visit(raceObjectStatics());
}

} // namespace

std::uint64_t raceStateHash() {
    Hasher h;
    forEachRaceBlock([&](const auto& block) { h.block(block); });
    h.value(static_cast<std::uint32_t>(stateStatics().s_gameMode));
    const lib::java_util_Random* random = lib::java_util_Random::shared();
    h.value(random ? static_cast<std::uint64_t>(random->state()) : ~0ull);
    return h.result();
}

void resetRaceStatics() {
    forEachRaceBlock([](auto& block) {
        using T = std::remove_reference_t<decltype(block)>;
        block.~T();
        std::memset(static_cast<void*>(&block), 0, sizeof(T));
        ::new (static_cast<void*>(&block)) T();
    });
}

} // namespace game
