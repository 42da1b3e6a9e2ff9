#include "corelib/VnfText.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <type_traits>
#include <vector>

#include "corelib/TokenStream.h"
#include "corelib/Utf8.h"

namespace io {

namespace {

constexpr std::size_t k_FlushThreshold = 1 << 20;

void appendHexEscape(std::string& out, std::uint32_t value) {
    char digits[16];
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value, 16);
    (void)error;
    out += "\\u{";
    out.append(digits, end);
    out += '}';
}

bool isNormalPowerOfTwo(double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    const auto exponent = (bits >> 52) & 0x7FF;
    return (bits & ((std::uint64_t{1} << 52) - 1)) == 0 && exponent > 1 && exponent < 0x7FF;
}

// The digits before the exponent of a text in the exponent form.
int significantDigits(std::string_view text) {
    int count = 0;
    for (char c : text.substr(0, text.find('e'))) {
        count += c >= '0' && c <= '9';
    }
    return count;
}

// Bytes that stand for themselves inside a quoted string: printable ASCII except the
// quote and the backslash.
constexpr std::array<bool, 256> k_PlainByte = [] {
    std::array<bool, 256> table{};
    for (int c = 0x20; c < 0x7F; ++c) {
        table[static_cast<std::size_t>(c)] = c != '"' && c != '\\';
    }
    return table;
}();

// One character of a quoted string, with the escapes of the syntax.
void appendQuotedChar(std::string& out, wchar_t c) {
    const auto cp = static_cast<std::uint32_t>(c);
    if (cp < 0x80 && k_PlainByte[cp]) {
        out += static_cast<char>(cp);
        return;
    }
    switch (c) {
    case L'"':
        out += "\\\"";
        break;
    case L'\\':
        out += "\\\\";
        break;
    case L'\t':
        out += "\\t";
        break;
    case L'\n':
        out += "\\n";
        break;
    case L'\r':
        out += "\\r";
        break;
    default:
        if (cp < 0x20 || cp == 0x7F || !utf8::isScalarValue(cp)) {
            appendHexEscape(out, cp);
        } else {
            utf8::append(out, cp);
        }
    }
}

void appendPackedString(std::string& out, const CBlock_func::PackedText& text) {
    // Names and layer words are plain ASCII almost always: copy such a text whole.
    const std::string_view bytes = text.bytes();
    bool plain = true;
    for (const char c : bytes) {
        plain = plain && k_PlainByte[static_cast<unsigned char>(c)];
    }
    out += '"';
    if (plain) {
        out += bytes;
    } else {
        text.forEach([&](wchar_t c) { appendQuotedChar(out, c); });
    }
    out += '"';
}

class TextWriter {
public:
    TextWriter(CAbstract_ostream& out, int precision) : m_out(out), m_precision(precision) {}

    void block(const CBlock& b, int depth) {
        indent(depth);
        appendVnfString(m_buffer, b.name());
        m_buffer += " {\n";
        for (const CBlockItem& item : b.items()) {
            if (const auto* child = std::get_if<std::shared_ptr<const CBlock>>(&item)) {
                block(**child, depth + 1);
            } else if (const auto* f = std::get_if<std::shared_ptr<const CBlock_func>>(&item)) {
                indent(depth + 1);
                func(**f);
                m_buffer += '\n';
            } else {
                const auto& named = std::get<CBlock_named_value>(item);
                indent(depth + 1);
                appendVnfString(m_buffer, named.name());
                m_buffer += " = ";
                appendVnfString(m_buffer, named.value());
                m_buffer += '\n';
            }
            if (m_buffer.size() >= k_FlushThreshold) {
                flush();
            }
        }
        indent(depth);
        m_buffer += "} ";
        appendVnfString(m_buffer, b.name());
        m_buffer += '\n';
    }

    void flush() {
        m_out.WriteBytes(m_buffer);
        m_buffer.clear();
    }

private:
    void indent(int depth) { m_buffer.append(static_cast<std::size_t>(depth) * 2, ' '); }

