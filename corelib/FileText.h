#pragma once

#include <cstddef>
#include <string>
#include <string_view>

/// The whole text of one input file. The file is mapped into memory where
/// the platform allows it (exports reach hundreds of megabytes) and read into a buffer
/// otherwise. The text lives as long as the object.
class FileText {
public:
    FileText() = default;
    ~FileText();
    FileText(const FileText&) = delete;
    FileText& operator=(const FileText&) = delete;

    /// Opens `path` and makes its text available; false when the file cannot be opened.
    /// A file that opens but cannot be read to its end keeps the text read so far.
    bool open(const std::string& path);

    std::string_view text() const { return m_text; }

private:
    void* m_mapping = nullptr;
    std::size_t m_mappedSize = 0;
    std::string m_buffer;
    std::string_view m_text;
};

/// Tells the user that an input file is missing (`text`, caption "File I/O Error") and
/// ends the process with status 0. Returns only when the reporter in use does not end
/// the process.
void reportMissingFile(const std::string& text);
