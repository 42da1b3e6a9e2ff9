#pragma once

#include <cstddef>
#include <string>
#include <string_view>

/// Reads the text of an export file the way the readers have always read it: with the
/// extraction rules of a standard input stream in the classic locale, but over a buffer
/// (a mapped file or a string) instead of a stream buffer.
///
/// - The state is the stream's: `eof` is set when an extraction reaches the end of the
///   text, `fail` when it takes nothing or cannot convert what it took. Every extraction
///   on a stream that is not `good` fails and changes nothing.
/// - White space is what `isspace` accepts in the classic locale: blank, tab, line feed,
///   vertical tab, form feed and carriage return. Every other byte, NUL included, is
///   part of a word.
/// - Words are views into the text: they stay valid as long as the text does.
class TextStream {
public:
    explicit TextStream(std::string_view text)
        : m_pos(text.data()), m_end(text.data() + text.size()) {}
    explicit TextStream(const char* text) : TextStream(std::string_view(text)) {}
    /// The stream only views its text: a temporary string would be gone before it is read.
    explicit TextStream(std::string&&) = delete;

    bool good() const { return !m_eof && !m_fail; }
    bool eof() const { return m_eof; }
    bool fail() const { return m_fail; }

    /// `>> std::string`: skips white space and takes the characters up to the next white
    /// space. Empty (and `fail` set) when there was nothing left to take.
    std::string_view word();

    /// A word that may be a quoted name: a word that begins with a single or a double
    /// quote and does not end with the same quote (and is longer than the quote alone) is
    /// continued character by character, white space included, up to and including the
    /// closing quote. Without a closing quote it runs to the end of the text and `fail`
    /// is set, as a character read at the end of a stream does.
    std::string_view quoted();

    /// `>> double`: takes an optional sign, digits with at most one decimal point and an
    /// exponent ("e" or "E" after a digit, an optional sign, digits), stopping at the
    /// first character that does not fit; the rest stays in the text. When what was
    /// taken is no number ("-", ".", "1e") the value becomes 0 and `fail` is set; a value
    /// beyond the range of a double becomes the largest double of its sign and `fail` is
    /// set. When nothing could be taken at all (end of text, or a stream that is not
    /// `good`) the value is left alone. Returns `!fail()`.
    bool number(double& value);

    /// `>> int`: an optional sign and decimal digits. No digit: 0 and `fail`; a value
    /// beyond 32 bits: the nearest 32-bit limit and `fail`. Otherwise as for doubles.
    bool number(int& value);

    /// `getline(buffer, bufferSize)`: takes the characters up to the next line feed,
    /// which is taken and dropped. A line that does not fit the buffer (bufferSize - 1
    /// characters and no line feed after them) keeps what fits and sets `fail`; an
    /// empty take at the end of the text sets `fail`. The text returned is what the
    /// buffer holds as a C string: it ends at the first NUL byte.
    std::string_view line(std::size_t bufferSize = 1024);

    /// `ignore(<largest count>, '\n')`: drops everything up to and including the next
    /// line feed, or to the end of the text (`eof`, not `fail`).
    void ignoreLine();

private:
    /// The common start of every skipping extraction; false when it fails.
    bool skipWhiteSpace();

    const char* m_pos;
    const char* m_end;
    bool m_eof = false;
    bool m_fail = false;
};

/// `sscanf(token, "%lf", &value)`: converts the longest leading part of `token` that
/// reads as a number (decimal, hexadecimal, infinity or NaN). The token ends at its first
/// NUL byte, as a C string does. Returns false and leaves `value` alone when the token
/// does not begin with a number.
bool scanDouble(std::string_view token, double& value);

/// `sscanf(token, "%d", &value)`: an optional sign and decimal digits, converted as a
/// long (held at the long's limits) and then cut to 32 bits, as the C library does.
/// Returns false and leaves `value` alone when there is no digit.
bool scanInt(std::string_view token, int& value);

/// The core library's number test on narrow text: true when the whole text, blanks
/// around it ignored, is a decimal integer that fits 32 bits (an optional "+" or "-"
/// before the digits); the value is then stored.
bool isDecimalInteger(std::string_view text, int& value);

/// True when `c` is a decimal digit.
inline bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

/// True when the first or the second character of `token` is a decimal digit.
inline bool hasLeadingDigit(std::string_view token) {
    return (!token.empty() && isDigit(token[0])) || (token.size() > 1 && isDigit(token[1]));
}

/// True when `token` begins with `c`.
inline bool beginsWith(std::string_view token, char c) {
    return !token.empty() && token.front() == c;
}

/// True when `token` ends with `c`.
inline bool endsWith(std::string_view token, char c) {
    return !token.empty() && token.back() == c;
}

/// `token` without its first `front` and its last `back` characters; empty when it is
/// not longer than both together.
inline std::string_view cut(std::string_view token, std::size_t front, std::size_t back) {
    return token.size() > front + back
               ? std::string_view(token.data() + front, token.size() - front - back)
               : std::string_view();
}
