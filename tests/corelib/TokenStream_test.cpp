#include "corelib/TokenStream.h"

#include <gtest/gtest.h>

#include "tests/support/TempDir.h"

using testing_support::TempDir;

TEST(RunLog, EveryMessageIsFollowedByAnEmptyLine) {
    io::CString_ostream log;
    io::logMessage(log, VString(L"Parsing Mentor ASCII files. Time: T"));
    io::logMessage(log, VString(L"Done!Time: T"));
    EXPECT_EQ(log.str(), "Parsing Mentor ASCII files. Time: T\n\nDone!Time: T\n\n");
}

TEST(TokenStream, WritesAFileAndReportsFailures) {
    TempDir dir;
    {
        io::CToken_grammar grammar;
        io::CToken_ostream out(LongFileName(VString(dir.str() + "/a.log")), 32);
        ASSERT_TRUE(out.IsOpen());
        out.WriteText(VString(std::wstring(1, 0xE9)));
        out.EndLine();
        // Each line end reaches the file at once, before the stream is closed.
        EXPECT_EQ(dir.read("a.log"), "\xC3\xA9\n");
        EXPECT_TRUE(out.Close());
    }
    io::CToken_ostream missing(LongFileName(VString(dir.str() + "/no/such/dir/b.log")), 32);
    EXPECT_FALSE(missing.IsOpen());
    missing.WriteText(VString(L"lost"));
    EXPECT_FALSE(missing.Close());
}
