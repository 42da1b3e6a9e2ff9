#include <gtest/gtest.h>

#include <cstdlib>

#include "corelib/Assert.h"
#include "corelib/Clock.h"
#include "corelib/FileName.h"
#include "tests/support/Recorder.h"

using testing_support::Recorder;

TEST(Assertions, ReportSourceAndConditionAndContinue) {
    Recorder recorder;
    int after = 0;
    for (int i = 0; i < 2; ++i) {
        VCORE_ASSERT_TEXT("math/geometry/Circle", i > 5, "m_Radius >= k_Unit_0");
        ++after;
    }
    VCORE_ASSERT("MentorParser", after == 2);
    EXPECT_EQ(after, 2);
    ASSERT_EQ(recorder.assertions.size(), 2u) << "every failure is reported, the site stays on";
    EXPECT_EQ(recorder.assertions[0].source, "math/geometry/Circle");
    EXPECT_EQ(recorder.assertions[0].expression, "m_Radius >= k_Unit_0");

    IgnoreAllAsserts_G = true;
    VCORE_ASSERT("MentorParser", false);
    IgnoreAllAsserts_G = false;
    ASSERT_EQ(recorder.assertions.size(), 3u) << "ignored failures are still logged";
    EXPECT_EQ(recorder.assertions[2].expression, "false");
}

TEST(Clock, TimeTextHasTheCtimeLayout) {
    // The tests run with TZ=UTC.
    EXPECT_EQ(platform::timeText(0).wide(), L"Thu Jan  1 00:00:00 1970");
    // 2026-12-05 16:21:09 UTC: a Saturday, day of month with two digits.
    EXPECT_EQ(platform::timeText(1796487669).wide(), L"Sat Dec  5 16:21:09 2026");
    // 10000-01-01 is a Saturday; a five-digit year is cut to the 24 characters.
    EXPECT_EQ(platform::timeText(253402300800).wide(), L"Sat Jan  1 00:00:00 1000");
}

TEST(Clock, SourceDateEpochFixesTheInstant) {
    ::setenv("SOURCE_DATE_EPOCH", "86400", 1);
    EXPECT_EQ(platform::now(), 86400);
    EXPECT_EQ(platform::timeText().wide(), L"Fri Jan  2 00:00:00 1970");
    for (const char* invalid : {"", "12x", "-5", "abc"}) {
        ::setenv("SOURCE_DATE_EPOCH", invalid, 1);
        EXPECT_FALSE(platform::sourceDateEpoch().has_value()) << invalid;
    }
    ::unsetenv("SOURCE_DATE_EPOCH");
    EXPECT_FALSE(platform::sourceDateEpoch().has_value());
}

TEST(FileName, ChangeExtKeepsDotsInTheDirectory) {
    LongFileName name(VString(L"dir.v1/board.txt"));
    EXPECT_EQ(name.ChangeExt(VString(L"vnf")).path().wide(), L"dir.v1/board.vnf");
    LongFileName bare(VString(L"dir.v1/board_V4"));
    EXPECT_EQ(bare.ChangeExt(VString(L"vnf")).path().wide(), L"dir.v1/board_V4.vnf");
}
