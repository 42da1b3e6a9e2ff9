#include "mentor/TextStream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

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

std::string describe(std::string_view text) {
    std::string out;
    for (char c : text) {
        out += c == '\0' ? "\\0" : c == '\n' ? "\\n" : std::string(1, c);
    }
    return out;
}

std::string exactly(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.17g", value);
    return buffer;
}

// Runs the extractions named by `steps` (w: word, d: double, i: int, l: line into a
// 6-byte buffer, L: into a 1024-byte one, g: ignore the line) on a TextStream and on a
// std::istringstream. Empty when both agree after every step on the value, the state and
// where they stand; otherwise the steps up to the first difference.
std::string disagreement(const std::string& text, const std::string& steps) {
    std::istringstream reference(text);
    TextStream ours(text);
    std::string trace = "text \"" + describe(text) + "\":";
    for (char step : steps) {
        trace += ' ';
        trace += step;
        std::string expected;
        std::string got;
        if (step == 'w') {
            reference >> expected;
            expected = reference.fail() ? "" : expected;
            got = ours.word();
        } else if (step == 'd') {
            double referenceValue = -7.5;
            double value = -7.5;
            reference >> referenceValue;
            ours.number(value);
            expected = exactly(referenceValue);
            got = exactly(value);
        } else if (step == 'i') {
            int referenceValue = -7;
            int value = -7;
            reference >> referenceValue;
            ours.number(value);
            expected = std::to_string(referenceValue);
            got = std::to_string(value);
        } else if (step == 'l' || step == 'L') {
            std::vector<char> buffer(step == 'l' ? 6 : 1024);
            reference.getline(buffer.data(), static_cast<std::streamsize>(buffer.size()));
            expected = buffer.data();
            got = ours.line(buffer.size());
        } else {
            reference.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
            ours.ignoreLine();
        }
        if (got != expected || ours.eof() != reference.eof() || ours.fail() != reference.fail()) {
            return trace + " gives \"" + describe(got) + "\" instead of \"" + describe(expected)
                   + "\" or the state differs";
        }
        if (!reference.rdstate()) {
            // The next word shows where both streams stand.
            std::istringstream probe(text.substr(static_cast<std::size_t>(reference.tellg())));
            TextStream copy = ours;
            std::string next;
            probe >> next;
            if (copy.word() != (probe.fail() ? std::string() : next)) {
                return trace + " leaves the streams at different places";
            }
        }
    }
    return "";
}

}  // namespace

TEST(TextStream, AgreesWithTheStandardStream) {
    const std::pair<std::string, std::string> fixed[] = {
        // Numbers beyond the range of a double or of 32 bits, below the smallest double,
        // and numbers that stop inside a word.
        {"1e400", "dw"},
        {"-1e400", "d"},
        {"1e-400 4.9e-324 12abc 1e5.3 +.5", "dddwddd"},
        {"2147483648", "iw"},
        {"-2147483649", "i"},
        {"-2147483648", "iw"},
        {"99999999999999999999999", "i"},
        // A line that just fits the buffer, one that does not, and a NUL inside a line.
        {std::string(1023, 'a') + "\nnext", "Lw"},
        {std::string(1024, 'a') + "\nnext", "Lw"},
        {std::string("ab\0cd\nnext", 10), "Lw"},
    };
    for (const auto& [text, steps] : fixed) {
        EXPECT_EQ(disagreement(text, steps), "");
    }
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> pick(0, 4);
    for (int round = 0; round < 20000; ++round) {
        const std::string text = randomText(random, 24);
        std::string steps;
        for (int step = 0; step < 8; ++step) {
            steps += "wdilg"[pick(random)];
        }
        ASSERT_EQ(disagreement(text, steps), "");
    }
}

TEST(TextStream, QuotedNamesRunToTheirClosingQuote) {
    struct Case {
        const char* text;
        std::vector<std::string> names;
        bool fail;
    };
    const Case cases[] = {
        {"'a b  c' next", {"'a b  c'", "next"}, false},
        // The line break belongs to the name; a double quote does not close a single one.
        {"\"x\ny 'z\" rest", {"\"x\ny 'z\"", "rest"}, false},
        // A lone quote and a word that already ends with its quote are taken as they are.
        {"' 'ab' abc'def", {"'", "'ab'", "abc'def"}, false},
        // No closing quote: the rest of the text, and the stream has failed.
        {"NAME 'open to the end ", {"NAME", "'open to the end "}, true},
        {"'abc", {"'abc"}, true},
    };
    for (const Case& c : cases) {
        TextStream in(c.text);
        std::vector<std::string> names;
        for (std::size_t i = 0; i < c.names.size(); ++i) {
            names.emplace_back(in.quoted());
        }
        EXPECT_EQ(names, c.names) << c.text;
        EXPECT_EQ(in.fail(), c.fail) << c.text;
    }
}

// scanDouble and scanInt are sscanf's "%lf" and "%d" on the token; isDecimalInteger is
// the core library's number test.
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
        double gotDouble = -3.25;
        ASSERT_EQ(scanDouble(token, gotDouble),
                  std::sscanf(asC.c_str(), "%lf", &expectedDouble) == 1)
            << describe(token);
        if (!std::isnan(expectedDouble)) {
            ASSERT_EQ(gotDouble, expectedDouble) << describe(token);
        }
        int expectedInt = -3;
        int gotInt = -3;
        ASSERT_EQ(scanInt(token, gotInt), std::sscanf(asC.c_str(), "%d", &expectedInt) == 1)
            << describe(token);
        ASSERT_EQ(gotInt, expectedInt) << describe(token);

        int expectedNumber = -3;
        int gotNumber = -3;
        ASSERT_EQ(isDecimalInteger(asC, gotNumber), VString(asC).IsNumber(expectedNumber))
            << describe(token);
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
            text += i == point ? "." : "";
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
