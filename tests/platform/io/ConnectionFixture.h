#pragma once

// A runtime with the class library for the connection tests, a recording
// stand-in for what connections show, and helpers to read streams.

#include "classlib/io/InputStream.h"
#include "platform/Platform.h"
#include "platform/io/ConnectionUi.h"
#include "runtime/Exceptions.h"
#include "runtime/Runtime.h"
#include "runtime/String.h"
#include "tests/support/FreeThreads.h"
#include "tests/support/LogCapture.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace connection_testing {

class RecordingUi final : public platform::ConnectionUi {
public:
    void beginWait() override { ++waits; }
    void endWait() override { ++ends; }
    void showError(const std::string& caption, const std::string& text) override {
        errors.emplace_back(caption, text);
    }

    int waits = 0;
    int ends = 0;
    std::vector<std::pair<std::string, std::string>> errors;
};

struct ConnectionTest : ::testing::Test {
    ConnectionTest() {
        platform::installPlatform(runtime);
        platform::setConnectionUi(&ui);
    }
    ~ConnectionTest() override {
        platform::setConnectionUi(nullptr);
        rt::clearPendingException();
    }

    static rt::String* text(const std::string& s) { return rt::String::newFromCString(s.c_str()); }

    // Reads `stream` to its end (or `limit` bytes) one byte at a time.
    static std::string readAll(lib::java_io_InputStream* stream, std::size_t limit = 1 << 20) {
        std::string bytes;
        while (bytes.size() < limit) {
            std::int32_t b = stream->read();
            if (b < 0)
                break;
            bytes.push_back(static_cast<char>(b));
        }
        return bytes;
    }

    static bool takeException(rt::ClassId id) {
        bool pending = rt::exceptionPending();
        if (pending) {
            EXPECT_TRUE(rt::catchException(id));
        }
        rt::clearPendingException();
        return pending;
    }

    testing_support::LogCapture log;
    RecordingUi ui;
    testing_support::FreeThreads host;
    rt::Runtime runtime{rt::RuntimeOptions{1 << 20, 1 << 21, &host.threads, &host.clock}};
};

} // namespace connection_testing
