#pragma once

// `javax_microedition_midlet_MIDlet`: the application the platform runs. The
// game's MIDlet extends it; `Application` makes it, starts it, pauses and
// resumes it with the window's focus and destroys it at the end.
//
// The life-cycle operations are called on the first (window) thread.

#include "classlib/util/Hashtable.h"
#include "runtime/Object.h"
#include "runtime/String.h"

namespace platform {

class javax_microedition_midlet_MIDlet : public rt::Object {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::javax_microedition_midlet_MIDlet;

    // Reads the application properties ("app.jad" in the resource archive)
    // and becomes the current MIDlet.
    explicit javax_microedition_midlet_MIDlet(rt::ClassId classId = kClassId);

    // The operations after `Object`'s, in this order.
    // The application property `key`: never null; a key that is not there
    // answers a new String "PROPERTY VALUE EMPTY".
    virtual rt::String* getAppProperty(rt::String* key);
    virtual void startApp() = 0;
    virtual void pauseApp() = 0;
    virtual void destroyApp(bool unconditional) = 0;

    // Ends the platform's run loop; the MIDlet is destroyed at shutdown.
    void notifyDestroyed();
    // Asks the user whether to connect to the Internet and, on yes, hands
    // `url` to the browser. Answers false: the MIDlet need not exit first.
    bool platformRequest(rt::String* url);

    // The MIDlet made last (the game reads it through its statics).
    static javax_microedition_midlet_MIDlet* currentMidlet();

    RT_REFERENCE_FIELDS(javax_microedition_midlet_MIDlet, Object, m_properties)

private:
    // The application properties by key, read once by the constructor.
    lib::java_util_Hashtable* m_properties = nullptr;
};

} // namespace platform
