#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "corelib/Block.h"

/// The text syntax of the neutral layout file (docs/vnf-format.md): one item per line,
/// two blanks of indentation per depth, every name and string quoted, a block's end
/// marked with its name.
namespace io {

class CAbstract_ostream;

/// Writes `block` and everything below it to `out`, doubles with `precision`
/// significant digits.
void writeVnfText(const CBlock& block, CAbstract_ostream& out, int precision);

/// Appends `value` in the syntax of a double argument: `precision` significant digits,
/// always with a '.' or an exponent so that it never reads as an int; "inf", "-inf" and
/// "nan" for the non-finite values.
void appendVnfDouble(std::string& out, double value, int precision);

/// Appends `text` as a quoted string with the escapes of the syntax.
void appendVnfString(std::string& out, std::wstring_view text);

/// How deep blocks and function items may nest in text that is read back: the root block
/// is level 1, and each item is one level below the block or function item that holds it.
/// The tree's users (its destructor, its comparison, the writer) recurse once per level,
/// so the reader refuses deeper text instead of building a tree they cannot walk.
constexpr std::size_t k_MaxVnfDepth = 1000;

/// The result of reading neutral-file text.
struct VnfParseResult {
    std::shared_ptr<CBlock> root;  ///< null when the text is malformed
    std::size_t errorLine = 0;     ///< 1-based line of the first error
    std::string error;             ///< what is wrong there
};

/// Reads text in the syntax above back into a tree. Any bytes are accepted: malformed
/// text yields a null root with the line and a description of the first error. Time is
/// linear in the size of the text and the call stack does not grow with the nesting.
VnfParseResult parseVnfText(std::string_view text);

}  // namespace io
