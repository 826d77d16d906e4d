#include "game/race/EventType.h"

#include <ostream>

namespace game {

std::ostream& operator<<(std::ostream& out, EventType type) {
    return out << eventTypeNumber(type);
}

} // namespace game