    void func(const CBlock_func& f) {
        appendPackedString(m_buffer, f.packedName());
        m_buffer += '(';
        bool first = true;
        f.visitArguments([&](const auto& value) {
            if (!first) {
                m_buffer += ", ";
            }
            first = false;
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, int>) {
                char digits[16];
                const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
                (void)error;
                m_buffer.append(digits, end);
            } else if constexpr (std::is_same_v<T, double>) {
                appendVnfDouble(m_buffer, value, m_precision);
            } else if constexpr (std::is_same_v<T, bool>) {
                m_buffer += value ? "true" : "false";
            } else if constexpr (std::is_same_v<T, CBlock_func::PackedText>) {
                appendPackedString(m_buffer, value);
            } else {
                func(value);
            }
        });
        m_buffer += ')';
    }

    CAbstract_ostream& m_out;
    int m_precision;
    std::string m_buffer;
};

// Bytes of an unquoted argument: ints, doubles and the words true, false, inf and nan.
// The class is wider than the grammar so that "1.2.3" or "12abc" is reported whole.
constexpr std::array<bool, 256> k_WordByte = [] {
    std::array<bool, 256> table{};
    for (int c = 0; c < 256; ++c) {
        table[static_cast<std::size_t>(c)] = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z')
                                             || (c >= 'A' && c <= 'Z') || c == '.' || c == '+'
                                             || c == '-';
    }
    return table;
}();

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// A piece of the text for a message, cut at a character boundary when it is long.
std::string excerpt(std::string_view text) {
    constexpr std::size_t k_Limit = 40;
    if (text.size() <= k_Limit) {
        return std::string(text);
    }
    std::size_t cut = k_Limit;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
        --cut;
    }
    return std::string(text.substr(0, cut)) + "...";
}

// The wide-text constructors of the tree stop at a U+0000; text holding one goes through
// VString, which carries it.
bool holdsNul(const std::wstring& text) {
    return text.find(L'\0') != std::wstring::npos;
}

std::string byteText(unsigned char byte) {
    static constexpr char k_Hex[] = "0123456789abcdef";
    return std::string("0x") + k_Hex[byte >> 4] + k_Hex[byte & 0xF];
}

enum class NumberShape { None, Int, Double };

// An int is "0" or an optional '-' and digits without a leading zero. A double has the
// same integer part ("-0" included) followed by a fraction, an exponent or both.
NumberShape numberShape(std::string_view t) {
    std::size_t i = 0;
    if (i < t.size() && t[i] == '-') {
        ++i;
    }
    const std::size_t intStart = i;
    while (i < t.size() && isDigit(t[i])) {
        ++i;
    }
    const std::size_t intDigits = i - intStart;
    if (intDigits == 0 || (intDigits > 1 && t[intStart] == '0')) {
        return NumberShape::None;
    }
    if (i == t.size()) {
        // The writer never writes "-0" for an int, and 0 would not read back as "-0".
        return intStart == 1 && t[intStart] == '0' ? NumberShape::None : NumberShape::Int;
    }
    if (t[i] == '.') {
        const std::size_t fractionStart = ++i;
        while (i < t.size() && isDigit(t[i])) {
            ++i;
        }
        if (i == fractionStart) {
            return NumberShape::None;
        }
    }
    if (i < t.size() && t[i] == 'e') {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
            ++i;
        }
        const std::size_t exponentStart = i;
        while (i < t.size() && isDigit(t[i])) {
            ++i;
        }
        if (i == exponentStart) {
            return NumberShape::None;
        }
    }
    return i == t.size() ? NumberShape::Double : NumberShape::None;
}

