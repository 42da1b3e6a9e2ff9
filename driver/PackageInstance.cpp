#include "driver/PackageInstance.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>

namespace {

constexpr const char* k_Prefix = "pkginst.pkginst_";
constexpr std::size_t k_PrefixLength = 16;
// Lines are read into a buffer of this many bytes, terminator included.
constexpr std::size_t k_LineBuffer = 1024;

// Reads one line as a line-buffer read of k_LineBuffer bytes does: false at the end of
// the file, and false (reading stops) for a line that does not fit. A CR before the line
// feed belongs to the line end. The line holds the text up to its first NUL byte.
bool readLine(std::FILE* file, std::string& line) {
    line.clear();
    bool any = false;
    for (int c; (c = std::fgetc(file)) != EOF;) {
        any = true;
        if (c == '\n') {
            break;
        }
        if (line.size() == k_LineBuffer - 1) {
            return false;
        }
        line += static_cast<char>(c);
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    line.resize(std::strlen(line.c_str()));
    return any;
}

// A decimal integer as "%d" reads it: blanks skipped, an optional sign, digits; 0 when
// there are none. Values beyond 64 bits saturate and then wrap to 32 bits, as the C
// library's conversion does.
int scanInteger(const char* text) {
    while (std::isspace(static_cast<unsigned char>(*text))) {
        ++text;
    }
    bool negative = false;
    if (*text == '+' || *text == '-') {
        negative = *text == '-';
        ++text;
    }
    std::uint64_t value = 0;
    bool saturated = false;
    for (; std::isdigit(static_cast<unsigned char>(*text)); ++text) {
        const auto digit = static_cast<std::uint64_t>(*text - '0');
        if (value > (std::numeric_limits<std::uint64_t>::max() - digit) / 10) {
            saturated = true;
        } else {
            value = value * 10 + digit;
        }
    }
    std::int64_t signedValue = 0;
    const auto limit = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    if (negative) {
        signedValue = (saturated || value > limit) ? std::numeric_limits<std::int64_t>::min()
                                                   : -static_cast<std::int64_t>(value);
    } else {
        signedValue = (saturated || value > limit) ? std::numeric_limits<std::int64_t>::max()
                                                   : static_cast<std::int64_t>(value);
    }
    return static_cast<int>(static_cast<std::int32_t>(signedValue));
}

}  // namespace

std::string packageInstanceReference(const std::string& line) {
    if (line.size() < k_PrefixLength) {
        return {};
    }
    const std::size_t position = line.find(k_Prefix);
    // The prefix must not open the line and must be followed by something.
    if (position == std::string::npos || position < 1 || position + k_PrefixLength >= line.size()) {
        return {};
    }
    // The number is printed again, so leading zeros and any text after it drop out.
    return k_Prefix + std::to_string(scanInteger(line.c_str() + position + k_PrefixLength));
}

void convertPackageInstance(const std::string& packageDirectory,
                            const std::string& designDirectory) {
    std::FILE* attributes =
        std::fopen((packageDirectory + "/pkginst.Pcb_pkginst.attr").c_str(), "r");
    if (!attributes) {
        return;
    }
    std::string instanceName;
    std::string line;
    while (readLine(attributes, line)) {
        if (std::string reference = packageInstanceReference(line); !reference.empty()) {
            instanceName = std::move(reference);
        }
    }
    std::fclose(attributes);
    if (instanceName.empty()) {
        return;
    }

    std::FILE* source = std::fopen((packageDirectory + "/" + instanceName).c_str(), "rb");
    if (!source) {
        return;
    }
    std::FILE* target = std::fopen((designDirectory + "/MentorGatesFile").c_str(), "wb");
    if (target) {
        char buffer[1 << 16];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, source)) > 0;) {
            if (std::fwrite(buffer, 1, n, target) != n) {
                break;
            }
        }
        std::fclose(target);
    }
    std::fclose(source);
}
