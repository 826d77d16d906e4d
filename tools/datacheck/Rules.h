#pragma once

// The groups of invariants `checkDataSet` runs once the game has started on
// the set, one function per group, each adding a finding per broken rule.
// They read through the game's loaders and statics, on the game thread.

#include "tools/datacheck/DataCheck.h"

#include <cstdint>
#include <string>
#include <vector>

namespace rt {
class String;
}

namespace datacheck {

using Findings = std::vector<Finding>;

// Every catalogued constant string is there, and every pack or resource a
// constant string names opens.
void checkConstantsAndPacks(Findings& findings);
// The sprite slots the game draws, with the frames, animations and palettes
// their painters ask for; the fonts and their character maps.
void checkSprites(Findings& findings);
// Every character of every text of the text pack has a glyph in every font;
// every text a screen draws is there and fits the lines of its box.
void checkTexts(Findings& findings);
// The tracks, events and racers.
void checkRaceData(Findings& findings);
// The content types and the 24 sounds.
void checkSounds(Findings& findings);
// The promotion file's limits.
void checkPromotion(Findings& findings);

// Makes the pack that constant string `number` names the pack reader's
// current one, reading its header afresh.
void openPack(std::int32_t number);

// `text` for a finding: ASCII as it is, any other character as '?'.
std::string printable(const rt::String* text);

inline void addFinding(Findings& findings, std::string resource, std::string rule, std::string detail) {
    findings.push_back({std::move(resource), std::move(rule), std::move(detail)});
}

} // namespace datacheck
