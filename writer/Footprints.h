#pragma once

#include "corelib/Block.h"
#include "mentor/BoardModel.h"

class DocumentContext;

/// The `Symbols` block: one block per logical symbol; no reader makes symbols, so it has
/// no items.
io::CBlockPtr buildSymbols(const MentorBS::BoardModel& model, DocumentContext& context);

/// The `Footprints` block: per geometry, in board order, a block named as the neutral file
/// names the geometry, holding its `Layers`, its pins (`FpPins`) and its drawing followed by
/// its outlines (`FpGraphics`). Every graphic takes the next graphic number; the layers the
/// footprints draw on are appended to the context's footprint layer list.
io::CBlockPtr buildFootprints(const MentorBS::BoardModel& model, DocumentContext& context);
