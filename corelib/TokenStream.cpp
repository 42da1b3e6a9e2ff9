#include "corelib/TokenStream.h"

#include "corelib/VnfText.h"

namespace io {

CToken_grammar::CToken_grammar() = default;
CToken_grammar::~CToken_grammar() = default;

void CAbstract_ostream::SetPrecision(int digits) {
    m_precision = digits < 1 ? 1 : (digits > 17 ? 17 : digits);
}

void CAbstract_ostream::WriteText(const VString& text) {
    WriteBytes(text.ToNarrow());
}

void CAbstract_ostream::EndLine() {
    WriteBytes("\n");
    Flush();
}

CAbstract_ostream& CAbstract_ostream::operator<<(const CBlock& block) {
    writeVnfText(block, *this, m_precision);
    return *this;
}

void logMessage(CAbstract_ostream& log, const VString& text) {
    log.WriteText(text);
    log.EndLine();
    log.EndLine();
}

CToken_ostream::CToken_ostream(const LongFileName& file, int mode) : m_mode(mode) {
    m_file = std::fopen(file.native().c_str(), "wb");
    if (m_file) {
        std::setvbuf(m_file, nullptr, _IOFBF, 1 << 16);
    }
}

CToken_ostream::~CToken_ostream() {
    Close();
}

void CToken_ostream::WriteBytes(std::string_view bytes) {
    if (!m_file) {
        m_failed = true;
        return;
    }
    if (std::fwrite(bytes.data(), 1, bytes.size(), m_file) != bytes.size()) {
        m_failed = true;
    }
}

void CToken_ostream::Flush() {
    if (m_file && std::fflush(m_file) != 0) {
        m_failed = true;
    }
}

bool CToken_ostream::Close() {
    if (!m_file) {
        return false;
    }
    if (std::fclose(m_file) != 0) {
        m_failed = true;
    }
    m_file = nullptr;
    return !m_failed;
}

}  // namespace io
