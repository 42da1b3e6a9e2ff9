#pragma once

#include "corelib/Block.h"
#include "mentor/BoardModel.h"

class DocumentContext;

/// The `Materials` block, which has no items: every stackup layer names its material
/// where it is defined.
io::CBlockPtr buildMaterials(const MentorBS::BoardModel& model, DocumentContext& context);
