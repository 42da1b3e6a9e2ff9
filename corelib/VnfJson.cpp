#include "corelib/VnfJson.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <type_traits>

#include "corelib/TokenStream.h"
#include "corelib/Utf8.h"

namespace io {

namespace {

// A JSON string: UTF-8, with only the quote, the backslash and the control characters
// below U+0020 escaped. Wide characters that are no Unicode scalar value (surrogates,
// values above U+10FFFF, negative values) have no UTF-8 form and become U+FFFD.
void appendJsonString(std::string& out, std::wstring_view text) {
    static constexpr char k_Hex[] = "0123456789abcdef";
    out += '"';
    for (wchar_t c : text) {
        const auto cp = static_cast<std::uint32_t>(c);
        switch (cp) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (cp < 0x20) {
                out += "\\u00";
                out += k_Hex[cp >> 4];
                out += k_Hex[cp & 0xF];
            } else if (!utf8::isScalarValue(cp)) {
                utf8::append(out, 0xFFFD);
            } else {
                utf8::append(out, cp);
            }
        }
    }
    out += '"';
}

// The shortest text that reads back to the same double; the non-finite values, which
// JSON numbers cannot hold, as the strings "inf", "-inf" and "nan".
void appendJsonDouble(std::string& out, double value) {
    if (std::isnan(value)) {
        out += "\"nan\"";
        return;
    }
    if (std::isinf(value)) {
        out += value < 0 ? "\"-inf\"" : "\"inf\"";
        return;
    }
    char digits[32];
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
    (void)error;
    out.append(digits, end);
}

constexpr std::size_t k_FlushThreshold = 1 << 20;

class JsonWriter {
public:
    explicit JsonWriter(CAbstract_ostream& out) : m_stream(out) {}

    void flush() {
        m_stream.WriteBytes(m_out);
        m_out.clear();
    }

    void block(const CBlock& b, std::size_t depth) {
        m_out += "{\"block\":";
        appendJsonString(m_out, b.name());
        m_out += ",\"items\":[";
        const std::vector<CBlockItem>& items = b.items();
        for (std::size_t i = 0; i < items.size(); ++i) {
            m_out += '\n';
            m_out.append(2 * (depth + 1), ' ');
            const CBlockItem& item = items[i];
            if (const auto* child = std::get_if<std::shared_ptr<const CBlock>>(&item)) {
                block(**child, depth + 1);
            } else if (const auto* f = std::get_if<std::shared_ptr<const CBlock_func>>(&item)) {
                func(**f);
            } else {
                const auto& named = std::get<CBlock_named_value>(item);
                m_out += "{\"named\":";
                appendJsonString(m_out, named.name());
                m_out += ",\"value\":";
                appendJsonString(m_out, named.value());
                m_out += '}';
            }
            if (i + 1 < items.size()) {
                m_out += ',';
            }
            if (m_out.size() >= k_FlushThreshold) {
                flush();
            }
        }
        if (!items.empty()) {
            m_out += '\n';
            m_out.append(2 * depth, ' ');
        }
        m_out += "]}";
    }

private:
    void func(const CBlock_func& f) {
        m_out += "{\"func\":";
        appendJsonString(m_out, f.name());
        m_out += ",\"args\":[";
        bool first = true;
        f.visitArguments([&](const auto& value) {
            if (!first) {
                m_out += ',';
            }
            first = false;
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, int>) {
                char digits[16];
                const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
                (void)error;
                m_out += "{\"int\":";
                m_out.append(digits, end);
                m_out += '}';
            } else if constexpr (std::is_same_v<T, double>) {
                m_out += "{\"double\":";
                appendJsonDouble(m_out, value);
                m_out += '}';
            } else if constexpr (std::is_same_v<T, bool>) {
                m_out += value ? "{\"bool\":true}" : "{\"bool\":false}";
            } else if constexpr (std::is_same_v<T, CBlock_func::PackedText>) {
                m_out += "{\"string\":";
                appendJsonString(m_out, value.wide());
                m_out += '}';
            } else {
                func(value);
            }
        });
        m_out += "]}";
    }

    CAbstract_ostream& m_stream;
    std::string m_out;
};

}  // namespace

void writeVnfJson(const CBlock& root, CAbstract_ostream& out) {
    JsonWriter writer(out);
    writer.block(root, 0);
    writer.flush();
    out.WriteBytes("\n");
}

std::string vnfToJson(const CBlock& root) {
    CString_ostream out;
    writeVnfJson(root, out);
    return out.str();
}

}  // namespace io
