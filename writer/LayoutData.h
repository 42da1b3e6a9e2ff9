#pragma once

#include "corelib/Block.h"
#include "mentor/BoardModel.h"

class DocumentContext;

/// The `LayoutData` block: the layout cell with its placed components and nets, and the
/// design.
io::CBlockPtr buildLayoutData(const MentorBS::BoardModel& model, DocumentContext& context);
