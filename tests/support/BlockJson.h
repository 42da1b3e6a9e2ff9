#pragma once

// Writer tests build one output block from a small model made in memory and compare the
// block's JSON form (docs/vnf-format.md) with text written by hand, so that each test
// reads as input -> expected block.

#include <string>

#include "corelib/VnfJson.h"
#include "mentor/BoardModel.h"
#include "writer/DocumentContext.h"

namespace testing_support {

/// The JSON form of the block `build(model, context)` makes, with a fresh document context
/// as the document builder would give it.
template <typename Build>
std::string blockJson(const MentorBS::BoardModel& model, Build build, bool mergePlanes = false) {
    DocumentContext context(model, mergePlanes);
    return io::vnfToJson(*build(model, context));
}

}  // namespace testing_support
