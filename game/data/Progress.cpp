#include "game/data/Progress.h"

#include "game/data/SaveRecords.h"
#include "runtime/StaticClass.h"

#include <initializer_list>

namespace game {

namespace {

// The bit a bit number names, from its low 8 bits; none (0) from 32 on.
std::uint32_t bitOf(std::int32_t bit) {
    std::uint32_t number = static_cast<std::uint32_t>(bit) & 0xFF;
    return number < 32 ? 1u << number : 0;
}

bool has(std::int32_t mask, std::int32_t bit) {
    return (static_cast<std::uint32_t>(mask) & bitOf(bit)) != 0;
}

void set(std::int32_t& mask, std::int32_t bit) {
    mask = static_cast<std::int32_t>(static_cast<std::uint32_t>(mask) | bitOf(bit));
}

std::int32_t rowLength() {
    rt::IntArray* table = progressStatics().s_gridRowLengthTable;
    return table ? table->length() : 0;
}

std::int32_t cell(std::int32_t column, std::int32_t row) {
    return column + row * rowLength();
}

rt::IntArray* bitList(std::initializer_list<std::int32_t> bits) {
    rt::IntArray* list = rt::newIntArray(static_cast<std::int32_t>(bits.size()));
    rt::Array::fill32(list, bits);
    return list;
}

// Column c's unlock, shared by rewards (c, 0) and (c, 1): new entries of mask
// B, and column c + 1 of rows 0 and 1 in both grids.
void unlockColumn(std::int32_t column) {
    ProgressStatics& progress = progressStatics();
    if (column == 0) {
        progress.s_progressMaskB |= 8 | 16;
        progress.s_newMaskBBits = bitList({3, 4});
    } else if (column == 1) {
        progress.s_progressMaskB |= 32;
        progress.s_newMaskBBits = bitList({5});
    }
    if (column < 0 || column > 2)
        return;
    for (std::int32_t row : {0, 1}) {
        setGridFlagA(column + 1, row);
        setGridFlagB(column + 1, row);
    }
}

} // namespace

ProgressStatics& progressStatics() {
    return rt::getStaticClass().statics<ProgressStatics>();
}

void initProgressStatics() {
    ProgressStatics& progress = progressStatics();
    progress.s_tripletFlags = rt::newIntArray(kTripletItems);
    progress.s_progressValues = rt::newIntArray(kProgressValueCount);
    progress.s_gridRowLengthTable = rt::newIntArray(kGridRowLength);
    initUnlockRecordLayout();
}

void resetUnlocks() {
    ProgressStatics& progress = progressStatics();
    progress.s_progressMaskA = kMaskADefault;
    progress.s_progressMaskB = kMaskBDefault;
    progress.s_progressMaskC = kMaskCDefault;
    progress.s_rewardGrid = 0;
    progress.s_gridFlagsA = kGridADefault;
    progress.s_gridFlagsB = 0;
    for (rt::IntArray* values : {progress.s_progressValues, progress.s_tripletFlags}) {
        if (!values)
            continue;
        for (std::int32_t& value : rt::IntArray::span(values))
            value = 0;
    }
}

bool hasProgressFlagA(std::int32_t bit) {
    return has(progressStatics().s_progressMaskA, bit);
}
bool hasProgressFlagB(std::int32_t bit) {
    return has(progressStatics().s_progressMaskB, bit);
}
void setProgressFlagC(std::int32_t bit) {
    set(progressStatics().s_progressMaskC, bit);
}
bool hasProgressFlagC(std::int32_t bit) {
    return has(progressStatics().s_progressMaskC, bit);
}

bool hasReward(std::int32_t column, std::int32_t row) {
    return has(progressStatics().s_rewardGrid, cell(column, row));
}
void setGridFlagA(std::int32_t column, std::int32_t row) {
    set(progressStatics().s_gridFlagsA, cell(column, row));
}
void setGridRowA(std::int32_t row) {
    for (std::int32_t column = 0; column < rowLength(); ++column)
        setGridFlagA(column, row);
}
bool hasGridFlagA(std::int32_t column, std::int32_t row) {
    return has(progressStatics().s_gridFlagsA, cell(column, row));
}
void setGridFlagB(std::int32_t column, std::int32_t row) {
    set(progressStatics().s_gridFlagsB, cell(column, row));
}
void setGridRowB(std::int32_t row) {
    for (std::int32_t column = 0; column < rowLength(); ++column)
        setGridFlagB(column, row);
}
void clearGridFlagB(std::int32_t column, std::int32_t row) {
    std::int32_t& grid = progressStatics().s_gridFlagsB;
    grid = static_cast<std::int32_t>(static_cast<std::uint32_t>(grid) & ~bitOf(cell(column, row)));
}
bool hasGridFlagB(std::int32_t column, std::int32_t row) {
    return has(progressStatics().s_gridFlagsB, cell(column, row));
}

void setTripletFlag(std::int32_t item, std::int32_t tier, std::int32_t bit) {
    rt::IntArray* items = progressStatics().s_tripletFlags;
    std::int32_t flags = rt::IntArray::get(items, item);
    set(flags, tier * 3 + bit);
    rt::IntArray::set(items, item, flags);
}

bool isTierComplete(std::int32_t tier) {
    rt::IntArray* items = progressStatics().s_tripletFlags;
    if (!items)
        return true;
    for (std::int32_t flags : rt::IntArray::span(items)) {
        if (!has(flags, tier * 3))
            return false;
    }
    return true;
}

void grantReward(std::int32_t column, std::int32_t row) {
    if (hasReward(column, row))
        return;
    ProgressStatics& progress = progressStatics();
    if (row == 0) {
        if (!hasReward(column, 1))
            unlockColumn(column);
        if (isTierComplete(0)) {
            progress.s_progressMaskA |= 8;
            progress.s_newMaskABits = bitList({3});
        }
    } else if (row == 1) {
        if (!hasReward(column, 0))
            unlockColumn(column);
        if (isTierComplete(1)) {
            setGridRowA(2);
            setGridRowB(2);
            progress.s_progressMaskC |= 4;
            progress.s_progressMaskA |= 16;
            progress.s_newMaskABits = bitList({4});
        }
    } else if (row == 2 && isTierComplete(2)) {
        progress.s_progressMaskA |= 32;
        progress.s_newMaskABits = bitList({5});
        progress.s_allTiersDone = 1;
    }
    set(progress.s_rewardGrid, cell(column, row));
    (void)saveProgress();
}

} // namespace game
