#include "corelib/VnfText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "corelib/TokenStream.h"

namespace {

std::string write(const io::CBlock& root, int precision = 16) {
    io::CString_ostream out;
    out.SetPrecision(precision);
    out << root;
    return out.str();
}

// Reads text that must be well-formed; the test fails with the reader's message otherwise.
std::shared_ptr<io::CBlock> read(std::string_view text) {
    io::VnfParseResult result = io::parseVnfText(text);
    EXPECT_TRUE(result.root) << "line " << result.errorLine << ": " << result.error;
    return result.root;
}

// A root block "R" holding one line of text.
std::string inRoot(const std::string& line) {
    return "\"R\" {\n  " + line + "\n} \"R\"\n";
}

// A root block "R" holding the function item "f" with `values`.
io::CBlockPtr withDoubles(std::initializer_list<double> values) {
    io::CBlockPtr root(L"R");
    io::CBlock_func f(L"f");
    for (double value : values) {
        f << value;
    }
    *root << f;
    return root;
}

// The first argument of the only function item of a root block.
double firstDouble(const io::CBlock& root) {
    const auto& func = std::get<std::shared_ptr<const io::CBlock_func>>(root.items().at(0));
    return std::get<double>(func->arguments().at(0));
}

double readBack(double value, int precision = 16) {
    const auto tree = read(write(*withDoubles({value}), precision));
    return tree ? firstDouble(*tree) : 0;
}

// The significant digits of the shortest text that reads back as `value`.
long shortestDigits(double value) {
    char text[32];
    char* end = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific).ptr;
    return std::count_if(text, std::find(text, end, 'e'),
                         [](char c) { return c >= '0' && c <= '9'; });
}

bool sameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Names with every character the escapes must carry, and the characters around them.
std::vector<std::wstring> awkwardNames() {
    std::vector<std::wstring> names = {L"",
                                       L" ",
                                       L"two words",
                                       L"it's",
                                       L"say \"hi\"",
                                       L"a.b.c",
                                       L"\t",
                                       L"line\nbreak\r",
                                       L"back\\slash\\",
                                       L"\\\"",
                                       L"\\u{41}",
                                       L"} \"R\"",
                                       L"\x00e9t\x00e9",
                                       L"\x65e5\x672c",
                                       L"\U0001F600",
                                       L"\x0001\x001f\x007f\x0080\x009f",
                                       L"\xfffd\xfeff\xffff"};
    names.push_back(std::wstring(L"nul\0inside", 10));
    names.push_back(std::wstring(1, L'\0'));
    // Values that are no Unicode scalar value, carried as escapes.
    for (std::uint32_t value :
         {0xD800u, 0xDBFFu, 0xDC00u, 0xDFFFu, 0x110000u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
        names.push_back(L"x" + std::wstring(1, static_cast<wchar_t>(value)) + L"y");
    }
    return names;
}

}  // namespace

TEST(VnfText, TreeTextTreeIsTheIdentity) {
    io::CBlockPtr root(L"VeltroNeutralFile");
    for (const std::wstring& name : awkwardNames()) {
        io::CBlockPtr block{VString(name)};
        *block << (io::CBlockFuncPtr{VString(name)} << VString(name) << 1);
        *block << io::CBlock_named_value(VString(name), io::CBlock_value(VString(name)));
        *block << io::CBlockPtr{VString(name)};
        *root << block;
    }
    // Every argument type, a nested function item holding another, and empty argument lists.
    io::CBlockPtr args(L"Arguments");
    io::CBlock_func inner(L"inner");
    inner << 3 << (io::CBlock_func(L"innermost") << L"deep");
    *args << (io::CBlockFuncPtr(L"all")
              << 0 << -1 << std::numeric_limits<int>::max() << std::numeric_limits<int>::min()
              << 0.5 << -0.0 << 0.0 << 1e300 << 5e-324 << true << false << L"" << L"text" << inner
              << io::CBlock_func(L"none"));
    *args << io::CBlockFuncPtr(L"");
    *args << (io::CBlockFuncPtr(L"specials")
              << std::numeric_limits<double>::infinity() << -std::numeric_limits<double>::infinity()
              << std::numeric_limits<double>::quiet_NaN());
    *root << args;
    *root << io::CBlockPtr(L"Empty");
    const std::string text = write(*root);
    const auto tree = read(text);
    ASSERT_TRUE(tree);
    EXPECT_TRUE(*tree == *root);
    EXPECT_EQ(write(*tree), text);
}

