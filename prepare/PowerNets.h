#pragma once

#include <string>
#include <vector>

#include "mentor/BoardModel.h"

namespace io {
class CAbstract_ostream;
}

/// Assigns a power net to every plane layer from the 'POWER_NET_NAMES' attribute into the
/// model's plane net map, and logs each assignment.
void mapPowerNets(MentorBS::BoardModel& model, io::CAbstract_ostream& log);

/// The power layers (those whose XRF name is of the group POWER) that the plane net map
/// gives no net, in layer-number order: more power layers than power net names, a plane
/// numbered 0, or no 'POWER_NET_NAMES' attribute at all.
std::vector<std::string> powerLayersWithoutNet(const MentorBS::BoardModel& model);
