#include "platform/lcdui/Display.h"

#include "platform/app/Application.h"
#include "platform/app/ApplicationImpl.h"
#include "runtime/Runtime.h"

namespace platform {

javax_microedition_lcdui_Display*
javax_microedition_lcdui_Display::getDisplay(javax_microedition_midlet_MIDlet*) {
    return rt::make<javax_microedition_lcdui_Display>();
}

bool javax_microedition_lcdui_Display::vibrate(std::int32_t) {
    return false;
}

void javax_microedition_lcdui_Display::setCurrent(javax_microedition_lcdui_Displayable* displayable) {
    ApplicationImpl* impl = ApplicationImpl::current();
    if (Application* application = impl ? impl->getApplication() : nullptr)
        application->setCurrentDisplayable(displayable);
}

} // namespace platform
