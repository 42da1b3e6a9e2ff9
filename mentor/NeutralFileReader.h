#pragma once

#include <string>

class MentorParser;

/// Reads "MentorNeutralFile" of the design directory record by record into the parser.
bool readNeutralFile(MentorParser& parser, const std::string& designDirectory);