// Reads a token of double shape as the nearest double. False when it lies beyond the
// range of doubles.
bool readDouble(std::string_view token, double& value) {
    const char* end = token.data() + token.size();
    if (std::from_chars(token.data(), end, value).ec == std::errc()) {
        return true;
    }
    // Rounded to 16 digits (and to most other precisions), the largest double becomes a
    // text beyond it: "1.797693134862316e+308". The writer produces such a text for the
    // largest double and its neighbours below, so it reads back as the largest double.
    // Below the range there is nothing to catch: no double rounds to a text that small.
    const double largest = (token.front() == '-' ? -1 : 1) * std::numeric_limits<double>::max();
    std::string written;
    for (int precision = 1; precision <= 17; ++precision) {
        written.clear();
        appendVnfDouble(written, largest, precision);
        if (written == token) {
            value = largest;
            return true;
        }
    }
    return false;
}

// Reads the text syntax into a tree in one pass. Open blocks and the function items of a
// line being read are held on explicit stacks, so the call stack does not grow with the
// nesting; strings are decoded straight into reused buffers.
class TextReader {
public:
    explicit TextReader(std::string_view text)
        : m_p(text.data()), m_end(text.data() + text.size()) {}

    VnfParseResult read() {
        VnfParseResult result;
        std::shared_ptr<CBlock> root;
        bool ok = false;
        try {
            ok = readDocument(root);
        } catch (const std::bad_alloc&) {
            fail("out of memory");
        }
        if (ok) {
            result.root = std::move(root);
        } else {
            result.errorLine = m_errorLine;
            result.error = std::move(m_error);
        }
        return result;
    }

private:
    struct OpenBlock {
        CBlock* block;
        std::string_view quotedName;  ///< as written on the opening line
        std::size_t line;
    };

    bool fail(std::string message) {
        m_error = std::move(message);
        m_errorLine = m_line;
        return false;
    }

    bool at(char c) const { return m_p != m_end && *m_p == c; }
    bool at(std::string_view text) const {
        return static_cast<std::size_t>(m_end - m_p) >= text.size()
               && std::memcmp(m_p, text.data(), text.size()) == 0;
    }

    bool readDocument(std::shared_ptr<CBlock>& root) {
        if (m_p == m_end) {
            return fail("empty file: expected the root block");
        }
        if (!at('"')) {
            return fail("expected the quoted name of the root block");
        }
        const char* nameStart = m_p;
        if (!readString(m_name)) {
            return false;
        }
        const std::string_view quotedName(nameStart, static_cast<std::size_t>(m_p - nameStart));
        if (!at(" {")) {
            return fail("expected ' {' after the name of the root block");
        }
        m_p += 2;
        root = std::make_shared<CBlock>(m_name);
        m_open.push_back({root.get(), quotedName, m_line});
        if (!endLine()) {
            return false;
        }
        while (!m_open.empty()) {
            if (!readLine()) {
                return false;
            }
        }
        if (m_p != m_end) {
            return fail("text after the end of the root block");
        }
        return true;
    }

