#pragma once

#include "corelib/Block.h"
#include "mentor/BoardModel.h"

class DocumentContext;

/// The `Symbols` block: one block per logical symbol; no reader makes symbols, so it has
/// no items.
io::CBlockPtr buildSymbols(const MentorBS::BoardModel& model, DocumentContext& context);

/// The `Footprints` block: one block per geometry with its layers, pins and drawing.
io::CBlockPtr buildFootprints(const MentorBS::BoardModel& model, DocumentContext& context);
