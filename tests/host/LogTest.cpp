#include "host/Log.h"
#include "host/Result.h"
#include "tests/support/LogCapture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(Log, LinesLoseOneTrailingNewlineAndLongLinesAreTruncated) {
    testing_support::LogCapture capture;
    host::logLine(host::LogCategory::Runtime, "ERROR: Operator new failed: out of store.\n");
    host::logf(host::LogCategory::Runtime, "totalFragmentSizeNeeded=%d", 48);
    std::string huge(5000, 'x');
    host::logf(host::LogCategory::Game, "%s", huge.c_str());

    auto lines = capture.lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "ERROR: Operator new failed: out of store.");
    EXPECT_EQ(lines[1], "totalFragmentSizeNeeded=48");
    EXPECT_EQ(lines[2], std::string(host::kMaxLogLine, 'x'));
}

// Failures go where a shell user looks for them; the rest stays on standard
// output, so that a run's ordinary lines do not read as errors.
TEST(Log, TheDefaultSinkSendsFailureLinesToStandardErrorAndTheRestToStandardOutput) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    host::logLine(host::LogCategory::Platform, "Application::init");
    host::logFailure(host::LogCategory::Platform, "vorlax: unknown option --fast\n");
    host::logFailuref(host::LogCategory::Platform, "vorlax: the data set is broken: %s", "data.bar");
    std::string error = testing::internal::GetCapturedStderr();
    std::string output = testing::internal::GetCapturedStdout();
    EXPECT_EQ(output, "Application::init\n");
    EXPECT_EQ(error, "vorlax: unknown option --fast\nvorlax: the data set is broken: data.bar\n");

    testing_support::LogCapture capture;
    host::logFailure(host::LogCategory::Platform, "vorlax: no display");
    EXPECT_EQ(capture.lines(), std::vector<std::string>{"vorlax: no display"})
        << "other sinks see failures too";
}

host::Result<int> parsePositive(int value) {
    if (value <= 0)
        return host::Error::withMessage("not positive", value);
    return value;
}

host::Result<int> doubled(int value) {
    int parsed = HOST_TRY(parsePositive(value));
    return parsed * 2;
}

TEST(Result, TryPassesValuesOnAndReturnsErrorsEarly) {
    auto good = doubled(21);
    ASSERT_TRUE(good.ok());
    EXPECT_EQ(good.value(), 42);

    auto bad = doubled(-3);
    ASSERT_FALSE(bad.ok());
    EXPECT_EQ(bad.error().message, "not positive");
    EXPECT_EQ(bad.error().code, -3);
}

} // namespace
