#include "host/Log.h"
#include "host/Result.h"
#include "tests/support/LogCapture.h"

#include <gtest/gtest.h>

#include <string>

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
