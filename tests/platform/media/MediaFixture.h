#pragma once

// What the media tests share: a headless host, a runtime on its threads and
// clock with the media services installed (a temporary folder of the test's
// own), and helpers to sleep as a runtime thread and read what was heard.

#include "host/headless/HeadlessHost.h"
#include "platform/Platform.h"
#include "platform/media/MediaServices.h"
#include "platform/media/Player.h"
#include "runtime/Exceptions.h"
#include "runtime/Runtime.h"
#include "runtime/Thread.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

namespace testing_support {

struct MediaTest : ::testing::Test {
    explicit MediaTest(host::HeadlessOptions options = {}) {
        host = host::makeHeadlessHost(std::move(options));
        runtime = std::make_unique<rt::Runtime>(
            rt::RuntimeOptions{4 << 20, 8 << 20, &host->threads(), &host->clock()});
        platform::installPlatform(*runtime);
        platform::setMediaServices(
            {&host->audio(), &host->mediaGraphs(), &host->threads(), folder.path().string() + "/"});
    }
    ~MediaTest() override {
        rt::clearPendingException();
        runtime.reset();
        host.reset();
    }

    void sleep(std::int64_t milliseconds) { rt::java_lang_Thread::sleep(milliseconds); }
    std::uint32_t now() { return host->clock().tickCount(); }
    host::AudioRecording heard(std::size_t stream = 0) {
        return host->headlessAudio().recordings().at(stream);
    }
    std::size_t streamsOpened() { return host->headlessAudio().recordings().size(); }
    // Whether the last call left a `java_lang_IllegalStateException` pending (and clears it).
    bool illegalState() {
        return rt::catchException(rt::ClassId::java_lang_IllegalStateException) != nullptr;
    }

    LogCapture log;
    TemporaryFolder folder{"vorlax-media"};
    std::unique_ptr<host::HeadlessHost> host;
    std::unique_ptr<rt::Runtime> runtime;
};

template <class View>
View* viewOf(rt::Object* player) {
    return rt::interfaceOf<View>(player);
}

} // namespace testing_support
