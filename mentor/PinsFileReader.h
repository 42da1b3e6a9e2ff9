#pragma once

#include <string>

class MentorParser;

/// Reads "MentorPinsFile" of the design directory into pin-name elements.
bool readPinsFile(MentorParser& parser, const std::string& designDirectory);
