#pragma once

#include <map>
#include <string>

class MentorParser;
namespace io {
class CAbstract_ostream;
}

/// Scales the traces file's routed areas into design units, splits the areas of nets
/// with several of them into simple loops.
void prepareRoutedAreas(MentorParser& parser);

/// Assigns a power net to every plane layer from the 'POWER_NET_NAMES' attribute and
/// logs each assignment.
void mapPowerNets(MentorParser& parser, io::CAbstract_ostream& log);

/// Turns every mapped negative plane layer into positive copper shapes on its net.
/// `layers` (physical layer number -> name) is reduced to the layers written out.
void convertNegativePlanes(MentorParser& parser, std::map<int, std::string>& layers,
                           io::CAbstract_ostream& log);
