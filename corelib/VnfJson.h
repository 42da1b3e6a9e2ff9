#pragma once

#include <string>

#include "corelib/Block.h"

/// The canonical JSON form of a block tree (docs/vnf-format.md): what vnfdump prints, and a
/// compact way to look at a whole tree in tests.
namespace io {

class CAbstract_ostream;

/// The tree below `root` as JSON, with a final line end. Every block, function item, named
/// value and argument appears in tree order; each argument is tagged with its type. A block
/// opens on one line, its items follow one per line indented two blanks per depth, and it
/// closes on its own line; a function item with all its arguments fills one line.
std::string vnfToJson(const CBlock& root);

/// Writes the JSON of vnfToJson to `out` piece by piece, for trees whose JSON is large.
void writeVnfJson(const CBlock& root, CAbstract_ostream& out);

}  // namespace io
