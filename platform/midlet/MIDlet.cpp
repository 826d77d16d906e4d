#include "platform/midlet/MIDlet.h"

#include "platform/app/ApplicationImpl.h"
#include "platform/io/ApplicationProperties.h"
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
    m_properties = readApplicationProperties();
    rt::getStaticClass().statics<MidletStatics>().m_current = this;
}

rt::String* javax_microedition_midlet_MIDlet::getAppProperty(rt::String* key) {
    return getApplicationProperty(m_properties, key);
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
