#pragma once

#include <vector>

#include "mentor/BoardModel.h"

/// Prepares the traces file's routed areas: each layer name is mapped to the layer file's,
/// lengths are scaled into design units, and a net's only area is kept whole while the
/// areas of a net with several are each split into simple loops (one loop as a prepared
/// area, several as one split-area group). Areas of fewer than three points are dropped.
void prepareRoutedAreas(MentorBS::BoardModel& model);

/// The simple loops of a closed chain of straight edges (x and y alternating): the faces of
/// the planar graph the chain draws, crossings split and coincident points merged, without
/// the outer boundary, largest first, each clockwise and without vertices where the
/// boundary turns by less than 0.05 degrees. A bow-tie gives its two triangles.
std::vector<MentorBS::CoordinateList> splitAreaOutline(const MentorBS::CoordinateList& vertices);
