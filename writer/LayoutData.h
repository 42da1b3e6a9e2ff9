#pragma once

#include "corelib/Block.h"
#include "mentor/BoardModel.h"

class DocumentContext;

/// The `LayoutData` block: the layout cell with its netlist, layers, placed components and
/// nets, and the design with the top layout's layers and the board outline.
io::CBlockPtr buildLayoutData(const MentorBS::BoardModel& model, DocumentContext& context);

/// The `LayoutComponents` block: every component placed on its side's outer copper layer,
/// relative to the board's offset, with the layers its net pins reach.
io::CBlockPtr buildLayoutComponents(const MentorBS::BoardModel& model, DocumentContext& context);

/// The `PhysicalDimensions` block: the board outline, grown by the doubled placement grid,
/// as a polygon or a path; no items when the board has no outline.
io::CBlockPtr buildPhysicalDimensions(const MentorBS::BoardModel& model, DocumentContext& context);
