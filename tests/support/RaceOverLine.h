#pragma once

// Reads the line a race's end writes to the log: "race over: place P of N,
// time M:SS.mmm, laps L, best lap M:SS.mmm, winner M:SS.mmm" (the best lap
// only when a lap was completed).

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace testing_support {

struct RaceOverLine {
    std::string text; // from "race over:" to the line's end
    int place = 0;
    int racers = 0;
    int minutes = 0; // of the player's time
    int laps = 0;
};

inline std::optional<RaceOverLine> parseRaceOverLine(std::string_view line) {
    const std::size_t at = line.find("race over: ");
    if (at == std::string_view::npos)
        return std::nullopt;
    RaceOverLine r;
    r.text = std::string(line.substr(at));
    int seconds = 0, millis = 0, end = 0;
    const int read = std::sscanf(r.text.c_str(), "race over: place %d of %d, time %d:%2d.%3d, laps %d,%n",
                                 &r.place, &r.racers, &r.minutes, &seconds, &millis, &r.laps, &end);
    if (read != 6 || end == 0 || seconds > 59 || r.place < 1 || r.place > r.racers)
        return std::nullopt;
    if (r.text.find(", winner ", static_cast<std::size_t>(end)) == std::string::npos)
        return std::nullopt;
    return r;
}

} // namespace testing_support
