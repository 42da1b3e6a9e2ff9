#include "corelib/VnfText.h"

#include <charconv>
#include <cmath>

#include "corelib/TokenStream.h"

namespace io {

namespace {

constexpr std::size_t k_FlushThreshold = 1 << 20;

void appendUtf8(std::string& out, char32_t cp) {
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

void appendHexEscape(std::string& out, std::uint32_t value) {
    char digits[16];
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value, 16);
    (void)error;
    out += "\\u{";
    out.append(digits, end);
    out += '}';
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
        appendVnfString(m_buffer, f.name());
        m_buffer += '(';
        bool first = true;
        for (const CBlockArgument& arg : f.arguments()) {
            if (!first) {
                m_buffer += ", ";
            }
            first = false;
            if (const int* i = std::get_if<int>(&arg)) {
                char digits[16];
                const auto [end, error] = std::to_chars(digits, digits + sizeof digits, *i);
                (void)error;
                m_buffer.append(digits, end);
            } else if (const double* d = std::get_if<double>(&arg)) {
                appendVnfDouble(m_buffer, *d, m_precision);
            } else if (const bool* b = std::get_if<bool>(&arg)) {
                m_buffer += *b ? "true" : "false";
            } else if (const auto* s = std::get_if<std::wstring>(&arg)) {
                appendVnfString(m_buffer, *s);
            } else {
                func(*std::get<std::shared_ptr<const CBlock_func>>(arg));
            }
        }
        m_buffer += ')';
    }

    CAbstract_ostream& m_out;
    int m_precision;
    std::string m_buffer;
};

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
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value,
                                            std::chars_format::general, precision);
    (void)error;
    const std::string_view text(digits, static_cast<std::size_t>(end - digits));
    out += text;
    if (text.find_first_of(".e") == std::string_view::npos) {
        out += ".0";
    }
}

void appendVnfString(std::string& out, std::wstring_view text) {
    out += '"';
    for (wchar_t c : text) {
        const auto cp = static_cast<std::uint32_t>(c);
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
            if (cp < 0x20 || cp == 0x7F || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) {
                appendHexEscape(out, cp);
            } else {
                appendUtf8(out, cp);
            }
        }
    }
    out += '"';
}

void writeVnfText(const CBlock& block, CAbstract_ostream& out, int precision) {
    TextWriter writer(out, precision);
    writer.block(block, 0);
    writer.flush();
}

}  // namespace io