TEST(VnfText, TextTreeTextIsByteIdentical) {
    const std::string document =
        "\"VeltroNeutralFile\" {\n"
        "  \"Version\"(\"4\", \"0\")\n"
        "  \"Date\" = \"Thu Jan  1 00:00:00 1970\"\n"
        "  \"Pad \\\"A\\\".1\" {\n"
        "    \"Polygon\"(1, \"vertex\"(0.0, -2.25e-05), \"vertex\"(1.27, 1e+16))\n"
        "    \"Nested\" {\n"
        "    } \"Nested\"\n"
        "  } \"Pad \\\"A\\\".1\"\n"
        "  \"\\u{0}\\t\xC3\xA9\" = \"\"\n"
        "} \"VeltroNeutralFile\"\n";
    const auto tree = read(document);
    ASSERT_TRUE(tree);
    EXPECT_EQ(write(*tree), document);
}

TEST(VnfText, EscapesOnlyWhatCannotStandForItself) {
    io::CBlockPtr root(L"R");
    *root << (io::CBlockFuncPtr(L"s")
              << L"say \"hi\" \\ \t\n\r" << L"" << L"\x0001\x001f\x007f" << L"\x00e9\x0080"
              << L"\U0001F600" << VString(std::wstring(1, L'\0'))
              << VString(std::wstring{static_cast<wchar_t>(0xD800), static_cast<wchar_t>(0x110000),
                                      static_cast<wchar_t>(0xFFFFFFFFu)}));
    // U+00E9 is C3 A9 in UTF-8, U+0080 is C2 80, U+1F600 is F0 9F 98 80.
    EXPECT_EQ(write(*root),
              "\"R\" {\n"
              "  \"s\"(\"say \\\"hi\\\" \\\\ \\t\\n\\r\", \"\", \"\\u{1}\\u{1f}\\u{7f}\", "
              "\"\xC3\xA9\xC2\x80\", \"\xF0\x9F\x98\x80\", \"\\u{0}\", "
              "\"\\u{d800}\\u{110000}\\u{ffffffff}\")\n"
              "} \"R\"\n");
}

TEST(VnfText, ReadsEveryArgumentForm) {
    const auto tree = read(inRoot(
        "\"f\"(0, -7, 2147483647, -2147483648, 1.5, -0.0, 2.0, 1e+16, 2.5e-07, 1.50, 1e5, 7e-1, "
        "true, false, inf, -inf, nan, \"\", \"\\u{41}\\u{E9}\\u{0000061}\", \"g\"(), "
        "\"h\"(\"i\"(1)))"));
    ASSERT_TRUE(tree);
    io::CBlockPtr expected(L"R");
    *expected << (io::CBlockFuncPtr(L"f")
                  << 0 << -7 << 2147483647 << std::numeric_limits<int>::min() << 1.5 << -0.0 << 2.0
                  << 1e16 << 2.5e-7 << 1.5 << 100000.0 << 0.7 << true << false
                  << std::numeric_limits<double>::infinity()
                  << -std::numeric_limits<double>::infinity()
                  << std::numeric_limits<double>::quiet_NaN() << L""
                  << VString(std::wstring{L'A', 0xE9, L'a'}) << io::CBlock_func(L"g")
                  << (io::CBlock_func(L"h") << (io::CBlock_func(L"i") << 1)));
    EXPECT_TRUE(*tree == *expected) << write(*tree);

    // A block end may spell its name with other escapes: the names are compared decoded.
    const auto respelled = read("\"A\" {\n} \"\\u{41}\"\n");
    ASSERT_TRUE(respelled);
    EXPECT_EQ(respelled->name(), L"A");
}

