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

TEST(TokenStream, WritesTheBlockTreeInTheTextSyntax) {
    io::CBlockPtr root(L"Root");
    io::CBlockPtr child(L"Child \"quoted\"");
    *root << (io::CBlock_func(L"Version") << L"4" << L"0");
    *root << io::CBlock_named_value(L"Date", io::CBlock_value(L"Thu Jan  1"));
    *root << child;
    io::CBlockFuncPtr path(L"Path");
    path << 7 << 0.5 << 100.0 << true << (io::CBlock_func(L"vertex") << 1.0 << -2.0);
    *child << path;
    io::CString_ostream out;
    out.SetPrecision(16);
    out << root;
    EXPECT_EQ(out.str(),
              "\"Root\" {\n"
              "  \"Version\"(\"4\", \"0\")\n"
              "  \"Date\" = \"Thu Jan  1\"\n"
              "  \"Child \\\"quoted\\\"\" {\n"
              "    \"Path\"(7, 0.5, 100.0, true, \"vertex\"(1.0, -2.0))\n"
              "  } \"Child \\\"quoted\\\"\"\n"
              "} \"Root\"\n");
}

TEST(TokenStream, DoublesCarrySixteenDigitsAndNeverLookLikeInts) {
    io::CString_ostream out;
    io::CBlockPtr root(L"R");
    *root << (io::CBlock_func(L"f") << 0.1 + 0.2 << 1e20 << -0.0 << 2.5e-7 << 1.0 / 3.0);
    out << root;
    // 0.1 + 0.2 is 0.30000000000000004: sixteen digits round it to 0.3.
    EXPECT_NE(out.str().find("\"f\"(0.3, 1e+20, -0.0, 2.5e-07, 0.3333333333333333)"),
              std::string::npos)
        << out.str();
}
