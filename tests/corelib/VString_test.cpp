#include "corelib/VString.h"

#include <gtest/gtest.h>

#include <list>

TEST(VString, WidensUtf8AndKeepsStrayBytesAsLatin1) {
    EXPECT_EQ(VString("abc").wide(), L"abc");
    // "é" in UTF-8 is C3 A9; a lone E9 byte is not UTF-8 and stands for itself.
    EXPECT_EQ(VString("\xC3\xA9").wide(), std::wstring(1, 0xE9));
    EXPECT_EQ(VString(std::string("a\xE9z")).wide(), (std::wstring{L'a', 0xE9, L'z'}));
    // An overlong encoding of '/' is not valid UTF-8: both bytes pass through.
    EXPECT_EQ(VString("\xC0\xAF").wide(), (std::wstring{0xC0, 0xAF}));
    // Embedded NUL bytes survive when the length is known.
    EXPECT_EQ(VString(std::string("a\0b", 3)).size(), 3u);
}

TEST(VString, NarrowCopyIsUtf8) {
    EXPECT_EQ(VString(L"plain").ToNarrow(), "plain");
    EXPECT_EQ(VString(std::wstring(1, 0x20AC)).ToNarrow(), "\xE2\x82\xAC");
    EXPECT_EQ(VString(std::wstring(1, 0x1F600)).ToNarrow(), "\xF0\x9F\x98\x80");
    // A surrogate value cannot be encoded and becomes U+FFFD.
    EXPECT_EQ(VString(std::wstring(1, 0xD800)).ToNarrow(), "\xEF\xBF\xBD");
    // Valid UTF-8 survives the trip through the wide form unchanged.
    const std::string mixed = "Pad \xC3\xA9t\xC3\xA9 \xE2\x82\xAC";
    EXPECT_EQ(VString(mixed).ToNarrow(), mixed);
}

TEST(VString, AppendsEveryKindOfText) {
    VString text(L"a");
    text += VString(L"b");
    text += "c";
    text += L"d";
    text += L'e';
    text += std::string("f");
    EXPECT_EQ(text.wide(), L"abcdef");
    EXPECT_EQ((VString(L"x") + VString(L"y")).wide(), L"xy");
}

TEST(VString, FormatTakesWideTextForPercentS) {
    EXPECT_EQ(VString::Formatted(L"Time: %s", L"Sat Dec  5").wide(), L"Time: Sat Dec  5");
    EXPECT_EQ(VString::Formatted(L"%s is mapped to %s", L"POWER_1", L"GND").wide(),
              L"POWER_1 is mapped to GND");
    EXPECT_EQ(VString::Formatted(L"VELDIE_%d", 1).wide(), L"VELDIE_1");
    // "%lf" is a double with six decimals, as the pad-shape names need.
    EXPECT_EQ(VString::Formatted(L"P1CIRCLE%lf", 0.5).wide(), L"P1CIRCLE0.500000");
    EXPECT_EQ(VString::Formatted(L"[%5s|%-4s|%.2s]", L"ab", L"c", L"xyz").wide(),
              L"[   ab|c   |xy]");
    EXPECT_EQ(VString::Formatted(L"%hs and %c and %%", "narrow", L'w').wide(),
              L"narrow and w and %");
    EXPECT_EQ(VString::Formatted(L"%05.1f|%x|%ld", 3.14159, 255u, 1234567890123L).wide(),
              L"003.1|ff|1234567890123");
    // Non-ASCII wide text passes through untouched.
    const std::wstring euro(1, 0x20AC);
    EXPECT_EQ(VString::Formatted(L"<%s>", euro.c_str()).wide(), L"<" + euro + L">");
    VString target(L"old");
    target.Format(L"%d-%d", 1, 2);
    EXPECT_EQ(target.wide(), L"1-2");
}

