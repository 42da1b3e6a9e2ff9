#pragma once

#include "mentor/BoardModel.h"

namespace io {
class CAbstract_ostream;
}

/// Assigns a power net to every plane layer from the 'POWER_NET_NAMES' attribute into the
/// model's plane net map, and logs each assignment.
void mapPowerNets(MentorBS::BoardModel& model, io::CAbstract_ostream& log);
