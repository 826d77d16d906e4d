#pragma once

// The fixed-point tables the game loads from its data at start-up: the
// quarter-wave cosine table and its companion, handed to the fixed-point
// routines (`FixedPointStatics::s_cosTable`, `s_cosCompanion`).

#include "runtime/String.h"

#include <cstdint>
#include <string>

namespace game {

// Opens the pack `packName`, reads entries `entryA` and `entryB` as typed
// int arrays into the cosine table and its companion (null for a negative
// entry, one that cannot be read or one that is no int array) and closes
// the stream.
void loadMathTables(rt::String* packName, std::int32_t entryA, std::int32_t entryB);

// What is wrong with the loaded tables, empty when they are sound: the
// cosine table is an int array of a quarter circle's units + 1 values (the
// fixed-point routines index all of them) and its companion an int array.
std::string fixedPointTableProblem();

// State 1's loading step: entries 0 and 1 of the pack named by constant
// string `packNameConstant`, with one log line saying what came (-1 for a
// table that did not). Tables that are not sound end the run as broken data,
// naming the pack and the problem.
void loadFixedPointTables(std::int32_t packNameConstant);

} // namespace game
