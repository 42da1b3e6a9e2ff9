#pragma once

#include <string>
#include <string_view>

class MentorParser;

/// Reads "MentorTracesFile" of the design directory: per net its traces, areas and
/// islands (one layout net each, into the parser's net list), the layer cross-reference
/// and the test points. Needs the technology file's layer numbers and the neutral file's
/// nets, so it runs after those readers. A missing file ends the process (status 0)
/// after a message box. Returns true.
bool readTracesFile(MentorParser& parser, const std::string& designDirectory);

/// Reads the text of a traces file, as readTracesFile does with the file's contents.
bool readTracesText(MentorParser& parser, std::string_view text);
