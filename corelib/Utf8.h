#pragma once

#include <cstddef>
#include <string>

/// UTF-8 helpers shared by the wide strings and the neutral file's text and JSON forms.
namespace utf8 {

/// Appends the UTF-8 form of `cp`, which must be a Unicode scalar value.
inline void append(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

/// True for the values that have a UTF-8 form.
inline bool isScalarValue(char32_t cp) {
    return cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF);
}

/// Length of the multi-byte sequence at `p` (before `end`) when it encodes a scalar value
/// of U+0080 or above in the shortest form, with the value in `cp`; else 0 (overlong
/// forms, surrogates, values above U+10FFFF and truncated sequences).
inline std::size_t decode(const char* p, const char* end, char32_t& cp) {
    const auto b0 = static_cast<unsigned char>(*p);
    std::size_t length = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
        cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        cp = b0 & 0x0F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        cp = b0 & 0x07;
    } else {
        return 0;
    }
    if (static_cast<std::size_t>(end - p) < length) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        const auto b = static_cast<unsigned char>(p[k]);
        if ((b & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    if ((length == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF)))
        || (length == 4 && (cp < 0x10000 || cp > 0x10FFFF))) {
        return 0;
    }
    return length;
}

}  // namespace utf8
