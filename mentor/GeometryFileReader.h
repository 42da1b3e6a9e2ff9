#pragma once

#include <string>

class MentorParser;

/// Reads "MentorGeometryFile" of the design directory into shape elements.
bool readGeometryFile(MentorParser& parser, const std::string& designDirectory);
