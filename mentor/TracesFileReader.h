#pragma once

#include <string>

class MentorParser;

/// Reads "MentorTracesFile" of the design directory into layout nets and tables.
bool readTracesFile(MentorParser& parser, const std::string& designDirectory);