    // One line inside the innermost open block: an item or the block's end.
    bool readLine() {
        const OpenBlock& current = m_open.back();
        if (m_p == m_end) {
            return fail("end of file inside block " + excerpt(current.quotedName)
                        + " opened on line " + std::to_string(current.line));
        }
        const char* lineStart = m_p;
        while (m_p != m_end && *m_p == ' ') {
            ++m_p;
        }
        const auto blanks = static_cast<std::size_t>(m_p - lineStart);
        if (at('}')) {
            return readBlockEnd(blanks);
        }
        if (!checkIndentation(blanks, 2 * m_open.size())) {
            return false;
        }
        const std::size_t level = m_open.size() + 1;
        if (level > k_MaxVnfDepth) {
            return failTooDeep();
        }
        if (!at('"')) {
            return fail("expected a quoted name");
        }
        const char* nameStart = m_p;
        if (!readString(m_name)) {
            return false;
        }
        CBlock& block = *current.block;
        if (at(" {")) {
            m_p += 2;
            const CBlockPtr child =
                holdsNul(m_name) ? CBlockPtr(VString(m_name)) : CBlockPtr(m_name.c_str());
            block << child;
            m_open.push_back(
                {&*child,
                 std::string_view(nameStart, static_cast<std::size_t>(m_p - 2 - nameStart)),
                 m_line});
            return endLine();
        }
        if (at('(')) {
            const CBlockFuncPtr func =
                holdsNul(m_name) ? CBlockFuncPtr(VString(m_name)) : CBlockFuncPtr(m_name.c_str());
            if (!readArguments(*func, level)) {
                return false;
            }
            block << func;
            return endLine();
        }
        if (at(" = ")) {
            m_p += 3;
            if (!at('"')) {
                return fail("expected a quoted value after ' = '");
            }
            if (!readString(m_text)) {
                return false;
            }
            block << (holdsNul(m_name) || holdsNul(m_text)
                          ? CBlock_named_value(VString(m_name), CBlock_value(VString(m_text)))
                          : CBlock_named_value(m_name.c_str(), CBlock_value(m_text.c_str())));
            return endLine();
        }
        return fail("expected ' {', '(' or ' = ' after the name");
    }

    bool checkIndentation(std::size_t blanks, std::size_t expected) {
        if (blanks == expected) {
            return true;
        }
        if (blanks == 0 && at('\n')) {
            return fail("empty line");
        }
        return fail("expected " + std::to_string(expected) + " blanks of indentation, found "
                    + std::to_string(blanks));
    }

    bool failTooDeep() {
        return fail("blocks and function items nest deeper than " + std::to_string(k_MaxVnfDepth)
                    + " levels");
    }

    bool readBlockEnd(std::size_t blanks) {
        const OpenBlock& current = m_open.back();
        if (!checkIndentation(blanks, 2 * (m_open.size() - 1))) {
            return false;
        }
        ++m_p;
        if (!at(' ')) {
            return fail("expected a blank and the block's name after '}'");
        }
        ++m_p;
        // A quoted string ends at its first unescaped quote, so equal leading bytes mean
        // an equal name. Other spellings of the same name (escapes used differently) are
        // decoded and compared.
        if (at(current.quotedName)) {
            m_p += current.quotedName.size();
        } else {
            if (!at('"')) {
                return fail("expected the block's quoted name after '} '");
            }
            const char* nameStart = m_p;
            if (!readString(m_text)) {
                return false;
            }
            if (m_text != current.block->name()) {
                const std::string_view endName(nameStart,
                                               static_cast<std::size_t>(m_p - nameStart));
                return fail("block end " + excerpt(endName) + " does not match block "
                            + excerpt(current.quotedName) + " opened on line "
                            + std::to_string(current.line));
            }
        }
        m_open.pop_back();
        return endLine();
    }

    bool endLine() {
        if (m_p == m_end) {
            return fail("missing line end at the end of the file");
        }
        if (*m_p == '\n') {
            ++m_p;
            ++m_line;
            return true;
        }
        if (*m_p == '\r') {
            return fail("carriage return before the line end (lines end with a line feed alone)");
        }
        return fail("unexpected text at the end of the line");
    }

    // A quoted string from its opening quote; `out` receives the decoded text.
    bool readString(std::wstring& out) {
        ++m_p;
        out.clear();
        for (;;) {
            const char* run = m_p;
            while (m_p != m_end && k_PlainByte[static_cast<unsigned char>(*m_p)]) {
                ++m_p;
            }
            if (m_p != run) {
                const std::size_t old = out.size();
                out.resize(old + static_cast<std::size_t>(m_p - run));
                wchar_t* to = out.data() + old;
                for (const char* from = run; from != m_p; ++from) {
                    *to++ = static_cast<wchar_t>(*from);
                }
            }
            if (m_p == m_end || *m_p == '\n') {
                return fail("unterminated string");
            }
            const auto c = static_cast<unsigned char>(*m_p);
            if (c == '"') {
                ++m_p;
                return true;
            }
            if (c == '\\') {
                if (!readEscape(out)) {
                    return false;
                }
                continue;
            }
            if (c < 0x80) {
                return fail("control character " + byteText(c)
                            + " in a string (write it as an escape)");
            }
            char32_t cp = 0;
            const std::size_t length = utf8::decode(m_p, m_end, cp);
            if (length == 0) {
                return fail("invalid UTF-8 in a string");
            }
            out += static_cast<wchar_t>(cp);
            m_p += length;
        }
    }

