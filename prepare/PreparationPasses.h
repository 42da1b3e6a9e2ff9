#pragma once

#include "mentor/BoardModel.h"

namespace io {
class CAbstract_ostream;
}

/// Runs the preparation passes over the model in the translator's order: routed areas and
/// the board outline, then the power nets of the plane layers, then the plane conversion,
/// which needs both.
void prepareBoard(MentorBS::BoardModel& model, io::CAbstract_ostream& log);
