#pragma once

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>

// Names as the export files write them. The neutral file keeps the quotes of its names
// ('SIGNAL_1', 'VIA20'); the geometry, technology and traces files write the same names
// bare; layer names are compared without regard to case where the files disagree on it.

/// `name` without its enclosing quotes when it begins and ends with the same quote.
inline std::string_view withoutQuotes(std::string_view name) {
    if (name.size() >= 2 && (name.front() == '\'' || name.front() == '"')
        && name.back() == name.front()) {
        return name.substr(1, name.size() - 2);
    }
    return name;
}

/// True when the two texts are equal but for the case of ASCII letters.
inline bool equalIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x))
                      == std::tolower(static_cast<unsigned char>(y));
           });
}

/// `text` with its ASCII letters in lower case.
inline std::string lowerCase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return lower;
}
