#pragma once

#include <cstddef>
#include <list>
#include <string>
#include <string_view>

/// Wide string of the core library. Names and texts written to the neutral file are
/// VStrings. Narrow text is widened as UTF-8; bytes that do not form valid UTF-8 are
/// taken one by one as Latin-1 code points, so any byte string widens without loss of
/// information about ASCII and pure UTF-8 input.
class VString {
public:
    static constexpr std::size_t npos = std::wstring::npos;

    VString() = default;
    VString(const wchar_t* text) : m_text(text ? text : L"") {}
    VString(std::wstring text) : m_text(std::move(text)) {}
    VString(std::wstring_view text) : m_text(text) {}
    VString(const char* text) : m_text(widen(text ? std::string_view(text) : std::string_view())) {}
    VString(const std::string& text) : m_text(widen(text)) {}
    explicit VString(std::string_view text) : m_text(widen(text)) {}

    VString& operator+=(const VString& other) {
        m_text += other.m_text;
        return *this;
    }
    VString& operator+=(const wchar_t* text) {
        m_text += text ? text : L"";
        return *this;
    }
    VString& operator+=(const char* text) {
        m_text += widen(text ? std::string_view(text) : std::string_view());
        return *this;
    }
    VString& operator+=(const std::string& text) {
        m_text += widen(text);
        return *this;
    }
    VString& operator+=(wchar_t c) {
        m_text += c;
        return *this;
    }

    const wchar_t* c_str() const { return m_text.c_str(); }
    const std::wstring& wide() const { return m_text; }
    std::size_t size() const { return m_text.size(); }
    bool empty() const { return m_text.empty(); }
    wchar_t operator[](std::size_t i) const { return m_text[i]; }

    /// The text as UTF-8 bytes.
    std::string ToNarrow() const;

    /// Replaces the contents by printf-style formatting of a wide format. Unlike the C
    /// library's wide printf, "%s" takes wide text (const wchar_t*); "%hs" takes narrow text.
    VString& Format(const wchar_t* format, ...);
    static VString Formatted(const wchar_t* format, ...);

    /// 0 when equal ignoring case, otherwise negative or positive like wcscmp.
    int CompareNoCase(const VString& other) const;
    /// Wildcard match ignoring case: '*' matches any run of characters, '?' one character.
    bool MatchNoCase(const VString& pattern) const;

    /// True when the whole text (blanks around it ignored) is a decimal integer that fits
    /// 32 bits; the value is stored in `value`.
    bool IsNumber(int& value) const;
    /// True when the whole text (blanks around it ignored) is a decimal floating-point
    /// number; the value is stored in `value`.
    bool IsNumber(double& value) const;

    /// Splits at any of the delimiter characters and appends the pieces to `out`.
    /// With `keepEmpty` false, empty pieces (between adjacent delimiters or at the ends)
    /// are dropped. Returns the number of pieces appended.
    std::size_t TokenizeString(const VString& delimiters, std::list<VString>& out,
                               bool keepEmpty) const;

    VString Left(std::size_t count) const { return VString(m_text.substr(0, count)); }
    VString Right(std::size_t count) const {
        return VString(count >= m_text.size() ? m_text : m_text.substr(m_text.size() - count));
    }
    std::size_t find(const VString& what, std::size_t from = 0) const {
        return m_text.find(what.m_text, from);
    }
    std::size_t find(wchar_t what, std::size_t from = 0) const { return m_text.find(what, from); }

    friend bool operator==(const VString& a, const VString& b) { return a.m_text == b.m_text; }
    friend auto operator<=>(const VString& a, const VString& b) { return a.m_text <=> b.m_text; }
    friend VString operator+(VString a, const VString& b) {
        a += b;
        return a;
    }

    static std::wstring widen(std::string_view narrow);
    static std::string narrow(std::wstring_view wide);

private:
    std::wstring m_text;
};
