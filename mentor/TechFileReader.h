#pragma once

#include <map>
#include <string>
#include <string_view>

class MentorParser;

/// Reads "MentorTechFile" of the design directory: physical layers, bond layers, the
/// board rule and the technology. Fills `layers` (physical layer number -> name), copies
/// it into the parser and returns it. A technology other than "PCB" whose layers the
/// program cannot translate, or a missing file, ends the process (status 0) after a
/// message box.
std::map<int, std::string> readTechFile(MentorParser& parser, std::map<int, std::string>& layers,
                                        const std::string& designDirectory);

/// Reads the text of a technology file, as readTechFile does with the file's contents.
std::map<int, std::string> readTechText(MentorParser& parser, std::map<int, std::string>& layers,
                                        std::string_view text);