    bool readEscape(std::wstring& out) {
        ++m_p;
        if (m_p == m_end || *m_p == '\n') {
            return fail("unterminated string");
        }
        const char c = *m_p++;
        switch (c) {
        case '"':
            out += L'"';
            return true;
        case '\\':
            out += L'\\';
            return true;
        case 't':
            out += L'\t';
            return true;
        case 'n':
            out += L'\n';
            return true;
        case 'r':
            out += L'\r';
            return true;
        case 'u':
            break;
        default:
            if (k_PlainByte[static_cast<unsigned char>(c)] || c == '"') {
                return fail(std::string("unknown escape \\") + c + " in a string");
            }
            return fail("unknown escape: '\\' followed by byte "
                        + byteText(static_cast<unsigned char>(c)) + " in a string");
        }
        if (!at('{')) {
            return fail("expected '{' after \\u in a string");
        }
        ++m_p;
        std::uint32_t value = 0;
        int digits = 0;
        for (int digit; m_p != m_end && (digit = hexValue(*m_p)) >= 0; ++m_p) {
            if (++digits > 8) {
                return fail("more than 8 hex digits in a \\u{...} escape");
            }
            value = value << 4 | static_cast<std::uint32_t>(digit);
        }
        if (digits == 0 || !at('}')) {
            return fail("expected hex digits and '}' in a \\u{...} escape");
        }
        ++m_p;
        // Any 32-bit value: the writer escapes surrogates and values above U+10FFFF too.
        out += static_cast<wchar_t>(value);
        return true;
    }

    // The arguments of the function item `top`, from its '(' to the matching ')'. Nested
    // function items are finished innermost first and then copied into their holder.
    bool readArguments(CBlock_func& top, std::size_t level) {
        enum class Expect { ArgumentOrClose, SeparatorOrClose, Argument };
        m_nested.clear();
        ++m_p;
        Expect expect = Expect::ArgumentOrClose;
        for (;;) {
            if (m_p == m_end || *m_p == '\n') {
                return fail("missing ')' before the end of the line");
            }
            if (*m_p == ')' && expect != Expect::Argument) {
                ++m_p;
                if (m_nested.empty()) {
                    return true;
                }
                (m_nested.size() > 1 ? m_nested[m_nested.size() - 2] : top) << m_nested.back();
                m_nested.pop_back();
                expect = Expect::SeparatorOrClose;
                continue;
            }
            if (expect == Expect::SeparatorOrClose) {
                if (!at(", ")) {
                    return fail("expected ', ' or ')' after an argument");
                }
                m_p += 2;
                expect = Expect::Argument;
                continue;
            }
            CBlock_func& func = m_nested.empty() ? top : m_nested.back();
            if (at('"')) {
                if (!readString(m_text)) {
                    return false;
                }
                const bool nul = holdsNul(m_text);
                if (at('(')) {
                    if (level + m_nested.size() + 1 > k_MaxVnfDepth) {
                        return failTooDeep();
                    }
                    m_nested.push_back(nul ? CBlock_func(VString(m_text))
                                           : CBlock_func(m_text.c_str()));
                    ++m_p;
                    expect = Expect::ArgumentOrClose;
                    continue;
                }
                if (nul) {
                    func << VString(m_text);
                } else {
                    func << m_text.c_str();
                }
            } else if (!readWord(func)) {
                return false;
            }
            expect = Expect::SeparatorOrClose;
        }
    }

