#include "corelib/VnfJson.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace {

// The JSON of a root block "R" holding one function item "f" with `args`.
std::string jsonOfArguments(const io::CBlock_func& args) {
    io::CBlockPtr root(L"R");
    *root << args;
    return io::vnfToJson(*root);
}

std::string argumentsLine(const std::string& args) {
    return "{\"block\":\"R\",\"items\":[\n  {\"func\":\"f\",\"args\":[" + args + "]}\n]}\n";
}

}  // namespace

TEST(VnfJson, ListsEveryItemInOrderWithItsType) {
    io::CBlockPtr root(L"VeltroNeutralFile");
    *root << (io::CBlock_func(L"Version") << L"4" << L"0");
    *root << io::CBlock_named_value(L"Date", io::CBlock_value(L"Thu Jan  1 00:00:00 1970"));
    io::CBlockPtr pads(L"PadShapes");
    *pads << (io::CBlock_func(L"Polygon")
              << 1 << 0.5 << true << L"top" << (io::CBlock_func(L"vertex") << 0.0 << -2.5)
              << io::CBlock_func(L"none"));
    io::CBlockPtr empty(L"Empty");
    *pads << empty;
    *pads << io::CBlock_named_value(L"", io::CBlock_value(L""));
    *root << pads;
    *root << io::CBlock_func(L"Last");
    EXPECT_EQ(io::vnfToJson(*root),
              "{\"block\":\"VeltroNeutralFile\",\"items\":[\n"
              "  {\"func\":\"Version\",\"args\":[{\"string\":\"4\"},{\"string\":\"0\"}]},\n"
              "  {\"named\":\"Date\",\"value\":\"Thu Jan  1 00:00:00 1970\"},\n"
              "  {\"block\":\"PadShapes\",\"items\":[\n"
              "    {\"func\":\"Polygon\",\"args\":[{\"int\":1},{\"double\":0.5},{\"bool\":true},"
              "{\"string\":\"top\"},{\"func\":\"vertex\",\"args\":[{\"double\":0},"
              "{\"double\":-2.5}]},{\"func\":\"none\",\"args\":[]}]},\n"
              "    {\"block\":\"Empty\",\"items\":[]},\n"
              "    {\"named\":\"\",\"value\":\"\"}\n"
              "  ]},\n"
              "  {\"func\":\"Last\",\"args\":[]}\n"
              "]}\n");
    EXPECT_EQ(io::vnfToJson(*empty), "{\"block\":\"Empty\",\"items\":[]}\n");

    // A tree whose JSON (1.4 MB) leaves in more than one piece.
    io::CBlockPtr large(L"L");
    std::string expected = "{\"block\":\"L\",\"items\":[\n";
    for (int i = 0; i < 40000; ++i) {
        *large << (io::CBlock_func(L"f") << i);
        expected += "  {\"func\":\"f\",\"args\":[{\"int\":" + std::to_string(i) + "}]}";
        expected += i + 1 < 40000 ? ",\n" : "\n";
    }
    EXPECT_EQ(io::vnfToJson(*large), expected + "]}\n");
}

TEST(VnfJson, WritesNumbersExactly) {
    // Ints as they are; bools as JSON words.
    EXPECT_EQ(jsonOfArguments(io::CBlock_func(L"f") << 0 << -1 << std::numeric_limits<int>::min()
                                                    << std::numeric_limits<int>::max() << false),
              argumentsLine("{\"int\":0},{\"int\":-1},{\"int\":-2147483648},"
                            "{\"int\":2147483647},{\"bool\":false}"));
    // Doubles with the fewest digits that read back to the same double: 0.1 + 0.2 needs
    // all 17, whole numbers need no fraction, and the type tag tells them from ints.
    EXPECT_EQ(
        jsonOfArguments(io::CBlock_func(L"f") << 0.1 << 0.1 + 0.2 << 2.0 << -0.0 << 1e16 << 1.5e-7
                                              << 5e-324 << std::numeric_limits<double>::max()),
        argumentsLine("{\"double\":0.1},{\"double\":0.30000000000000004},"
                      "{\"double\":2},{\"double\":-0},{\"double\":1e+16},"
                      "{\"double\":1.5e-07},{\"double\":5e-324},"
                      "{\"double\":1.7976931348623157e+308}"));
    // JSON numbers have no infinities and no NaN: those are strings.
    EXPECT_EQ(
        jsonOfArguments(io::CBlock_func(L"f") << std::numeric_limits<double>::infinity()
                                              << -std::numeric_limits<double>::infinity()
                                              << std::numeric_limits<double>::quiet_NaN()
                                              << -std::numeric_limits<double>::signaling_NaN()),
        argumentsLine("{\"double\":\"inf\"},{\"double\":\"-inf\"},{\"double\":\"nan\"},"
                      "{\"double\":\"nan\"}"));
}

TEST(VnfJson, EscapesStringsTheWayJsonRequires) {
    // The quote, the backslash and every control character below U+0020, short forms where
    // JSON has them; U+007F and everything above stays as it is, as UTF-8: U+00E9 is C3 A9,
    // U+65E5 is E6 97 A5, U+1F600 is F0 9F 98 80, U+10FFFF is F4 8F BF BF.
    EXPECT_EQ(jsonOfArguments(io::CBlock_func(L"f") << VString(std::wstring{
                                  L'"', L'\\', L'/', 0x08, 0x0C, L'\n', L'\r', L'\t', 0x00, 0x01,
                                  0x1F, 0x7F, L' ', 0xE9, 0x65E5, 0x1F600, 0x10FFFF})),
              argumentsLine("{\"string\":\"\\\"\\\\/\\b\\f\\n\\r\\t\\u0000\\u0001\\u001f\x7f "
                            "\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF\"}"));
    // Values that are no Unicode scalar value have no UTF-8 form: each becomes U+FFFD
    // (EF BF BD), in names as in values.
    const VString odd(std::wstring{L'a', static_cast<wchar_t>(0xD800), static_cast<wchar_t>(0xDFFF),
                                   static_cast<wchar_t>(0x110000), static_cast<wchar_t>(-1), L'b'});
    io::CBlockPtr root{odd};
    *root << io::CBlock_named_value(odd, io::CBlock_value(odd));
    const std::string replaced =
        "a\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"
        "b";
    EXPECT_EQ(io::vnfToJson(*root), "{\"block\":\"" + replaced + "\",\"items\":[\n  {\"named\":\""
                                        + replaced + "\",\"value\":\"" + replaced + "\"}\n]}\n");
}
