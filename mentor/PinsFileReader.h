#pragma once

#include <string>
#include <string_view>

class MentorParser;

/// Reads "MentorPinsFile" of the design directory into pin-name elements, appended to
/// the element list in file order. A missing file ends the process (status 0) after a
/// message box. Returns true.
bool readPinsFile(MentorParser& parser, const std::string& designDirectory);

/// Reads the text of a pins file, as readPinsFile does with the file's contents.
bool readPinsText(MentorParser& parser, std::string_view text);
