#include "corelib/VString.h"

#include <charconv>
#include <cstdarg>
#include <cstdio>
#include <cwctype>
#include <system_error>

#include "corelib/Utf8.h"

namespace {

std::wstring trimmed(const std::wstring& s) {
    const auto first = s.find_first_not_of(L" \t\r\n\v\f");
    if (first == std::wstring::npos) {
        return {};
    }
    const auto last = s.find_last_not_of(L" \t\r\n\v\f");
    return s.substr(first, last - first + 1);
}

// The ASCII text of a number candidate, or empty when it holds anything else.
std::string asciiOf(const std::wstring& s) {
    std::string out;
    out.reserve(s.size());
    for (wchar_t c : s) {
        if (c <= 0 || c >= 0x80) {
            return {};
        }
        out += static_cast<char>(c);
    }
    return out;
}

// The whole text, blanks around it ignored, as one number of type T; `value` is left alone
// when the text is anything else.
template <typename T>
bool parseWholeNumber(const std::wstring& wide, T& value) {
    const std::string text = asciiOf(trimmed(wide));
    if (text.empty()) {
        return false;
    }
    const char* first = text.data();
    const char* last = first + text.size();
    if (*first == '+' && last - first > 1 && first[1] != '-') {
        ++first;
    }
    T parsed{};
    const auto [end, error] = std::from_chars(first, last, parsed);
    if (error != std::errc() || end != last) {
        return false;
    }
    value = parsed;
    return true;
}

bool wildcardMatch(const wchar_t* text, const wchar_t* pattern) {
    // Iterative matcher with one backtracking point for the last '*'.
    const wchar_t* star = nullptr;
    const wchar_t* resume = nullptr;
    while (*text) {
        if (*pattern == L'*') {
            star = pattern++;
            resume = text;
        } else if (*pattern == L'?'
                   || (*pattern && std::towlower(*pattern) == std::towlower(*text))) {
            ++pattern;
            ++text;
        } else if (star) {
            pattern = star + 1;
            text = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == L'*') {
        ++pattern;
    }
    return *pattern == 0;
}

VString vformat(const wchar_t* format, va_list args) {
    std::wstring out;
    const wchar_t* p = format;
    while (*p) {
        if (*p != L'%') {
            out += *p++;
            continue;
        }
        // Collect one conversion specification: flags, width, precision, length, type.
        const wchar_t* start = p++;
        if (*p == L'%') {
            out += L'%';
            ++p;
            continue;
        }
        while (*p && std::wcschr(L"-+ #0", *p)) {
            ++p;
        }
        while ((*p >= L'0' && *p <= L'9') || *p == L'*' || *p == L'.') {
            ++p;
        }
        std::string length;
        while (*p && std::wcschr(L"hlLqjzt", *p)) {
            length += static_cast<char>(*p++);
        }
        const wchar_t type = *p ? *p++ : 0;
        // Rebuild the conversion as narrow text for the C library, without the length modifier
        // for strings (handled here) and with it for numbers.
        std::string conversion;
        for (const wchar_t* q = start; q < p; ++q) {
            conversion += static_cast<char>(*q);
        }
        if (conversion.find('*') != std::string::npos) {
            // Widths taken from arguments are not used by this program; write the conversion as it
            // stands.
            out += std::wstring(start, p);
            continue;
        }
        char buffer[512];
        switch (type) {
        case L's':
        case L'S': {
            std::wstring text;
            if (length == "h") {
                const char* narrowText = va_arg(args, const char*);
                text = VString::widen(narrowText ? narrowText : "(null)");
            } else {
                const wchar_t* wideText = va_arg(args, const wchar_t*);
                text = wideText ? wideText : L"(null)";
            }
            // Apply width and precision through the C library on a placeholder.
            std::string flags(conversion.begin() + 1,
                              conversion.end() - 1 - static_cast<long>(length.size()));
            int width = 0;
            int precision = -1;
            bool left = false;
            std::size_t k = 0;
            while (k < flags.size() && std::string("-+ #0").find(flags[k]) != std::string::npos) {
                left = left || flags[k] == '-';
                ++k;
            }
            while (k < flags.size() && flags[k] >= '0' && flags[k] <= '9') {
                width = width * 10 + (flags[k++] - '0');
            }
            if (k < flags.size() && flags[k] == '.') {
                precision = 0;
                ++k;
                while (k < flags.size() && flags[k] >= '0' && flags[k] <= '9') {
                    precision = precision * 10 + (flags[k++] - '0');
                }
            }
            if (precision >= 0 && text.size() > static_cast<std::size_t>(precision)) {
                text.resize(static_cast<std::size_t>(precision));
            }
            const std::size_t pad =
                text.size() < static_cast<std::size_t>(width) ? width - text.size() : 0;
            if (!left) {
                out.append(pad, L' ');
            }
            out += text;
            if (left) {
                out.append(pad, L' ');
            }
            break;
        }
        case L'c':
        case L'C':
            out += static_cast<wchar_t>(va_arg(args, int));
            break;
        case L'd':
        case L'i':
            if (length == "ll" || length == "q" || length == "j") {
                std::snprintf(buffer, sizeof buffer, conversion.c_str(), va_arg(args, long long));
            } else if (length == "l" || length == "z" || length == "t") {
                std::snprintf(buffer, sizeof buffer, conversion.c_str(), va_arg(args, long));
            } else {
                std::snprintf(buffer, sizeof buffer, conversion.c_str(), va_arg(args, int));
            }
            out += VString::widen(buffer);
            break;
        case L'u':
        case L'x':
        case L'X':
        case L'o':
            if (length == "ll" || length == "q" || length == "j") {
                std::snprintf(buffer, sizeof buffer, conversion.c_str(),
                              va_arg(args, unsigned long long));
            } else if (length == "l" || length == "z" || length == "t") {
                std::snprintf(buffer, sizeof buffer, conversion.c_str(),
                              va_arg(args, unsigned long));
            } else {
                std::snprintf(buffer, sizeof buffer, conversion.c_str(), va_arg(args, unsigned));
            }
            out += VString::widen(buffer);
            break;
        case L'f':
        case L'F':
        case L'e':
        case L'E':
        case L'g':
        case L'G':
        case L'a':
        case L'A': {
            // "%lf" means double, as in printf; only "L" would mean long double.
            std::string numberConversion = conversion;
            if (length == "L") {
                std::snprintf(buffer, sizeof buffer, numberConversion.c_str(),
                              va_arg(args, long double));
            } else {
                std::snprintf(buffer, sizeof buffer, numberConversion.c_str(),
                              va_arg(args, double));
            }
            out += VString::widen(buffer);
            break;
        }
        case L'p':
            std::snprintf(buffer, sizeof buffer, "%p", va_arg(args, void*));
            out += VString::widen(buffer);
            break;
        default:
            // An unknown conversion is copied as it stands.
            out += std::wstring(start, p);
            break;
        }
    }
    return VString(std::move(out));
}

}  // namespace

std::wstring VString::widen(std::string_view narrow) {
    std::wstring out;
    out.reserve(narrow.size());
    for (std::size_t i = 0; i < narrow.size();) {
        const unsigned char b = static_cast<unsigned char>(narrow[i]);
        if (b < 0x80) {
            out += static_cast<wchar_t>(b);
            ++i;
            continue;
        }
        char32_t cp = 0;
        const std::size_t len = utf8::decode(narrow.data() + i, narrow.data() + narrow.size(), cp);
        if (len == 0) {
            out += static_cast<wchar_t>(b);
            ++i;
        } else {
            out += static_cast<wchar_t>(cp);
            i += len;
        }
    }
    return out;
}

std::string VString::narrow(std::wstring_view wide) {
    std::string out;
    out.reserve(wide.size());
    for (wchar_t c : wide) {
        const auto cp = static_cast<char32_t>(c);
        // Values that are no Unicode scalar value cannot be encoded; U+FFFD stands in.
        utf8::append(out, utf8::isScalarValue(cp) ? cp : 0xFFFD);
    }
    return out;
}

std::string VString::ToNarrow() const {
    return narrow(m_text);
}

VString& VString::Format(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    *this = vformat(format ? format : L"", args);
    va_end(args);
    return *this;
}

VString VString::Formatted(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    VString result = vformat(format ? format : L"", args);
    va_end(args);
    return result;
}

int VString::CompareNoCase(const VString& other) const {
    const std::size_t n = std::min(m_text.size(), other.m_text.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto a = static_cast<long>(std::towlower(m_text[i]));
        const auto b = static_cast<long>(std::towlower(other.m_text[i]));
        if (a != b) {
            return a < b ? -1 : 1;
        }
    }
    if (m_text.size() == other.m_text.size()) {
        return 0;
    }
    return m_text.size() < other.m_text.size() ? -1 : 1;
}

bool VString::MatchNoCase(const VString& pattern) const {
    return wildcardMatch(m_text.c_str(), pattern.m_text.c_str());
}

bool VString::IsNumber(int& value) const {
    return parseWholeNumber(m_text, value);
}

bool VString::IsNumber(double& value) const {
    return parseWholeNumber(m_text, value);
}

std::size_t VString::TokenizeString(const VString& delimiters, std::list<VString>& out,
                                    bool keepEmpty) const {
    std::size_t added = 0;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = m_text.find_first_of(delimiters.m_text, start);
        const std::size_t stop = end == npos ? m_text.size() : end;
        if (keepEmpty || stop > start) {
            out.emplace_back(m_text.substr(start, stop - start));
            ++added;
        }
        if (end == npos) {
            break;
        }
        start = end + 1;
    }
    return added;
}
