#pragma once

#include "mentor/BoardModel.h"

namespace io {
class CAbstract_ostream;
}

/// Turns every mapped negative plane layer into positive copper shapes on its net, and
/// reduces the model's `techLayers` to the layers written out.
void convertNegativePlanes(MentorBS::BoardModel& model, io::CAbstract_ostream& log);