    // An unquoted argument: an int, a double or one of the words.
    bool readWord(CBlock_func& func) {
        const char* start = m_p;
        while (m_p != m_end && k_WordByte[static_cast<unsigned char>(*m_p)]) {
            ++m_p;
        }
        const std::string_view token(start, static_cast<std::size_t>(m_p - start));
        if (token.empty()) {
            return fail("expected an argument");
        }
        switch (numberShape(token)) {
        case NumberShape::Int: {
            int value = 0;
            if (std::from_chars(token.data(), token.data() + token.size(), value).ec
                != std::errc()) {
                return fail("int " + excerpt(token) + " is out of the 32-bit range");
            }
            func << value;
            return true;
        }
        case NumberShape::Double: {
            double value = 0;
            if (!readDouble(token, value)) {
                return fail("double " + excerpt(token) + " is out of range");
            }
            func << value;
            return true;
        }
        case NumberShape::None:
            break;
        }
        if (token == "true" || token == "false") {
            func << (token == "true");
        } else if (token == "inf" || token == "-inf") {
            func << (token == "inf" ? 1 : -1) * std::numeric_limits<double>::infinity();
        } else if (token == "nan") {
            func << std::numeric_limits<double>::quiet_NaN();
        } else if (!isDigit(token.front()) && token.front() != '-' && token.front() != '+'
                   && token.front() != '.') {
            return fail("unknown word " + excerpt(token));
        } else {
            return fail(excerpt(token) + " is neither an int nor a double");
        }
        return true;
    }

    const char* m_p;
    const char* m_end;
    std::size_t m_line = 1;
    std::string m_error;
    std::size_t m_errorLine = 0;
    std::vector<OpenBlock> m_open;
    std::vector<CBlock_func> m_nested;  ///< open function arguments, outermost first
    std::wstring m_name;                ///< scratch for item names
    std::wstring m_text;                ///< scratch for values
};
}  // namespace

namespace {

// `value` (finite, not zero) rounded to `precision` significant digits and laid out as
// to_chars's general format (printf's %g) lays it out, found from the value's shortest
// round-trip digits, which are several times quicker to get than digits at a fixed
// precision. The shortest digits S decide the rounding in all but rare cases:
// - S has more digits than wanted: S is the nearest decimal of its length to the value,
//   so no shorter rounding boundary lies between the two, unless S is itself such a
//   boundary (its cut-off digits are one 5);
// - S has at most as many: S padded with zeros is the nearest decimal of the wanted length
//   when the value's rounding interval (S lies inside it) is narrower than the spacing of
//   those decimals, and S is not a bare power of ten, which can stand for a value just
//   below it whose own decade is spaced ten times closer.
// Returns the text's length, or 0 when the digits do not decide it.
std::size_t generalFromShortest(char* out, double value, int precision) {
    char shortest[32];
    const double magnitude = std::fabs(value);
    const char* const end = std::to_chars(shortest, shortest + sizeof shortest, magnitude,
                                          std::chars_format::scientific)
                                .ptr;
    // d.ddde±xx: the digits without the point, and the exponent.
    char digits[24];
    int count = 0;
    const char* p = shortest;
    for (; p < end && *p != 'e'; ++p) {
        if (*p != '.') {
            digits[count++] = *p;
        }
    }
    int exponent = 0;
    std::from_chars(p + (p[1] == '+' ? 2 : 1), end, exponent);

    if (count > precision) {
        const char cut = digits[precision];
        if (cut == '5' && count == precision + 1) {
            return 0;
        }
        count = precision;
        if (cut >= '5') {
            int i = count - 1;
            while (i >= 0 && digits[i] == '9') {
                digits[i--] = '0';
            }
            if (i < 0) {
                digits[0] = '1';
                ++exponent;
            } else {
                ++digits[i];
            }
        }
    } else {
        if (count == 1 && digits[0] == '1') {
            return 0;
        }
        const double ulp =
            std::nextafter(magnitude, std::numeric_limits<double>::infinity()) - magnitude;
        const double spacing = std::pow(10.0, exponent - precision + 1);
        if (!(ulp < 0.9 * spacing)) {
            return 0;
        }
    }
    while (count > 1 && digits[count - 1] == '0') {
        --count;
    }

    char* o = out;
    if (value < 0) {
        *o++ = '-';
    }
    if (exponent < -4 || exponent >= precision) {
        *o++ = digits[0];
        if (count > 1) {
            *o++ = '.';
            o = std::copy(digits + 1, digits + count, o);
        }
        *o++ = 'e';
        *o++ = exponent < 0 ? '-' : '+';
        const int magnitudeOfExponent = exponent < 0 ? -exponent : exponent;
        if (magnitudeOfExponent < 10) {
            *o++ = '0';
        }
        o = std::to_chars(o, o + 4, magnitudeOfExponent).ptr;
    } else if (exponent >= 0) {
        for (int i = 0; i <= exponent; ++i) {
            *o++ = i < count ? digits[i] : '0';
        }
        if (count > exponent + 1) {
            *o++ = '.';
            o = std::copy(digits + exponent + 1, digits + count, o);
        }
    } else {
        *o++ = '0';
        *o++ = '.';
        o = std::fill_n(o, -exponent - 1, '0');
        o = std::copy(digits, digits + count, o);
    }
    return static_cast<std::size_t>(o - out);
}

}  // namespace

