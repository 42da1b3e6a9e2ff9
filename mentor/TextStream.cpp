#include "mentor/TextStream.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

namespace {

constexpr std::array<bool, 256> k_WhiteSpace = [] {
    std::array<bool, 256> table{};
    for (unsigned char c : {' ', '\t', '\n', '\v', '\f', '\r'}) {
        table[c] = true;
    }
    return table;
}();

inline bool isWhiteSpace(char c) {
    return k_WhiteSpace[static_cast<unsigned char>(c)];
}

/// One bit for each of the eight bytes at `p` (bit i for the i-th byte in memory order)
/// that is below '!'; white space is at most ' '. In (x - 0x2121...) & ~x & 0x8080... the
/// high bit of a byte survives when the byte is below 0x21. Only the lowest bit is sure:
/// a borrow runs upwards from a byte below 0x21 and may mark bytes after it. The
/// multiplication gathers the eight high bits into the top byte. Little-endian order.
inline unsigned bytesBelowExclamation(const char* p) {
    constexpr std::uint64_t k_Ones = 0x0101010101010101;
    constexpr std::uint64_t k_HighBits = 0x8080808080808080;
    constexpr std::uint64_t k_Gather = 0x0102040810204080;
    std::uint64_t bytes = 0;
    std::memcpy(&bytes, p, sizeof bytes);
    const std::uint64_t marks = (bytes - k_Ones * 0x21) & ~bytes & k_HighBits;
    return static_cast<unsigned>(((marks >> 7) * k_Gather) >> 56);
}

inline bool isSign(char c) {
    return c == '+' || c == '-';
}

/// The text up to its first NUL byte, as a C library function sees it.
std::string_view asCString(std::string_view text) {
    if (text.empty()) {
        return text;
    }
    const void* nul = std::memchr(text.data(), '\0', text.size());
    return nul ? text.substr(0, static_cast<const char*>(nul) - text.data()) : text;
}

/// The powers of ten that are exact doubles.
constexpr double k_PowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,
                                    1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19};
/// Integers up to this one are exact doubles.
constexpr std::uint64_t k_ExactInteger = std::uint64_t(1) << 53;

/// The digits of a plain decimal number (digits with at most one point, no sign, no
/// exponent) read as one integer, with how many digits there were and how many of them
/// followed the point.
struct PlainDecimal {
    std::uint64_t digits = 0;
    int count = 0;
    int fraction = 0;
};

