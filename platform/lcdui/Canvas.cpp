#include "platform/lcdui/Canvas.h"

#include "platform/app/Application.h"
#include "platform/app/ApplicationImpl.h"
#include "platform/lcdui/Image.h"

namespace platform {

namespace {

javax_microedition_lcdui_Image* screenImage() {
    ApplicationImpl* impl = ApplicationImpl::current();
    Application* application = impl ? impl->getApplication() : nullptr;
    return application ? application->screenImage() : nullptr;
}

} // namespace

std::int32_t javax_microedition_lcdui_Canvas::getWidth() {
    javax_microedition_lcdui_Image* screen = screenImage();
    return screen ? screen->getWidth() : 0;
}

std::int32_t javax_microedition_lcdui_Canvas::getHeight() {
    javax_microedition_lcdui_Image* screen = screenImage();
    return screen ? screen->getHeight() : 0;
}

void javax_microedition_lcdui_Canvas::serviceRepaints() {
    if (ApplicationImpl* impl = ApplicationImpl::current())
        impl->serviceRepaints();
}

} // namespace platform