TEST(VnfText, DoublesWithSixteenDigitsReadBackAsTheNearestDouble) {
    // Each text reads back to a double that is written as the same text again, and a
    // double whose shortest form has at most 16 digits comes back bit for bit, as any
    // double does when written with 17 digits: fixed values, doubles from all over the
    // range, and every power of two with its neighbours, where the spacing of doubles
    // changes.
    std::vector<double> values = {
        0.1,    1234567890123456.0,    0.1234567890123456, 2.5e-7, 1e16, -0.0, 1.0 / 3.0, 123.456,
        5e-324, 2.225073858507201e-308};
    std::mt19937_64 random(20240601);
    for (int i = 0; i < 20000; ++i) {
        values.push_back(std::bit_cast<double>(random()));
    }
    for (int exponent = -1074; exponent <= 1023; ++exponent) {
        const double power = std::ldexp(1.0, exponent);
        values.insert(values.end(), {std::nextafter(power, 0.0), power, -power,
                                     std::nextafter(power, 2 * power)});
    }
    for (double value : values) {
        const std::string text = write(*withDoubles({value}));
        const auto back = io::parseVnfText(text).root;
        ASSERT_TRUE(back) << text;
        ASSERT_EQ(write(*back), text);
        if (!std::isnan(value)) {
            ASSERT_TRUE(shortestDigits(value) > 16 || sameBits(firstDouble(*back), value)) << text;
            ASSERT_TRUE(sameBits(readBack(value, 17), value)) << value;
        }
    }

    // 0.1 + 0.2 is 0.30000000000000004 and needs 17 digits: it comes back as 0.3, one
    // step below. Written with 17 digits it comes back exactly.
    const double sum = 0.1 + 0.2;
    EXPECT_EQ(readBack(sum), 0.3);
    EXPECT_EQ(write(*withDoubles({sum}), 17), inRoot("\"f\"(0.30000000000000004)"));
    EXPECT_EQ(readBack(sum, 17), sum);
    // Below a power of two the doubles lie twice as close, and 16-digit rounding can land
    // there: 2^-24 is 5.9604644775390625e-08, rounded to even 5.960464477539062e-08, which
    // reads back one step below. The writer takes the exact 5.960464477539063e-08, and for
    // 2^149 = 7.1362384635297994e+44 the 14 digits of 7.1362384635298e+44.
    EXPECT_EQ(write(*withDoubles({std::ldexp(1.0, -24), std::ldexp(1.0, 149)})),
              inRoot("\"f\"(5.960464477539063e-08, 7.1362384635298e+44)"));
    // 9007199254740993 lies halfway between two doubles; it reads as the even one.
    EXPECT_EQ(firstDouble(*read(inRoot("\"f\"(9007199254740993.0)"))), 9007199254740992.0);
    // The largest double rounds up to 1.797693134862316e+308, beyond the range of doubles;
    // that text (and the one with 15 digits) reads back as the largest double, as does the
    // text of its neighbour below, which rounds to the same 16 digits.
    const double largest = std::numeric_limits<double>::max();
    EXPECT_EQ(write(*withDoubles({largest, -largest, std::nextafter(largest, 0.0)})),
              inRoot("\"f\"(1.797693134862316e+308, -1.797693134862316e+308, "
                     "1.797693134862316e+308)"));
    EXPECT_EQ(readBack(largest), largest);
    EXPECT_EQ(readBack(-largest), -largest);
    EXPECT_EQ(readBack(largest, 15), largest);
    // Every NaN is written "nan" and reads back as the quiet NaN.
    EXPECT_TRUE(sameBits(readBack(-std::numeric_limits<double>::quiet_NaN()),
                         std::numeric_limits<double>::quiet_NaN()));
}

