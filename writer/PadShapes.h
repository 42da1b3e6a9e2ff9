#pragma once

#include "corelib/Block.h"
#include "mentor/BoardModel.h"

class DocumentContext;

/// The `PadShapes` block: one shape function per pad layer shape and pin or via polygon.
/// Leaves the stored names, the "_ANTI" rename map and the pin/via polygon map in the
/// context for the padstacks.
io::CBlockPtr buildPadShapes(const MentorBS::BoardModel& model, DocumentContext& context);
