#pragma once

#include "mentor/BoardModel.h"

/// Scales the traces file's routed areas into design units and splits the areas of nets
/// with several of them into simple loops.
void prepareRoutedAreas(MentorBS::BoardModel& model);
