#pragma once

#include <string>

class MentorParser;

/// Reads "MentorLayerFile" of the design directory into layer elements.
bool readLayerFile(MentorParser& parser, const std::string& designDirectory);
