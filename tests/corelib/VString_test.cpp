#include "corelib/VString.h"

#include <gtest/gtest.h>

#include <list>
#include <string>
#include <tuple>
#include <utility>

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
    // "*" stands for any text, "?" for one character.
    const std::tuple<const wchar_t*, const wchar_t*, bool> matches[] = {
        {L"power_2", L"POWER_*", true},       {L"POWER_", L"POWER_*", true},
        {L"POWERPLANE_1", L"POWER_*", false}, {L"SIGNAL_1", L"POWER_*", false},
        {L"abXcd", L"ab?cd", true},           {L"aXbYc", L"a*b*c", true},
        {L"aXbYcZ", L"a*b*c", false},         {L"", L"*", true}};
    for (const auto& [text, pattern, matching] : matches) {
        EXPECT_EQ(VString(text).MatchNoCase(VString(pattern)), matching)
            << VString(text).ToNarrow() << " " << VString(pattern).ToNarrow();
    }
}

TEST(VString, IsNumberAcceptsWholeNumbersOnly) {
    const std::pair<const wchar_t*, int> whole[] = {{L" 42", 42}, {L"-7\t", -7}, {L"+3", 3}};
    for (const auto& [text, expected] : whole) {
        int value = -99;
        EXPECT_TRUE(VString(text).IsNumber(value));
        EXPECT_EQ(value, expected);
    }
    for (const wchar_t* bad : {L"", L"  ", L"4x", L"1.5", L"2147483648", L"+-1", L"0x10"}) {
        int value = -99;
        EXPECT_FALSE(VString(bad).IsNumber(value)) << VString(bad).ToNarrow();
        EXPECT_EQ(value, -99) << "a failed test leaves the value alone";
    }
    double d = 0;
    EXPECT_TRUE(VString(L"1.5e3").IsNumber(d));
    EXPECT_EQ(d, 1500.0);
    EXPECT_TRUE(VString(L" -0.25 ").IsNumber(d));
    EXPECT_EQ(d, -0.25);
    EXPECT_FALSE(VString(L"1.5.2").IsNumber(d));
    EXPECT_FALSE(VString(L"abc").IsNumber(d));
}

TEST(VString, TokenizeSplitsAtAnyDelimiter) {
    const auto parts = [](const wchar_t* text, const wchar_t* delimiters, bool keepEmpty) {
        std::list<VString> out;
        const std::size_t count = VString(text).TokenizeString(VString(delimiters), out, keepEmpty);
        std::string joined = std::to_string(count) + ":";
        for (const VString& part : out) {
            joined += " [" + part.ToNarrow() + "]";
        }
        return joined;
    };
    EXPECT_EQ(parts(L"U1-7", L"-", false), "2: [U1] [7]");
    EXPECT_EQ(parts(L"-7--x-", L"-", false), "2: [7] [x]");
    EXPECT_EQ(parts(L"-7--x-", L"-", true), "5: [] [7] [] [x] []");
    EXPECT_EQ(parts(L"a,b c", L", ", false), "3: [a] [b] [c]");
}
