#pragma once

#include <cstddef>
#include <string>

#include "corelib/Block.h"
#include "mentor/BoardModel.h"

class DocumentContext;

/// The `PadShapes` block: one shape function per pad layer shape and pin or via polygon.
/// Leaves the stored names, the "_ANTI" rename map and the pin/via polygon map in the
/// context for the padstacks.
io::CBlockPtr buildPadShapes(const MentorBS::BoardModel& model, DocumentContext& context);

/// Name of the pad shape a pad draws on one layer: the pad's name, the shape's kind word
/// and its sizes written with "%lf" (the height only for a rectangle), for instance
/// P1CIRCLE0.500000.
std::string padShapeName(const MentorBS::Pad& pad, const MentorBS::PadShape& shape);

/// A size of a pad shape: 0 the width or diameter, 1 the height; 0.0 for a size the pad
/// line did not give.
double padShapeSize(const MentorBS::PadShape& shape, std::size_t index);