// Doubles are written from their shortest digits where those decide the rounding; the text
// must be what printf's %g gives at the same precision, digit for digit: random bit
// patterns, board-like values (counts times a unit factor, whole and decimal lengths), and
// values a few steps from powers of ten and from rounding midpoints, at every precision.
TEST(VnfText, DoublesAreWrittenAsTheGeneralFormatWritesThem) {
    std::mt19937_64 random(20261206);
    std::vector<double> values;
    for (int i = 0; i < 1000000; ++i) {
        const double any = std::bit_cast<double>(random());
        if (std::isfinite(any)) {
            values.push_back(any);
        }
        const auto count =
            static_cast<double>(static_cast<std::int64_t>(random() % 400000000) - 200000000);
        values.push_back(count * 3.937007874e-4);
        values.push_back(count * 1e-5);
        values.push_back(count / 1000.0);
        values.push_back(static_cast<double>(random() % 1000000) / 10.0);
    }
    for (int exponent = -320; exponent <= 308; ++exponent) {
        const double power = std::pow(10.0, exponent);
        for (const double v : {power, 5 * power, 9.5 * power, 1.25 * power}) {
            double near = v;
            for (int step = 0; step < 4; ++step) {
                near = std::nextafter(near, 0.0);
            }
            for (int step = 0; step < 8 && std::isfinite(near); ++step) {
                values.push_back(near);
                near = std::nextafter(near, 2 * v + 1);
            }
        }
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        const double value = values[i];
        // Precision 16 for most values (the writer's), every other precision in turn.
        const int precision = i % 8 == 0 ? 1 + static_cast<int>(i / 8 % 17) : 16;
        char expected[64];
        std::string text(expected, std::to_chars(expected, expected + sizeof expected, value,
                                                 std::chars_format::general, precision)
                                       .ptr);
        if (text.find_first_of(".e") == std::string::npos) {
            text += ".0";
        }
        std::string written;
        io::appendVnfDouble(written, value, precision);
        // Powers of two keep their own, exact, digits where the rounded ones miss them.
        if (written != text) {
            int exponent = 0;
            ASSERT_EQ(std::fabs(std::frexp(value, &exponent)), 0.5) << text << " " << written;
        }
    }
}

