#pragma once

#include <string>

#include "corelib/VString.h"

/// A file path as the core library's streams take it.
class LongFileName {
public:
    LongFileName() = default;
    explicit LongFileName(VString path) : m_path(std::move(path)) {}

    const VString& path() const { return m_path; }
    /// The path as bytes for the operating system (UTF-8).
    std::string native() const { return m_path.ToNarrow(); }

    /// Replaces the extension of the last path component (the text after its last '.')
    /// by `extension`, given without the dot; adds it when the name has none.
    LongFileName& ChangeExt(const VString& extension);

private:
    VString m_path;
};

/// File extensions the core library knows by number; 3 is the neutral layout file's "vnf".
/// Unknown numbers give the empty text.
VString GetFileExtension(int which);

/// Moves the finished file `from` over `to` in one step (both in one directory), so that
/// readers of `to` see either the old file or the complete new one. False on failure,
/// in which case `from` is removed.
bool ReplaceFile(const LongFileName& from, const LongFileName& to);

/// Removes a file; false when there was none or it could not be removed.
bool RemoveFile(const LongFileName& file);