/// Reads digits with at most one point from `p` into `d`; returns where they stop.
const char* scanPlainDecimal(const char* p, const char* last, PlainDecimal& d) {
    bool point = false;
    for (; p != last; ++p) {
        if (isDigit(*p)) {
            // Wraps beyond 19 digits; such numbers are refused by toExactDouble.
            d.digits = d.digits * 10 + static_cast<unsigned>(*p - '0');
            ++d.count;
            d.fraction += point ? 1 : 0;
        } else if (*p == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    return p;
}

/// The value of `d` when it has 1 to 19 digits that read as an integer of at most 2^53:
/// the quotient of two exact doubles is then the correctly rounded value, the same one
/// `strtod` gives. False for anything else.
bool toExactDouble(const PlainDecimal& d, bool negative, double& value) {
    if (d.count == 0 || d.count > 19 || d.digits > k_ExactInteger) {
        return false;
    }
    value = static_cast<double>(d.digits);
    if (d.fraction > 0) {
        value /= k_PowersOfTen[d.fraction];
    }
    if (negative) {
        value = -value;
    }
    return true;
}

/// Converts a plain decimal number (optional "-", digits with an optional point, no
/// exponent) that toExactDouble takes. False for anything else.
bool convertPlainDecimal(const char* first, const char* last, double& value) {
    const bool negative = first != last && *first == '-';
    PlainDecimal d;
    return scanPlainDecimal(first + (negative ? 1 : 0), last, d) == last
           && toExactDouble(d, negative, value);
}

/// Converts `text`, which holds a complete decimal number (optional "-", digits with a
/// point, optional exponent), as `strtod` does. Returns false when `text` is not
/// complete, i.e. when the conversion would stop before its end.
bool convertDecimal(const char* first, const char* last, double& value) {
    if (convertPlainDecimal(first, last, value)) {
        return true;
    }
    double parsed = 0;
    const auto [end, error] = std::from_chars(first, last, parsed, std::chars_format::general);
    if (error == std::errc() && end == last) {
        value = parsed;
        return true;
    }
    if (error == std::errc::result_out_of_range && end == last) {
        // Beyond the range of a double: the C library gives an infinity for an overflow
        // and zero or the nearest subnormal for an underflow. These values are rare
        // enough for the C library itself to decide.
        value = std::strtod(std::string(first, last).c_str(), nullptr);
        return true;
    }
    return false;
}

}  // namespace

bool TextStream::skipWhiteSpace() {
    if (!good()) {
        m_fail = true;
        return false;
    }
    // Local pointers throughout: a character read could alias the members.
    const char* p = m_pos;
    const char* const end = m_end;
    while (p != end && isWhiteSpace(*p)) {
        ++p;
    }
    m_pos = p;
    if (p == end) {
        m_eof = true;
        m_fail = true;
        return false;
    }
    return true;
}

std::string_view TextStream::word() {
    if (!skipWhiteSpace()) {
        return {};
    }
    const char* const start = m_pos;
    const char* const end = m_end;
    const char* p = start;
    if constexpr (std::endian::native == std::endian::little) {
        // Sixteen bytes at a time, which takes most words in one step without a branch
        // on their length. A byte below '!' that is not white space (a control
        // character) leaves the rest to the loop after this one.
        while (end - p >= 16) {
            // The lowest bit is the first byte below '!': the bits of the second eight
            // bytes count only when the first eight have none. Bit 16 stands for none.
            const unsigned marks =
                bytesBelowExclamation(p) | bytesBelowExclamation(p + 8) << 8 | 1U << 16;
            const int at = std::countr_zero(marks);
            p += at;
            if (at < 16) {
                break;
            }
        }
    }
    while (p != end && !isWhiteSpace(*p)) {
        ++p;
    }
    m_pos = p;
    if (p == end) {
        m_eof = true;
    }
    return {start, static_cast<std::size_t>(p - start)};
}

std::string_view TextStream::quoted() {
    const std::string_view token = word();
    if (token.size() < 2 || (token.front() != '\'' && token.front() != '"')
        || token.back() == token.front()) {
        return token;
    }
    if (m_eof) {
        // The word ended the text: the first character read after it fails.
        m_fail = true;
        return token;
    }
    // The word did not end the text, so at least its white space follows.
    const void* close = std::memchr(m_pos, token.front(), static_cast<std::size_t>(m_end - m_pos));
    if (close) {
        m_pos = static_cast<const char*>(close) + 1;
    } else {
        m_pos = m_end;
        m_eof = true;
        m_fail = true;
    }
    return {token.data(), static_cast<std::size_t>(m_pos - token.data())};
}

bool TextStream::number(double& value) {
    if (!skipWhiteSpace()) {
        return false;
    }
    const char* start = m_pos;
    const char* p = m_pos;
    const bool negative = *p == '-';
    if (isSign(*p)) {
        ++p;
    }
    // Most numbers of the exports are plain decimals: digits with at most one point and
    // no exponent. Read those in one pass (see toExactDouble for why the value is
    // exact); anything else takes the general way below.
    {
        PlainDecimal d;
        const char* q = scanPlainDecimal(p, m_end, d);
        const bool exponentFollows = q != m_end && (*q == 'e' || *q == 'E');
        if (!exponentFollows && toExactDouble(d, negative, value)) {
            m_pos = q;
            m_eof = q == m_end;
            return true;
        }
    }
    // Take what the classic locale's number parser takes for a floating-point value.
    bool mantissa = false;
    bool point = false;
    bool exponent = false;
    while (true) {
        if (p == m_end) {
            m_eof = true;
            break;
        }
        const char c = *p;
        if (isDigit(c)) {
            mantissa = true;
            ++p;
        } else if (c == '.' && !point && !exponent) {
            point = true;
            ++p;
        } else if ((c == 'e' || c == 'E') && !exponent && mantissa) {
            exponent = true;
            ++p;
            if (p != m_end && isSign(*p)) {
                ++p;
            }
        } else {
            break;
        }
    }
    m_pos = p;
    const char* first = *start == '+' ? start + 1 : start;
    if (!convertDecimal(first, p, value)) {
        value = 0;
        m_fail = true;
        return false;
    }
    if (std::isinf(value)) {
        value =
            value > 0 ? std::numeric_limits<double>::max() : -std::numeric_limits<double>::max();
        m_fail = true;
        return false;
    }
    return true;
}

bool TextStream::number(int& value) {
    if (!skipWhiteSpace()) {
        return false;
    }
    const char* p = m_pos;
    bool negative = false;
    if (isSign(*p)) {
        negative = *p == '-';
        ++p;
    }
    // The magnitude, held once it is known to be beyond 32 bits.
    constexpr unsigned long long k_Beyond = 1ULL << 32;
    unsigned long long magnitude = 0;
    bool digits = false;
    while (p != m_end && isDigit(*p)) {
        digits = true;
        if (magnitude < k_Beyond) {
            magnitude = magnitude * 10 + static_cast<unsigned>(*p - '0');
        }
        ++p;
    }
    m_pos = p;
    if (p == m_end) {
        m_eof = true;
    }
    if (!digits) {
        value = 0;
        m_fail = true;
        return false;
    }
    if (!negative && magnitude > static_cast<unsigned long long>(std::numeric_limits<int>::max())) {
        value = std::numeric_limits<int>::max();
        m_fail = true;
        return false;
    }
    if (negative
        && magnitude > static_cast<unsigned long long>(std::numeric_limits<int>::max()) + 1) {
        value = std::numeric_limits<int>::min();
        m_fail = true;
        return false;
    }
    value = negative ? static_cast<int>(-static_cast<long long>(magnitude))
                     : static_cast<int>(magnitude);
    return true;
}

std::string_view TextStream::line(std::size_t bufferSize) {
    if (!good()) {
        m_fail = true;
        return {};
    }
    const std::size_t room = bufferSize > 0 ? bufferSize - 1 : 0;
    const std::size_t left = static_cast<std::size_t>(m_end - m_pos);
    const std::size_t scan = left < room ? left : room;
    const char* const start = m_pos;
    // The rest of a line is mostly short: look at it byte by byte, noting the first NUL
    // (where the buffer's C string ends).
    std::size_t length = 0;
    std::size_t text = scan;
    while (length < scan && start[length] != '\n') {
        if (start[length] == '\0' && text == scan) {
            text = length;
        }
        ++length;
    }
    const std::size_t kept = text < length ? text : length;
    if (length < scan) {
        m_pos = start + length + 1;
        return {start, kept};
    }
    m_pos = start + scan;
    if (m_pos == m_end) {
        m_eof = true;
        if (scan == 0) {
            m_fail = true;
        }
    } else if (*m_pos == '\n') {
        ++m_pos;
    } else {
        m_fail = true;
    }
    return {start, kept};
}

void TextStream::ignoreLine() {
    if (!good()) {
        m_fail = true;
        return;
    }
    // Usually the line feed is the next byte or close to it.
    const char* p = m_pos;
    const char* const end = m_end;
    for (int i = 0; i < 16 && p != end; ++i, ++p) {
        if (*p == '\n') {
            m_pos = p + 1;
            return;
        }
    }
    const auto left = static_cast<std::size_t>(end - p);
    if (const void* feed = left > 0 ? std::memchr(p, '\n', left) : nullptr) {
        m_pos = static_cast<const char*>(feed) + 1;
    } else {
        m_pos = end;
        m_eof = true;
    }
}

bool scanDouble(std::string_view token, double& value) {
    const std::string_view text = asCString(token);
    std::size_t i = 0;
    while (i < text.size() && isWhiteSpace(text[i])) {
        ++i;
    }
    const std::size_t start = i;
    if (i < text.size() && isSign(text[i])) {
        ++i;
    }
    const std::string_view rest = text.substr(i);
    const bool hexadecimal =
        rest.size() > 1 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X');
    const bool named =
        !rest.empty() && (rest[0] == 'i' || rest[0] == 'I' || rest[0] == 'n' || rest[0] == 'N');
    if (hexadecimal || named) {
        // Hexadecimal numbers, infinities and NaNs never occur in the exports; the C
        // library reads them exactly as it always has.
        const std::string copy(text);
        double parsed = 0;
        if (std::sscanf(copy.c_str(), "%lf", &parsed) == 1) {
            value = parsed;
            return true;
        }
        return false;
    }
    // The longest decimal number at the start: digits with at most one point, then an
    // exponent only when at least one digit follows it.
    std::size_t digits = 0;
    while (i < text.size() && isDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) {
        return false;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && isSign(text[j])) {
            ++j;
        }
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j])) {
                ++j;
            }
            i = j;
        }
    }
    std::size_t first = start;
    if (text[first] == '+') {
        ++first;
    }
    return convertDecimal(text.data() + first, text.data() + i, value);
}

