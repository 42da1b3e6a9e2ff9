#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "math/geometry/Polygon.h"
#include "mentor/BoardModel.h"

// What the preparation passes and the layout writer share about the board's shapes: layer
// names of the geometry file, the routing outline, and the way between kernel polygons and
// board-model shapes.

/// The layer-file name of a geometry-file layer name: the layer of the first XRF name equal
/// to it ignoring case; empty when there is none (such a shape then matches no layer).
std::string mapLayerName(const MentorBS::BoardModel& model, std::string_view layerName);

/// The factor that turns traces-file values (counts of 10 nm) into design units.
double tracesCoordinateFactor(const MentorBS::BoardModel& model);

/// The board routing outline: the neutral file's 'BOARD_ROUTING_OUTLINE' attribute when it
/// holds an even number, at least 6, of values; else the first board polygon or path of the
/// geometry file with an even number, more than 6, of values, or its first board outline
/// attribute. False when there is none.
bool findBoardRoutingOutline(const MentorBS::BoardModel& model, MentorBS::CoordinateList& points);

/// The board's paths whose layer maps to `layerName`, in element order.
std::vector<const MentorBS::Path*> selectBoardPaths(const MentorBS::BoardModel& model,
                                                    std::string_view layerName);

/// The closed kernel polygon through the points (x and y alternating), each times `scale`.
geom::Polygon buildPolygon(const MentorBS::CoordinateList& points, double scale);

/// A kernel polygon as a board-model shape on `layerName`: a circle when it is one whole
/// circle, else an arc polygon (x, y and the signed height of the edge leaving each vertex),
/// or with `discretise` a polygon of chords. Null for a polygon of fewer than 2 edges. The
/// shape has no owner: the caller files it under its net.
MentorBS::MentorElement* convertPolygon(const geom::Polygon& polygon, const std::string& layerName,
                                        bool discretise);
