#pragma once

#include <string>
#include <string_view>

class MentorParser;

/// Reads "MentorGatesFile" of the design directory into gate and pin-set elements,
/// appended to the element list in file order. A missing file ends the process (status
/// 0) after a message box. Returns true.
bool readGatesFile(MentorParser& parser, const std::string& designDirectory);

/// Reads the text of a gates file, as readGatesFile does with the file's contents.
bool readGatesText(MentorParser& parser, std::string_view text);