bool scanInt(std::string_view token, int& value) {
    const std::string_view text = asCString(token);
    std::size_t i = 0;
    while (i < text.size() && isWhiteSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && isSign(text[i])) {
        negative = text[i] == '-';
        ++i;
    }
    if (i >= text.size() || !isDigit(text[i])) {
        return false;
    }
    // As strtol: the value is held at the long's limits.
    constexpr unsigned long long k_LongLimit =
        static_cast<unsigned long long>(std::numeric_limits<long>::max());
    unsigned long long magnitude = 0;
    bool beyond = false;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        if (!beyond) {
            magnitude = magnitude * 10 + static_cast<unsigned>(text[i] - '0');
            beyond = magnitude > k_LongLimit + 1;
        }
    }
    long asLong = 0;
    if (negative) {
        asLong = beyond || magnitude > k_LongLimit ? std::numeric_limits<long>::min()
                                                   : -static_cast<long>(magnitude);
    } else {
        asLong = beyond || magnitude > k_LongLimit ? std::numeric_limits<long>::max()
                                                   : static_cast<long>(magnitude);
    }
    // The C library stores the long into the int: the low 32 bits.
    value = static_cast<int>(static_cast<unsigned int>(static_cast<unsigned long>(asLong)));
    return true;
}

bool isDecimalInteger(std::string_view text, int& value) {
    if (!text.empty() && text.size() <= 9 && isDigit(text.front())) {
        // A short run of digits, the usual case: no blanks, no sign, no overflow.
        int parsed = 0;
        for (char c : text) {
            if (!isDigit(c)) {
                parsed = -1;
                break;
            }
            parsed = parsed * 10 + (c - '0');
        }
        if (parsed >= 0) {
            value = parsed;
            return true;
        }
    }
    const auto first = text.find_first_not_of(" \t\r\n\v\f");
    if (first == std::string_view::npos) {
        return false;
    }
    const auto last = text.find_last_not_of(" \t\r\n\v\f");
    std::string_view number = text.substr(first, last - first + 1);
    if (number.size() > 1 && number[0] == '+' && number[1] != '-') {
        number.remove_prefix(1);
    }
    int parsed = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), parsed);
    if (error != std::errc() || end != number.data() + number.size()) {
        return false;
    }
    value = parsed;
    return true;
}
