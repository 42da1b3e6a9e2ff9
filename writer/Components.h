#pragma once

#include "corelib/Block.h"
#include "mentor/BoardModel.h"

class DocumentContext;

/// The `Components` block: the board's definition and one definition per placed component.
/// Leaves the component definition and terminal index maps in the context.
io::CBlockPtr buildComponents(const MentorBS::BoardModel& model, DocumentContext& context);

/// The `SchematicData` block, which has no items.
io::CBlockPtr buildSchematicData(const MentorBS::BoardModel& model, DocumentContext& context);

/// The `Netlist` block of the layout cell: one `Compinst` per component with its electrical
/// value, then one `Net` per net with its pins, then the nets only the traces file names.
/// Reads the maps `buildComponents` left in the context and counts the net pins that name
/// no terminal.
io::CBlockPtr buildNetlist(const MentorBS::BoardModel& model, DocumentContext& context);
