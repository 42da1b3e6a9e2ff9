#pragma once

#include "corelib/Block.h"
#include "mentor/BoardModel.h"

class DocumentContext;

/// The `PadStacks` block: one padstack per pad, built on the names `buildPadShapes` left in
/// the context.
io::CBlockPtr buildPadStacks(const MentorBS::BoardModel& model, DocumentContext& context);
