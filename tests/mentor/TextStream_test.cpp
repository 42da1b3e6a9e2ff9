#include "mentor/TextStream.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <sstream>
#include <string>

#include "corelib/VString.h"

namespace {

// Characters that make the stream's number and line rules interesting.
constexpr char k_Alphabet[] = "0123456789012345.eE+-+- \n\t\r\vxa'\"#\0";

std::string randomText(std::mt19937& random, std::size_t maxLength) {
    std::uniform_int_distribution<std::size_t> length(0, maxLength);
    std::uniform_int_distribution<std::size_t> pick(0, sizeof k_Alphabet - 1);
    std::string text(length(random), ' ');
    for (char& c : text) {
        c = k_Alphabet[pick(random)];
    }
    return text;
}

std::string describe(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\0') {
            out += "\\0";
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

// Every extraction agrees with std::istringstream on the value, the characters taken and
// the state, over many random texts and random sequences of extractions.
TEST(TextStream, AgreesWithTheStandardStream) {
    std::mt19937 random(20240611);
    for (int round = 0; round < 20000; ++round) {
        const std::string text = randomText(random, 24);
        std::istringstream reference(text);
        TextStream ours(text);
        std::string trace = "text \"" + describe(text) + "\":";
        for (int step = 0; step < 8; ++step) {
            const int operation = std::uniform_int_distribution<int>(0, 4)(random);
            if (operation == 0) {
                std::string expected = "unchanged";
                reference >> expected;
                const std::string_view got = ours.word();
                trace += " word";
                if (!reference.fail()) {
                    ASSERT_EQ(got, expected) << trace;
                } else {
                    ASSERT_TRUE(got.empty()) << trace;
                }
            } else if (operation == 1) {
                double expected = -7.5;
                double got = -7.5;
                reference >> expected;
                ours.number(got);
                trace += " double";
                ASSERT_EQ(got, expected) << trace;
            } else if (operation == 2) {
                int expected = -7;
                int got = -7;
                reference >> expected;
                ours.number(got);
                trace += " int";
                ASSERT_EQ(got, expected) << trace;
            } else if (operation == 3) {
                char buffer[6];
                reference.getline(buffer, sizeof buffer);
                const std::string_view got = ours.line(sizeof buffer);
                trace += " line";
                ASSERT_EQ(got, std::string_view(buffer)) << trace;
            } else {
                reference.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
                ours.ignoreLine();
                trace += " ignore";
            }
            ASSERT_EQ(ours.eof(), reference.eof()) << trace;
            ASSERT_EQ(ours.fail(), reference.fail()) << trace;
            const std::streampos position =
                reference.rdstate() ? std::streampos(-1) : reference.tellg();
            if (position != std::streampos(-1)) {
                // The next word shows where both streams stand.
                std::istringstream probe(text.substr(static_cast<std::size_t>(position)));
                TextStream copy = ours;
                std::string next;
                probe >> next;
                ASSERT_EQ(copy.word(), probe.fail() ? std::string() : next) << trace;
            }
        }
    }
}

TEST(TextStream, NumbersAtTheEdgesOfTheirRange) {
    struct Case {
        const char* text;
        double value;
        bool fail;
    };
    // Beyond the range: the largest double of the sign; below it: zero, and no failure.
    const Case cases[] = {{"1e400", std::numeric_limits<double>::max(), true},
                          {"-1e400", -std::numeric_limits<double>::max(), true},
                          {"1e-400", 0.0, false},
                          {"4.9e-324", 4.9e-324, false},
                          {"12abc", 12.0, false},
                          {"1e5.3", 1e5, false},
                          {"+.5", 0.5, false}};
    for (const Case& c : cases) {
        TextStream in(c.text);
        double value = -1;
        in.number(value);
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(in.fail(), c.fail) << c.text;
    }
    {
        TextStream in("2147483648 -2147483649 -2147483648 99999999999999999999999");
        int value = 0;
        EXPECT_FALSE(in.number(value));
        EXPECT_EQ(value, 2147483647);
    }
    {
        TextStream in("-2147483648");
        int value = 0;
        EXPECT_TRUE(in.number(value));
        EXPECT_EQ(value, -2147483647 - 1);
        EXPECT_TRUE(in.eof());
    }
}

TEST(TextStream, QuotedNamesRunToTheirClosingQuote) {
    {
        TextStream in("'a b  c' next");
        EXPECT_EQ(in.quoted(), "'a b  c'");
        EXPECT_EQ(in.word(), "next");
    }
    {
        // The line break belongs to the name; a double quote does not close a single one.
        TextStream in("\"x\ny 'z\" rest");
        EXPECT_EQ(in.quoted(), "\"x\ny 'z\"");
        EXPECT_TRUE(in.good());
    }
    {
        // A lone quote and a word that already ends with its quote are taken as they are.
        TextStream in("' 'ab' abc'def");
        EXPECT_EQ(in.quoted(), "'");
        EXPECT_EQ(in.quoted(), "'ab'");
        EXPECT_EQ(in.quoted(), "abc'def");
    }
    {
        // No closing quote: the rest of the text, and the stream has failed.
        TextStream in("NAME 'open to the end ");
        EXPECT_EQ(in.quoted(), "NAME");
        EXPECT_EQ(in.quoted(), "'open to the end ");
        EXPECT_TRUE(in.fail());
        EXPECT_TRUE(in.eof());
    }
    {
        // The quoted word ends the text: reading on for its quote fails at once.
        TextStream in("'abc");
        EXPECT_EQ(in.quoted(), "'abc");
        EXPECT_TRUE(in.fail());
    }
}

TEST(TextStream, LinesLongerThanTheBufferFail) {
    const std::string fits(1023, 'a');
    {
        const std::string text = fits + "\nnext";
        TextStream in(text);
        EXPECT_EQ(in.line(1024).size(), 1023u);
        EXPECT_TRUE(in.good());
        EXPECT_EQ(in.word(), "next");
    }
    {
        const std::string text = fits + "b\nnext";
        TextStream in(text);
        EXPECT_EQ(in.line(1024), fits);
        EXPECT_TRUE(in.fail());
        EXPECT_TRUE(in.word().empty());
    }
    {
        // The buffer is a C string: a NUL ends the text that is returned, not the line.
        const std::string text("ab\0cd\nnext", 10);
        TextStream in(text);
        EXPECT_EQ(in.line(), "ab");
        EXPECT_EQ(in.word(), "next");
    }
}

// scanDouble and scanInt are sscanf's "%lf" and "%d" on the token.
TEST(TextStream, TokenConversionsAgreeWithTheCLibrary) {
    const char* fixed[] = {
        "1e",          "100ergs",    "0x",    "0x1p", "infin",      "nan(",
        "-",           "+.",         "1.5e+", "0x1g", "0X1A",       "INFx",
        "1e-",         ".5",         "5.",    "-0",   "2147483648", "99999999999999999999",
        "-2147483649", "4294967297", "+-1",   "007",  "1e400",      "1e-400",
        "x12",         "12x"};
    std::mt19937 random(7);
    std::vector<std::string> tokens(std::begin(fixed), std::end(fixed));
    for (int i = 0; i < 20000; ++i) {
        tokens.push_back(randomText(random, 12));
    }
    for (const std::string& token : tokens) {
        const std::string asC(token.c_str());
        double expectedDouble = -3.25;
        const bool convertedDouble = std::sscanf(asC.c_str(), "%lf", &expectedDouble) == 1;
        double gotDouble = -3.25;
        ASSERT_EQ(scanDouble(token, gotDouble), convertedDouble) << describe(token);
        if (!std::isnan(expectedDouble)) {
            ASSERT_EQ(gotDouble, expectedDouble) << describe(token);
        }
        int expectedInt = -3;
        const bool convertedInt = std::sscanf(asC.c_str(), "%d", &expectedInt) == 1;
        int gotInt = -3;
        ASSERT_EQ(scanInt(token, gotInt), convertedInt) << describe(token);
        ASSERT_EQ(gotInt, expectedInt) << describe(token);

        int expectedNumber = -3;
        const bool isNumber = VString(asC).IsNumber(expectedNumber);
        int gotNumber = -3;
        ASSERT_EQ(isDecimalInteger(asC, gotNumber), isNumber) << describe(token);
        ASSERT_EQ(gotNumber, expectedNumber) << describe(token);
    }
}

// Plain decimals of up to 19 digits take a short way to their value; it must be the
// correctly rounded one, bit for bit what the standard stream gives.
TEST(TextStream, PlainDecimalsAreCorrectlyRounded) {
    std::mt19937_64 random(11);
    for (int round = 0; round < 200000; ++round) {
        const int digits = 1 + static_cast<int>(random() % 19);
        std::string text = random() % 2 ? "-" : "";
        const int point = static_cast<int>(random() % (digits + 1));
        for (int i = 0; i < digits; ++i) {
            if (i == point) {
                text += '.';
            }
            text += static_cast<char>('0' + random() % 10);
        }
        std::istringstream reference(text);
        double expected = 0;
        reference >> expected;
        TextStream ours(text);
        double got = 0;
        ours.number(got);
        ASSERT_EQ(std::memcmp(&got, &expected, sizeof got), 0) << text;
        double scanned = 0;
        ASSERT_TRUE(scanDouble(text, scanned));
        ASSERT_EQ(std::memcmp(&scanned, &expected, sizeof got), 0) << text;
    }
}
