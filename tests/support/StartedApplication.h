#pragma once

// The platform started as the shell starts it, without its run loop: a
// headless host, the window, the display, the runtime, the screen and the
// test MIDlet (without a game thread unless asked), the window active. The
// calling thread is the first thread; tests and benchmarks drive it directly.

#include "host/headless/HeadlessHost.h"
#include "platform/app/Application.h"
#include "platform/shell/Shell.h"
#include "tests/support/TestMidlet.h"

#include <memory>
#include <string>

namespace testing_support {

struct StartedApplication {
    // `programFolder` empty: the current folder. `script` gives the host's
    // answers (its events stay unread: the tests pump the window themselves).
    explicit StartedApplication(bool gameThread = false, const std::string& programFolder = {},
                                const char* script = "", bool fillFrames = true) {
        record.startGameThread = gameThread;
        record.fillFrames = fillFrames;
        host::HeadlessOptions options;
        options.script = host::parseScript(script).value();
        options.folders.programFolder = programFolder;
        host = host::makeHeadlessHost(std::move(options));
        shell = std::make_unique<platform::Shell>(*host, midletHooks(record));
        started = host->window().open(platform::kWindowClass, platform::kWindowTitle).ok() &&
                  impl().openDisplay(u"GDI") && impl().init().ok();
        impl().setActive(true);
    }
    ~StartedApplication() { shell->cleanup(); }

    platform::ApplicationImpl& impl() { return shell->applicationImpl(); }
    platform::Application& application() { return *impl().getApplication(); }
    TestMidlet& midlet() { return static_cast<TestMidlet&>(*application().midlet()); }

    MidletRecord record;
    std::unique_ptr<host::HeadlessHost> host;
    std::unique_ptr<platform::Shell> shell;
    bool started = false;
};

} // namespace testing_support
