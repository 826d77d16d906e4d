#include "game/race/RaceSeams.h"

namespace game {

RaceSeams& raceSeams() {
    // Function pointers only: nothing here is a guest reference.
    static RaceSeams s_seams;
    return s_seams;
}

} // namespace game
