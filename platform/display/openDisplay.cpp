#include "platform/display/openDisplay.h"

#include "host/Host.h"
#include "host/Log.h"
#include "platform/display/DisplayDriverDDraw.h"
#include "platform/display/DisplayDriverGDI.h"

namespace platform {

namespace {

void say(const char* line) {
    host::logLine(host::LogCategory::Platform, line);
}

std::unique_ptr<DisplayDriver> makeGdi(host::Host& host) {
    host::ScreenSize screen = host.screen().size();
    return std::make_unique<DisplayDriverGDI>(host.gdi(), screen.width, screen.height, kLogicalScreenWidth,
                                              kLogicalScreenHeight);
}

std::unique_ptr<DisplayDriver> makeDDraw(host::Host& host) {
    host::ScreenSize screen = host.screen().size();
    return std::make_unique<DisplayDriverDDraw>(host.directDraw(), screen.width, screen.height,
                                                kLogicalScreenWidth, kLogicalScreenHeight);
}

} // namespace

int openDisplay(std::u16string_view displayType, host::Host& host, host::Window* window,
                std::unique_ptr<DisplayDriver>& display) {
    if (displayType == u"DDRAW") {
        display = makeDDraw(host);
        bool opened = display->open(window);
        say(opened ? "openDisplay(DDRAW): Using DDRAW display type."
                   : "openDisplay(DDRAW): Could not create a DDRAW display type.");
        return opened ? 1 : 0;
    }
    if (displayType == u"GDI") {
        display = makeGdi(host);
        bool opened = display->open(window);
        say(opened ? "\nApplicationImpl::openDisplay(GDI): Using GDI display type.\n"
                   : "\nApplicationImpl::openDisplay(GDI): Could not create a GDI display type.\n");
        return opened ? 1 : 0;
    }
    if (displayType == u"AUTO") {
        display = makeDDraw(host);
        if (display->open(window)) {
            say("\nApplicationImpl::openDisplay(AUTO): Using DDRAW display type.\n");
            return 1;
        }
        say("\nApplicationImpl::openDisplay(AUTO): Could not create a DDRAW display type.\n");
        display = makeGdi(host);
        if (display->open(window)) {
            say("\nApplicationImpl::openDisplay(AUTO): Using GDI display type.\n");
            return 1;
        }
        say("\nApplicationImpl::openDisplay(AUTO): Could not create a GDI display type.\n");
        return 0;
    }
    display.reset();
    say("\nApplicationImpl::openDisplay(): Display type invalid.\n");
    return 0;
}

} // namespace platform
