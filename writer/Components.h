#pragma once

#include "corelib/Block.h"
#include "mentor/BoardModel.h"

class DocumentContext;

/// The `Components` block: the board's definition and one definition per placed component.
/// Leaves the component definition and terminal index maps in the context.
io::CBlockPtr buildComponents(const MentorBS::BoardModel& model, DocumentContext& context);

/// The `SchematicData` block, which has no items.
io::CBlockPtr buildSchematicData(const MentorBS::BoardModel& model, DocumentContext& context);
