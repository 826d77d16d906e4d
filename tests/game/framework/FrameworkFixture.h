#pragma once

// What the framework's unit tests share: a small runtime with the platform
// (and so the class library) installed, the log captured, the game's
// registries filled but without state handlers (a test registers those it
// drives), and a record of the messages that state handlers receive.

#include "game/Game.h"
#include "game/framework/Seams.h"
#include "platform/Platform.h"
#include "runtime/Runtime.h"
#include "tests/support/LogCapture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace framework_testing {

// "state:message" for every message a recording handler received, in order.
inline std::vector<std::string> s_messages;

template <game::State S>
void recordMessage(std::int32_t message) {
    s_messages.push_back(std::to_string(game::stateNumber(S)) + ":" + std::to_string(message));
}

struct FrameworkTest : ::testing::Test {
    testing_support::LogCapture log;
    rt::Runtime runtime{rt::RuntimeOptions{1 << 21, 1 << 23}};

    FrameworkTest() {
        platform::installPlatform(runtime);
        game::registerGame();
        game::seams().states = {};
        s_messages.clear();
    }
    ~FrameworkTest() override { game::registerGame(); }
};

} // namespace framework_testing
