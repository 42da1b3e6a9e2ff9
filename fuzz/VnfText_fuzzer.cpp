// Reads any bytes as neutral-file text. A rejection must name a line of the input. Text
// that reads must survive being written and read again: written with 17 digits it reads
// back to the same tree; written with the program's 16 digits it reads back to the same
// tree but for doubles that need 17 digits, and that tree is written as the same text.

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "corelib/TokenStream.h"
#include "corelib/VnfJson.h"
#include "corelib/VnfText.h"

namespace {

std::string written(const io::CBlock& root, int precision) {
    io::CString_ostream out;
    out.SetPrecision(precision);
    out << root;
    return out.str();
}

bool needsSeventeenDigits(double value) {
    char text[32];
    char* end = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific).ptr;
    return std::count_if(text, std::find(text, end, 'e'),
                         [](char c) { return c >= '0' && c <= '9'; })
           > 16;
}

bool sameButRounding(const io::CBlock_func& a, const io::CBlock_func& b) {
    const std::vector<io::CBlockArgument> left = a.arguments();
    const std::vector<io::CBlockArgument> right = b.arguments();
    if (a.name() != b.name() || left.size() != right.size()) {
        return false;
    }
    for (std::size_t i = 0; i < left.size(); ++i) {
        const io::CBlockArgument& x = left[i];
        const io::CBlockArgument& y = right[i];
        if (x.index() != y.index()) {
            return false;
        }
        if (const double* d = std::get_if<double>(&x)) {
            const double e = std::get<double>(y);
            if (std::memcmp(d, &e, sizeof e) != 0 && !needsSeventeenDigits(*d)) {
                return false;
            }
        } else if (const auto* f = std::get_if<std::shared_ptr<const io::CBlock_func>>(&x)) {
            if (!sameButRounding(**f, *std::get<std::shared_ptr<const io::CBlock_func>>(y))) {
                return false;
            }
        } else if (x != y) {
            return false;
        }
    }
    return true;
}

bool sameButRounding(const io::CBlock& a, const io::CBlock& b) {
    if (a.name() != b.name() || a.items().size() != b.items().size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.items().size(); ++i) {
        const io::CBlockItem& x = a.items()[i];
        const io::CBlockItem& y = b.items()[i];
        if (x.index() != y.index()) {
            return false;
        }
        if (const auto* block = std::get_if<std::shared_ptr<const io::CBlock>>(&x)) {
            if (!sameButRounding(**block, *std::get<std::shared_ptr<const io::CBlock>>(y))) {
                return false;
            }
        } else if (const auto* func = std::get_if<std::shared_ptr<const io::CBlock_func>>(&x)) {
            if (!sameButRounding(**func, *std::get<std::shared_ptr<const io::CBlock_func>>(y))) {
                return false;
            }
        } else if (!(std::get<io::CBlock_named_value>(x) == std::get<io::CBlock_named_value>(y))) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const io::VnfParseResult parsed = io::parseVnfText(text);
    if (!parsed.root) {
        const auto lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
        if (parsed.errorLine < 1 || parsed.errorLine > lines + 1 || parsed.error.empty()) {
            std::abort();
        }
        return 0;
    }
    if (io::vnfToJson(*parsed.root).empty()) {
        std::abort();
    }

    const io::VnfParseResult exact = io::parseVnfText(written(*parsed.root, 17));
    if (!exact.root || !(*exact.root == *parsed.root)) {
        std::abort();
    }

    const std::string rounded = written(*parsed.root, 16);
    const io::VnfParseResult back = io::parseVnfText(rounded);
    if (!back.root || !sameButRounding(*parsed.root, *back.root)
        || written(*back.root, 16) != rounded) {
        std::abort();
    }
    return 0;
}
