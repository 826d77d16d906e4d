#include "platform/midlet/MIDlet.h"

#include "platform/app/ApplicationImpl.h"
#include "platform/shell/Shell.h"
#include "runtime/StaticClass.h"
#include "runtime/checks.h"

namespace platform {

namespace {

struct MidletStatics {
    javax_microedition_midlet_MIDlet* m_current = nullptr;
    RT_REFERENCE_FIELDS(MidletStatics, rt::NoReferenceBase, m_current)
};

} // namespace

javax_microedition_midlet_MIDlet::javax_microedition_midlet_MIDlet(rt::ClassId classId)
    : Object(classId) {
    readAppProperties();
    rt::getStaticClass().statics<MidletStatics>().m_current = this;
}

// FIXME: the application descriptor ("app.jad") is not read yet, so the
// MIDlet has no properties and every key answers the empty-value text.
void javax_microedition_midlet_MIDlet::readAppProperties() {
}

rt::String* javax_microedition_midlet_MIDlet::getAppProperty(rt::String*) {
    return rt::String::newFromCString("PROPERTY VALUE EMPTY");
}

void javax_microedition_midlet_MIDlet::notifyDestroyed() {
    if (ApplicationImpl* impl = ApplicationImpl::current())
        impl->notifyDestroyed();
}

bool javax_microedition_midlet_MIDlet::platformRequest(rt::String* url) {
    if (!url) {
        rt::reportNullPointer();
        return false;
    }
    if (ApplicationImpl* impl = ApplicationImpl::current())
        impl->shell().platformRequest(url->view());
    return false;
}

javax_microedition_midlet_MIDlet* javax_microedition_midlet_MIDlet::currentMidlet() {
    return rt::getStaticClass().statics<MidletStatics>().m_current;
}

} // namespace platform
