#pragma once

#include <string>

class MentorParser;

/// Reads "MentorGatesFile" of the design directory into gate and pin-set elements.
bool readGatesFile(MentorParser& parser, const std::string& designDirectory);
