#include "game/framework/MissingData.h"

#include "game/framework/Seams.h"
#include "game/framework/States.h"
#include "host/Log.h"
#include "platform/app/ApplicationImpl.h"
#include "platform/app/StartupHooks.h"

#include <string>

namespace game {

bool isStartingUp() {
    // The start-up states are numbered up to the title's.
    auto isStartup = [](State state) { return state <= State::Title; };
    const StateStatics& states = stateStatics();
    if (!isStartup(states.s_state))
        return false;
    for (std::int32_t position = 1; position <= states.s_stateStackDepth; ++position)
        if (!isStartup(getStackedState(position)))
            return false;
    return true;
}

void reportMissingData(rt::String* pack, std::int32_t entry, const char* what) {
    const std::string file =
        (pack ? pack->toUtf8() : std::string("(no pack)")) + " entry " + std::to_string(entry);
    host::logf(host::LogCategory::Game, "%s: the %s cannot be loaded", file.c_str(), what);
    if (isStartingUp())
        endRunWithBrokenData(file, std::string("the ") + what + " cannot be loaded");
}

bool runEnding() {
    platform::ApplicationImpl* application = platform::ApplicationImpl::current();
    return application && !application->runVerdict().ok();
}

void endRunWithBrokenData(const std::string& what, const std::string& problem) {
    // Screens driven without an application (as tests drive them) have no
    // run to end.
    platform::ApplicationImpl* application = platform::ApplicationImpl::current();
    if (!application)
        return;
    application->setRunVerdict(platform::StartupResult::broken(what, problem));
    requestState(State::Quit);
}

} // namespace game
