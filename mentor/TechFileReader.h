#pragma once

#include <map>
#include <string>

class MentorParser;

/// Reads "MentorTechFile" of the design directory: physical layers, bond layers, the
/// board rule and the technology. Fills `layers` (physical layer number -> name), copies
/// it into the parser and returns it.
std::map<int, std::string> readTechFile(MentorParser& parser, std::map<int, std::string>& layers,
                                        const std::string& designDirectory);