TEST(VnfText, RejectsMalformedTextWithItsLine) {
    const std::string longName(100, 'n');
    struct Case {
        std::string text;
        std::size_t line;
        std::string message;
    };
    const Case cases[] = {
        // Empty and foreign files.
        {"", 1, "empty file: expected the root block"},
        {std::string("\x00\xff\xfe\x01garbage", 11), 1,
         "expected the quoted name of the root block"},
        {"\xEF\xBB\xBF\"R\" {\n} \"R\"\n", 1, "expected the quoted name of the root block"},
        {"} \"R\"\n", 1, "expected the quoted name of the root block"},
        {"\"f\"(1)\n", 1, "expected ' {' after the name of the root block"},
        {"\"R\" {\n\x7f\x45LF\x02\x01\n", 2, "expected 2 blanks of indentation, found 0"},
        // Strings.
        {inRoot("\"f\"(\"abc)"), 2, "unterminated string"},
        {"\"R\" {\n  \"f\"(\"abc", 2, "unterminated string"},
        {inRoot("\"f\"(\"abc\\"), 2, "unterminated string"},
        {inRoot("\"f\"(\"a\\qb\")"), 2, "unknown escape \\q in a string"},
        {inRoot("\"f\"(\"a\\\x01\")"), 2, "unknown escape: '\\' followed by byte 0x01 in a string"},
        {inRoot("\"f\"(\"\\u41\")"), 2, "expected '{' after \\u in a string"},
        {inRoot("\"f\"(\"\\u{}\")"), 2, "expected hex digits and '}' in a \\u{...} escape"},
        {inRoot("\"f\"(\"\\u{12g}\")"), 2, "expected hex digits and '}' in a \\u{...} escape"},
        {inRoot("\"f\"(\"\\u{100000000}\")"), 2, "more than 8 hex digits in a \\u{...} escape"},
        {inRoot("\"f\"(\"tab\there\")"), 2,
         "control character 0x09 in a string (write it as an escape)"},
        {inRoot("\"f\"(\"\x7f\")"), 2,
         "control character 0x7f in a string (write it as an escape)"},
        {inRoot(std::string("\"f\"(\"nul\0\")", 10)), 2,
         "control character 0x00 in a string (write it as an escape)"},
        // A lone continuation byte, an overlong NUL, an encoded surrogate, a value above
        // U+10FFFF and a sequence cut short by the closing quote.
        {inRoot("\"f\"(\"\x80\")"), 2, "invalid UTF-8 in a string"},
        {inRoot("\"f\"(\"\xC0\x80\")"), 2, "invalid UTF-8 in a string"},
        {inRoot("\"f\"(\"\xED\xA0\x80\")"), 2, "invalid UTF-8 in a string"},
        {inRoot("\"f\"(\"\xF4\x90\x80\x80\")"), 2, "invalid UTF-8 in a string"},
        {inRoot("\"f\"(\"\xE6\x97\")"), 2, "invalid UTF-8 in a string"},
        // Layout.
        {"\"R\" {\n   \"f\"()\n} \"R\"\n", 2, "expected 2 blanks of indentation, found 3"},
        {"\"R\" {\n\t\"f\"()\n} \"R\"\n", 2, "expected 2 blanks of indentation, found 0"},
        {"\"R\" {\n\n} \"R\"\n", 2, "empty line"},
        {"\"R\" {\n  } \"R\"\n", 2, "expected 0 blanks of indentation, found 2"},
        {"\"R\" {\n  f()\n} \"R\"\n", 2, "expected a quoted name"},
        {inRoot("\"x\""), 2, "expected ' {', '(' or ' = ' after the name"},
        {inRoot("\"x\"{"), 2, "expected ' {', '(' or ' = ' after the name"},
        {inRoot("\"x\" = y"), 2, "expected a quoted value after ' = '"},
        {inRoot("\"x\" = \"y\" "), 2, "unexpected text at the end of the line"},
        {"\"R\" {\r\n} \"R\"\r\n", 1,
         "carriage return before the line end (lines end with a line feed alone)"},
        {"\"R\" {\n} \"R\"", 2, "missing line end at the end of the file"},
        {"\"R\" {\n}\"R\"\n", 2, "expected a blank and the block's name after '}'"},
        {"\"R\" {\n} R\n", 2, "expected the block's quoted name after '} '"},
        // Block ends.
        {"\"R\" {\n  \"B\" {\n  } \"C\"\n} \"R\"\n", 3,
         "block end \"C\" does not match block \"B\" opened on line 2"},
        {"\"R\" {\n  \"B\" {\n  } \"B \"\n} \"R\"\n", 3,
         "block end \"B \" does not match block \"B\" opened on line 2"},
        {"\"R\" {\n} \"r\"\n", 2, "block end \"r\" does not match block \"R\" opened on line 1"},
        {"\"R\" {\n  \"B\" {\n  } \"B\"\n", 4, "end of file inside block \"R\" opened on line 1"},
        {"\"R\" {\n  \"B\" {\n", 3, "end of file inside block \"B\" opened on line 2"},
        {"\"" + longName + "\" {\n", 2,
         "end of file inside block \"" + longName.substr(0, 39) + "... opened on line 1"},
        {"\"R\" {\n} \"R\"\nx", 3, "text after the end of the root block"},
        {"\"R\" {\n} \"R\"\n\n", 3, "text after the end of the root block"},
        {"\"R\" {\n} \"R\"\n\"S\" {\n} \"S\"\n", 3, "text after the end of the root block"},
        // Arguments.
        {inRoot("\"f\"(2147483648)"), 2, "int 2147483648 is out of the 32-bit range"},
        {inRoot("\"f\"(1, -2147483649)"), 2, "int -2147483649 is out of the 32-bit range"},
        {inRoot("\"f\"(99999999999999999999999999999999999999999999999999)"), 2,
         "int 9999999999999999999999999999999999999999... is out of the 32-bit range"},
        {inRoot("\"f\"(1e+400)"), 2, "double 1e+400 is out of range"},
        {inRoot("\"f\"(-1e-400)"), 2, "double -1e-400 is out of range"},
        // Just beyond what the largest double rounds to.
        {inRoot("\"f\"(1.797693134862317e+308)"), 2,
         "double 1.797693134862317e+308 is out of range"},
        {inRoot("\"f\"(1,2)"), 2, "expected ', ' or ')' after an argument"},
        {inRoot("\"f\"(1, )"), 2, "expected an argument"},
        {inRoot("\"f\"(, 1)"), 2, "expected an argument"},
        {inRoot("\"f\"(1"), 2, "missing ')' before the end of the line"},
        {inRoot("\"f\"(\"g\"(1)"), 2, "missing ')' before the end of the line"},
        {"\"R\" {\n  \"f\"(1, ", 2, "missing ')' before the end of the line"},
        {inRoot("\"f\"(1))"), 2, "unexpected text at the end of the line"},
        {inRoot("\"f\"(1) "), 2, "unexpected text at the end of the line"},
    };
    const auto expectError = [](const std::string& text, std::size_t line,
                                const std::string& message) {
        const io::VnfParseResult result = io::parseVnfText(text);
        EXPECT_FALSE(result.root) << text.substr(0, 200);
        EXPECT_EQ(result.errorLine, line) << text.substr(0, 200);
        EXPECT_EQ(result.error, message) << text.substr(0, 200);
    };
    for (const Case& c : cases) {
        expectError(c.text, c.line, c.message);
    }
    for (std::string bad : {"1.2.3", "12abc", "01", "-0", "1.", ".5", "+1", "1e+", "1E5", "0x10"}) {
        expectError(inRoot("\"f\"(" + bad + ")"), 2, bad + " is neither an int nor a double");
    }
    for (std::string bad : {"maybe", "True", "NaN"}) {
        expectError(inRoot("\"f\"(" + bad + ")"), 2, "unknown word " + bad);
    }
}

