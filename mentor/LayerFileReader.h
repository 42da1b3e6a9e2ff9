#pragma once

#include <string>
#include <string_view>

class MentorParser;

/// Reads "MentorLayerFile" of the design directory: one layer element per line (name,
/// number, type and thirteen integers), appended to the element list. A missing file
/// ends the process (status 0) after a message box. Returns true.
bool readLayerFile(MentorParser& parser, const std::string& designDirectory);

/// Reads the text of a layer file, as readLayerFile does with the file's contents.
bool readLayerText(MentorParser& parser, std::string_view text);
