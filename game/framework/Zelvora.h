#pragma once

// `Zelvora`: the game's MIDlet. Its first startApp makes the one `cGame`
// canvas, sets the library up and starts the game thread; every startApp
// reads the orientation property and resumes the game. Pause and destroy
// reach the canvas once it exists and do nothing before.
//
// Threads: the platform calls all three on the window thread.

#include "platform/midlet/MIDlet.h"

namespace game {

class Zelvora final : public platform::javax_microedition_midlet_MIDlet {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::Zelvora;

    Zelvora()
        : javax_microedition_midlet_MIDlet(kClassId) {}

    void startApp() override;
    void pauseApp() override;
    // Asks the game loop to end; the loop then calls notifyDestroyed.
    void destroyApp(bool unconditional) override;

    RT_NO_REFERENCE_FIELDS(Zelvora, javax_microedition_midlet_MIDlet)
};

} // namespace game