TEST(VnfText, RefusesNestingBeyondTheLimit) {
    ASSERT_EQ(io::k_MaxVnfDepth, 1000u);
    const std::string tooDeep = "blocks and function items nest deeper than 1000 levels";
    // Blocks nested exactly to the limit read back; one more level is refused on the line
    // that opens it.
    const auto nestedBlocks = [](std::size_t levels) {
        io::CBlockPtr root(L"B");
        io::CBlockPtr current = root;
        for (std::size_t level = 2; level <= levels; ++level) {
            io::CBlockPtr child(L"B");
            *current << child;
            current = child;
        }
        return root;
    };
    const io::CBlockPtr deepest = nestedBlocks(1000);
    const auto tree = read(write(*deepest));
    ASSERT_TRUE(tree);
    EXPECT_TRUE(*tree == *deepest);
    const io::VnfParseResult oneMore = io::parseVnfText(write(*nestedBlocks(1001)));
    EXPECT_EQ(oneMore.errorLine, 1001u);
    EXPECT_EQ(oneMore.error, tooDeep);

    // A function item in the root block is level 2 and each argument one more, so 999
    // nested function items reach the limit; a million of them on one line are refused at
    // the limit, with the stack untouched.
    const auto nestedCalls = [](std::size_t count) {
        std::string line;
        for (std::size_t i = 0; i < count; ++i) {
            line += "\"f\"(";
        }
        return inRoot(line + std::string(count, ')'));
    };
    EXPECT_TRUE(read(nestedCalls(999)));
    for (std::size_t count : {1000, 1000000}) {
        const io::VnfParseResult result = io::parseVnfText(nestedCalls(count));
        EXPECT_EQ(result.errorLine, 2u) << count;
        EXPECT_EQ(result.error, tooDeep) << count;
    }
}
