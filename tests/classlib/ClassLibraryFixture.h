#pragma once

// What the class library's tests share: a runtime with the class library
// installed and the constant strings the library quotes, byte-array helpers,
// and scripted streams that fail on cue.

#include "classlib/ClassLibrary.h"
#include "classlib/io/InputStream.h"
#include "classlib/io/OutputStream.h"
#include "runtime/Array.h"
#include "runtime/Exceptions.h"
#include "runtime/Runtime.h"
#include "tests/support/ConstantStrings.h"
#include "tests/support/FreeThreads.h"
#include "tests/support/LogCapture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace testing_support {

// Texts unlike the profile's own, so a test sees that they come from the table.
inline constexpr const char* kDefaultMessageText = "no details";
inline constexpr const char* kArrayIndexText = "array index ";
inline constexpr const char* kTrueText = "yes";
inline constexpr const char* kFalseText = "no";

struct ClassLibraryTest : ::testing::Test {
    ClassLibraryTest() {
        lib::installClassLibrary(runtime);
        installConstantStrings({{rt::constants::kDefaultMessage, kDefaultMessageText},
                                {rt::constants::kArrayIndexMessage, kArrayIndexText},
                                {rt::constants::kTrue, kTrueText},
                                {rt::constants::kFalse, kFalseText}});
    }
    ~ClassLibraryTest() override { rt::clearPendingException(); }

    LogCapture log;
    // With threads, so that a collection scans this thread's stack: the heaps
    // are small enough for large tests to collect and compact on the way.
    FreeThreads host;
    rt::Runtime runtime{rt::RuntimeOptions{1 << 20, 1 << 20, &host.threads, &host.clock}};
};

inline rt::ByteArray* byteArray(const std::vector<std::uint8_t>& values) {
    rt::ByteArray* array = rt::newByteArray(static_cast<std::int32_t>(values.size()));
    for (std::size_t i = 0; i < values.size(); ++i)
        array->elements()[i] = static_cast<std::int8_t>(values[i]);
    return array;
}

inline std::vector<std::uint8_t> bytesOf(const rt::ByteArray* array) {
    if (!array || array->length() <= 0)
        return {};
    auto* first = reinterpret_cast<const std::uint8_t*>(array->elements());
    return std::vector<std::uint8_t>(first, first + array->length());
}

// An input stream over fixed bytes that leaves an exception of class
// `failWith` pending at read number `failAt` (counted from 1; 0 never), and
// whose `skip` moves at most `skipStep` bytes at a time.
struct ScriptedInputStream final : lib::java_io_InputStream {
    static constexpr rt::ClassId kClassId = rt::ClassId::java_io_InputStream;
    explicit ScriptedInputStream(std::vector<std::uint8_t> data)
        : java_io_InputStream(kClassId)
        , m_data(std::move(data)) {}

    using java_io_InputStream::read;
    std::int32_t read() override {
        if (++m_reads == m_failAt)
            return rt::raise(m_failWith);
        return m_next < m_data.size() ? m_data[m_next++] : -1;
    }
    std::int64_t skip(std::int64_t n) override {
        std::int64_t step =
            std::min<std::int64_t>({n, m_skipStep, static_cast<std::int64_t>(m_data.size() - m_next)});
        if (step <= 0)
            return 0;
        m_next += static_cast<std::size_t>(step);
        return step;
    }

    std::vector<std::uint8_t> m_data;
    std::size_t m_next = 0;
    int m_reads = 0;
    int m_failAt = 0;
    rt::ClassId m_failWith = rt::ClassId::java_io_IOException;
    std::int64_t m_skipStep = INT64_MAX;
    RT_NO_REFERENCE_FIELDS(ScriptedInputStream, java_io_InputStream)
};

// An output stream that records its bytes and leaves an exception of class
// `failWith` pending at write call number `failAt` (1 for the first; 0 never),
// dropping that call's bytes.
struct ScriptedOutputStream final : lib::java_io_OutputStream {
    static constexpr rt::ClassId kClassId = rt::ClassId::java_io_OutputStream;
    ScriptedOutputStream()
        : java_io_OutputStream(kClassId) {}

    using java_io_OutputStream::write;
    void write(std::int32_t b) override {
        if (!failsNow())
            m_bytes.push_back(static_cast<std::uint8_t>(b));
    }
    void write(rt::ByteArray* b, std::int32_t off, std::int32_t len) override {
        if (failsNow())
            return;
        for (std::int32_t i = 0; i < len; ++i)
            m_bytes.push_back(static_cast<std::uint8_t>(b->elements()[off + i]));
    }
    bool failsNow() {
        if (++m_writes != m_failAt)
            return false;
        rt::raise(m_failWith);
        return true;
    }

    std::vector<std::uint8_t> m_bytes;
    int m_writes = 0;
    int m_failAt = 0;
    rt::ClassId m_failWith = rt::ClassId::java_io_IOException;
    RT_NO_REFERENCE_FIELDS(ScriptedOutputStream, java_io_OutputStream)
};

} // namespace testing_support
