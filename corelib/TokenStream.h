#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "corelib/Block.h"
#include "corelib/FileName.h"
#include "corelib/VString.h"

namespace io {

/// The grammar of the token streams. The text syntax is fixed (see docs/vnf-format.md),
/// so this object holds nothing; it is constructed before, and destroyed after, every
/// token stream, as the streams' users have always done.
class CToken_grammar {
public:
    CToken_grammar();
    ~CToken_grammar();
    CToken_grammar(const CToken_grammar&) = delete;
    CToken_grammar& operator=(const CToken_grammar&) = delete;
};

/// Destination of a block tree or of log text: bytes, written in order.
class CAbstract_ostream {
public:
    virtual ~CAbstract_ostream() = default;

    /// Significant digits written for doubles (1 to 17).
    void SetPrecision(int digits);
    int GetPrecision() const { return m_precision; }

    /// Writes text as UTF-8, unchanged (the log's text-write operation).
    void WriteText(const VString& text);
    /// Ends the current line (the log's line-end operation).
    void EndLine();

    /// Writes the whole tree in the neutral file's text syntax.
    CAbstract_ostream& operator<<(const CBlock& block);
    CAbstract_ostream& operator<<(const CBlockPtr& block) { return *this << *block; }

    virtual void WriteBytes(std::string_view bytes) = 0;
    /// Pushes buffered bytes to their destination.
    virtual void Flush() {}

private:
    int m_precision = 16;
};

/// A token stream on a file. Mode 32 (the only mode the program uses) writes the text
/// syntax as UTF-8. The stream is buffered; every line end of the log flushes it, so a
/// run that ends early leaves every line written so far.
class CToken_ostream : public CAbstract_ostream {
public:
    CToken_ostream(const LongFileName& file, int mode);
    ~CToken_ostream() override;
    CToken_ostream(const CToken_ostream&) = delete;
    CToken_ostream& operator=(const CToken_ostream&) = delete;

    bool IsOpen() const { return m_file != nullptr; }
    /// Flushes and closes the file. False when the file could not be opened or any write
    /// or the close failed.
    bool Close();
    int GetMode() const { return m_mode; }

    void Flush() override;
    void WriteBytes(std::string_view bytes) override;

private:
    std::FILE* m_file = nullptr;
    bool m_failed = false;
    int m_mode;
};

/// Writes one run-log message: the text, then two line ends (so every message is
/// followed by an empty line).
void logMessage(CAbstract_ostream& log, const VString& text);

/// A token stream into memory (tests, and callers that want the text).
class CString_ostream : public CAbstract_ostream {
public:
    const std::string& str() const { return m_bytes; }
    void WriteBytes(std::string_view bytes) override { m_bytes += bytes; }

private:
    std::string m_bytes;
};

}  // namespace io