TEST(VString, ComparesAndMatchesIgnoringCase) {
    EXPECT_EQ(VString(L"Power_1").CompareNoCase(VString(L"POWER_1")), 0);
    EXPECT_LT(VString(L"abc").CompareNoCase(VString(L"ABD")), 0);
    EXPECT_GT(VString(L"abcd").CompareNoCase(VString(L"ABC")), 0);
    EXPECT_LT(VString(L"").CompareNoCase(VString(L"a")), 0);

    EXPECT_TRUE(VString(L"power_2").MatchNoCase(VString(L"POWER_*")));
    EXPECT_TRUE(VString(L"POWER_").MatchNoCase(VString(L"POWER_*")));
    EXPECT_FALSE(VString(L"POWERPLANE_1").MatchNoCase(VString(L"POWER_*")));
    EXPECT_FALSE(VString(L"SIGNAL_1").MatchNoCase(VString(L"POWER_*")));
    EXPECT_TRUE(VString(L"abXcd").MatchNoCase(VString(L"ab?cd")));
    EXPECT_TRUE(VString(L"aXbYc").MatchNoCase(VString(L"a*b*c")));
    EXPECT_FALSE(VString(L"aXbYcZ").MatchNoCase(VString(L"a*b*c")));
    EXPECT_TRUE(VString(L"").MatchNoCase(VString(L"*")));
}

TEST(VString, IsNumberAcceptsWholeNumbersOnly) {
    int i = -99;
    EXPECT_TRUE(VString(L" 42").IsNumber(i));
    EXPECT_EQ(i, 42);
    EXPECT_TRUE(VString(L"-7\t").IsNumber(i));
    EXPECT_EQ(i, -7);
    EXPECT_TRUE(VString(L"+3").IsNumber(i));
    EXPECT_EQ(i, 3);
    i = -99;
    for (const wchar_t* bad : {L"", L"  ", L"4x", L"1.5", L"2147483648", L"+-1", L"0x10"}) {
        EXPECT_FALSE(VString(bad).IsNumber(i)) << VString(bad).ToNarrow();
    }
    EXPECT_EQ(i, -99) << "a failed test leaves the value alone";

    double d = 0;
    EXPECT_TRUE(VString(L"1.5e3").IsNumber(d));
    EXPECT_EQ(d, 1500.0);
    EXPECT_TRUE(VString(L" -0.25 ").IsNumber(d));
    EXPECT_EQ(d, -0.25);
    EXPECT_FALSE(VString(L"1.5.2").IsNumber(d));
    EXPECT_FALSE(VString(L"abc").IsNumber(d));
}

TEST(VString, TokenizeSplitsAtAnyDelimiter) {
    std::list<VString> parts;
    EXPECT_EQ(VString(L"U1-7").TokenizeString(VString(L"-"), parts, false), 2u);
    EXPECT_EQ(parts.front().wide(), L"U1");
    EXPECT_EQ(parts.back().wide(), L"7");

    parts.clear();
    VString(L"-7--x-").TokenizeString(VString(L"-"), parts, false);
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts.front().wide(), L"7");

    parts.clear();
    VString(L"-7--x-").TokenizeString(VString(L"-"), parts, true);
    EXPECT_EQ(parts.size(), 5u);  // "", "7", "", "x", ""

    parts.clear();
    VString(L"a,b c").TokenizeString(VString(L", "), parts, false);
    EXPECT_EQ(parts.size(), 3u);
}

TEST(VString, CutsAndFinds) {
    const VString text(L"POWER_12");
    EXPECT_EQ(text.Left(5).wide(), L"POWER");
    EXPECT_EQ(text.Right(2).wide(), L"12");
    EXPECT_EQ(text.Right(50).wide(), L"POWER_12");
    EXPECT_EQ(text.Left(50).wide(), L"POWER_12");
    EXPECT_EQ(text.find(VString(L"_")), 5u);
    EXPECT_EQ(text.find(L'Z'), VString::npos);
    EXPECT_TRUE(VString().empty());
}
