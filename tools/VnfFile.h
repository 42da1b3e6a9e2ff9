#pragma once

// Reading a whole neutral file into its tree, for the developer tools.

#include <cstdio>
#include <memory>

#include "corelib/Block.h"
#include "corelib/FileText.h"
#include "corelib/VnfText.h"

/// The tree of the neutral file at `path`; null, after one line on standard error, when
/// the file cannot be opened or is no well-formed neutral file. The text is dropped as
/// soon as the tree is built.
inline std::shared_ptr<io::CBlock> readVnfFile(const char* path) {
    FileText file;
    if (!file.open(path)) {
        std::fprintf(stderr, "%s: cannot open\n", path);
        return nullptr;
    }
    io::VnfParseResult parsed = io::parseVnfText(file.text());
    if (!parsed.root) {
        std::fprintf(stderr, "%s:%zu: %s\n", path, parsed.errorLine, parsed.error.c_str());
    }
    return parsed.root;
}
