#pragma once

#include "mentor/BoardModel.h"

namespace io {
class CAbstract_ostream;
}

/// Turns every mapped negative plane layer into positive copper shapes on its net, and
/// reduces the model's `techLayers` to the layers written out.
/// Independent layers are converted on one worker per hardware thread; the result is the
/// same whatever the number of workers.
void convertNegativePlanes(MentorBS::BoardModel& model, io::CAbstract_ostream& log);

/// As above with the number of workers given (1 converts the layers one after another).
void convertNegativePlanes(MentorBS::BoardModel& model, io::CAbstract_ostream& log,
                           unsigned workers);
