#pragma once

// What the program plugs into start-up: the parts that belong to the game
// and to the data it loads. The composition root (shell/main.cpp) fills them.

#include <functional>

namespace platform {

class javax_microedition_midlet_MIDlet;

struct StartupHooks {
    // Runs once the runtime stands, before the screen and the MIDlet exist:
    // loads the constant strings and runs the static initialisation of the
    // game. False stops start-up. Empty: nothing to do.
    std::function<bool()> initializeStatics;
    // Makes the MIDlet to run (the game's); null stops start-up.
    std::function<javax_microedition_midlet_MIDlet*()> makeMidlet;
};

} // namespace platform
