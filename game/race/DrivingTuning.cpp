#include "game/race/DrivingTuning.h"

#include "runtime/StaticClass.h"

namespace game {

DrivingStatics& drivingStatics() {
    return rt::getStaticClass().statics<DrivingStatics>();
}

namespace {

rt::IntArray* intsOf(std::initializer_list<std::int32_t> values) {
    rt::IntArray* a = rt::newIntArray(static_cast<std::int32_t>(values.size()));
    std::int32_t i = 0;
    for (std::int32_t v : values)
        rt::IntArray::set(a, i++, v);
    return a;
}

// Grip %, drag %, top speed % of surfaces 0..6: tarmac, wet, gravel, sand,
// rough (shakes the car), ramp (launches it), gap (the car falls). The
// acceleration divides by the grip value, so a loose surface, which pulls
// more slowly, has more than 100.
constexpr std::int32_t kSurfaceRows[kSurfaceCount][3] = {
    {100, 0, 100}, {110, 10, 95}, {125, 20, 90}, {140, 30, 85}, {115, 10, 95}, {100, 0, 100}, {100, 0, 100},
};

// The draw weights of the leader; each place further back moves them one
// slot (the computer cars' one slot every third place) towards the
// stronger items at the end of the row. Every row sums to 99.
constexpr std::int32_t kLeaderWeights[kItemSlots] = {30, 25, 15, 10, 8, 5, 3, 2, 1};

rt::ObjectArray* makeItemTable() {
    rt::ObjectArray* kinds = rt::newObjectArray(kDriverKinds);
    for (std::int32_t kind = 0; kind < kDriverKinds; ++kind) {
        rt::ObjectArray* items = rt::newObjectArray(kItemKinds);
        for (std::int32_t item = 0; item < kItemKinds; ++item) {
            // Held items (0, 3, 6) come with three charges; the rest are
            // used once. Driver kind 2 keeps its effects half as long again.
            bool held = item == 0 || item == 3 || item == 6;
            std::int32_t unit = kind == 2 ? 3 : 2;
            rt::ObjectArray::set(items, item, intsOf({held ? 3 : 1, unit, 16384}));
        }
        rt::ObjectArray::set(kinds, kind, items);
    }
    return kinds;
}

rt::ObjectArray* makeItemWeights() {
    rt::ObjectArray* tables = rt::newObjectArray(2);
    for (std::int32_t table = 0; table < 2; ++table) {
        rt::ObjectArray* rows = rt::newObjectArray(kItemWeightRows);
        for (std::int32_t place = 0; place < kItemWeightRows; ++place) {
            std::int32_t shift = table == 0 ? place : place / 3;
            rt::ByteArray* row = rt::newByteArray(kItemSlots);
            for (std::int32_t slot = 0; slot < kItemSlots; ++slot)
                rt::ByteArray::set(
                    row, slot,
                    static_cast<std::int8_t>(
                        kLeaderWeights[(slot - shift % kItemSlots + kItemSlots) % kItemSlots]));
            rt::ObjectArray::set(rows, place, row);
        }
        rt::ObjectArray::set(tables, table, rows);
    }
    return tables;
}

} // namespace

void initDrivingTables() {
    DrivingStatics& d = drivingStatics();
    d.s_surfaceTable = rt::newIntArray(kSurfaceCount * kSurfaceColumns);
    for (std::int32_t s = 0; s < kSurfaceCount; ++s) {
        rt::IntArray::set(d.s_surfaceTable, s * kSurfaceColumns + kSurfaceGripColumn, kSurfaceRows[s][0]);
        rt::IntArray::set(d.s_surfaceTable, s * kSurfaceColumns + kSurfaceDragColumn, kSurfaceRows[s][1]);
        rt::IntArray::set(d.s_surfaceTable, s * kSurfaceColumns + kSurfaceTopColumn, kSurfaceRows[s][2]);
    }
    // Gears 0..7: down at 30 %, up at 85 % of the gear's span.
    d.s_shiftTable = rt::newIntArray(16);
    for (std::int32_t g = 0; g < 8; ++g) {
        rt::IntArray::set(d.s_shiftTable, 2 * g, 30);
        rt::IntArray::set(d.s_shiftTable, 2 * g + 1, 85);
    }
    d.s_steerFrameAngles = intsOf({171, 114, 68, 34, 11});
    d.s_itemTable = makeItemTable();
    d.s_itemWeights = makeItemWeights();
    d.s_trail = rt::newIntArray(3 * kTrailEntries);
}

std::int32_t clampedAt(const rt::IntArray* a, std::int32_t i) {
    if (!a || a->length() == 0)
        return 0;
    if (i >= a->length())
        i = a->length() - 1;
    return rt::IntArray::get(a, i < 0 ? 0 : i);
}

std::int32_t surfaceValue(std::int32_t surface, std::int32_t column) {
    const rt::IntArray* table = drivingStatics().s_surfaceTable;
    if (!table)
        return 0;
    std::int32_t rows = table->length() / kSurfaceColumns;
    std::int32_t row = surface < 0 ? 0 : (surface >= rows ? rows - 1 : surface);
    return clampedAt(table, row * kSurfaceColumns + column);
}

std::int32_t itemValue(std::int32_t kind, std::int32_t item, std::int32_t column) {
    auto pick = [](const rt::ObjectArray* a, std::int32_t i) -> rt::Object* {
        if (!a || a->length() == 0)
            return nullptr;
        i = i < 0 ? 0 : (i >= a->length() ? a->length() - 1 : i);
        return rt::ObjectArray::get(a, i);
    };
    auto* items = static_cast<rt::ObjectArray*>(pick(drivingStatics().s_itemTable, kind));
    auto* row = static_cast<rt::IntArray*>(pick(items, item));
    return clampedAt(row, column);
}

} // namespace game
