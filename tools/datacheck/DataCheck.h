#pragma once

// `checkDataSet`: opens a program folder through the game's own start-up and
// readers, headless and in this process, and answers every broken invariant
// the game's loaders rely on. A set that plays only because a loader logs a
// fault and goes on is broken too: every line logged while the set loads is
// a finding.
//
// The checks run on the calling thread, which becomes the game thread for the
// while; one check runs at a time in a process (the game keeps its state in
// statics).

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace datacheck {

struct Finding {
    // The resource at fault ("tracks.pak entry 3", "sprite 44", ...).
    std::string resource;
    // The rule it breaks, a short fixed name ("fog-start", "car-frames", ...).
    std::string rule;
    // What was found, in words.
    std::string detail;
};

// One line: "resource: rule: detail".
std::string describe(const Finding& finding);

std::vector<Finding> checkDataSet(const std::filesystem::path& folder);

// Whether `line` is one of the progress lines the game logs while it starts
// and runs on a sound set (state changes, what start-up loaded); any other
// line is a loader or a runtime check telling what it skipped or replaced.
bool isProgressLine(std::string_view line);

} // namespace datacheck
