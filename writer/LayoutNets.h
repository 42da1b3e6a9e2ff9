#pragma once

#include <vector>

#include "corelib/Block.h"
#include "mentor/BoardModel.h"

class DocumentContext;

namespace geom {
class Polygon;
class PolygonWithHolesCollection;
}  // namespace geom

/// The `LayoutNets` block of the layout: for every routed net its traces, test-point
/// markers, vias, plane shapes and copper areas, then one net for every neutral-file net
/// that has vias but no routed copper.
io::CBlockPtr buildLayoutNets(const MentorBS::BoardModel& model, DocumentContext& context);

/// Whether every value is a finite number: shapes holding NaN or infinity are left out.
bool allFinite(const std::vector<double>& values);

/// The vertices of a kernel polygon, x and y alternating, with its arcs replaced by chords
/// of at most 20 degrees; with `close` the first vertex follows again at the end. Empty
/// when the polygon needs more points than the kernel allows.
MentorBS::CoordinateList polygonVertices(const geom::Polygon& polygon, bool close);

/// The outer polygon of the piece of largest area; the empty polygon when there is none.
geom::Polygon largestPolygon(const geom::PolygonWithHolesCollection& pieces);
