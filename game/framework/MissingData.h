#pragma once

// What the game does when a resource it cannot do without (a sprite, a font
// or a text table of the front end) could not be loaded: one log line names
// the pack and the entry. While the game is still starting up (no state
// beyond the title has been on the state stack) the run ends there, with
// the broken-data exit status and that line; later the game goes on without
// the resource. Without a running application there is no run to end and
// only the line is written. Game thread only.

#include "runtime/String.h"

#include <cstdint>
#include <string>

namespace game {

// `what` names the kind of resource ("sprite", "font", "text table").
void reportMissingData(rt::String* pack, std::int32_t entry, const char* what);
// Ends the run with the broken-data exit status, naming `what` and
// `problem` as the verdict's file and problem.
void endRunWithBrokenData(const std::string& what, const std::string& problem);
// Whether the run is ending with a verdict already given (broken data):
// start-up steps after the one that found it are not run.
bool runEnding();
// Whether every state on the stack, and the current one, is a start-up state.
bool isStartingUp();

} // namespace game