void appendVnfDouble(std::string& out, double value, int precision) {
    if (std::isnan(value)) {
        out += "nan";
        return;
    }
    if (std::isinf(value)) {
        out += value < 0 ? "-inf" : "inf";
        return;
    }
    char digits[64];
    std::size_t length = 0;
    if (value != 0 && !isNormalPowerOfTwo(value)) {
        length = generalFromShortest(digits, value, precision);
    }
    if (length == 0) {
        length = static_cast<std::size_t>(std::to_chars(digits, digits + sizeof digits, value,
                                                        std::chars_format::general, precision)
                                              .ptr
                                          - digits);
    }
    std::string_view text(digits, length);
    // Below a normal power of two the doubles lie twice as close as above it, so its
    // rounding interval is narrower below. Rounded to 16 digits, 54 powers of two land
    // there and would read back as the double below, though a 16-digit decimal above them
    // reads back exactly: 2^-24 = 5.9604644775390625e-08 rounds to 5.960464477539062e-08,
    // one step below, while 5.960464477539063e-08 is exact. Those are written with their
    // shortest exact digits. All of them are written in the exponent form, which lays out
    // the shortest digits the same way.
    char exact[64];
    if (isNormalPowerOfTwo(value) && text.find('e') != std::string_view::npos) {
        double back = 0;
        std::from_chars(text.data(), text.data() + text.size(), back);
        if (back != value) {
            const auto [exactEnd, exactError] =
                std::to_chars(exact, exact + sizeof exact, value, std::chars_format::scientific);
            (void)exactError;
            const std::string_view exactText(exact, static_cast<std::size_t>(exactEnd - exact));
            if (significantDigits(exactText) <= precision) {
                text = exactText;
            }
        }
    }
    out += text;
    if (text.find_first_of(".e") == std::string_view::npos) {
        out += ".0";
    }
}

void appendVnfString(std::string& out, std::wstring_view text) {
    out += '"';
    for (const wchar_t c : text) {
        appendQuotedChar(out, c);
    }
    out += '"';
}

void writeVnfText(const CBlock& block, CAbstract_ostream& out, int precision) {
    TextWriter writer(out, precision);
    writer.block(block, 0);
    writer.flush();
}

VnfParseResult parseVnfText(std::string_view text) {
    static_assert(sizeof(wchar_t) == 4, "the text syntax carries 32-bit wide characters");
    return TextReader(text).read();
}

}  // namespace io
