#pragma once

#include <string>
#include <string_view>

class MentorParser;

/// Reads "MentorNeutralFile" of the design directory record by record into the parser:
/// board, attributes, nets, geometries, components, pads, holes and fixtures, appended
/// to the element list in file order. A missing file ends the process (status 0) after
/// a message box. Returns true.
bool readNeutralFile(MentorParser& parser, const std::string& designDirectory);

/// Reads the text of a neutral file, as readNeutralFile does with the file's contents.
bool readNeutralText(MentorParser& parser, std::string_view text);
