#pragma once

#include <vector>

#include "tests/oracle/Shapes.h"

/// The exact peer of the differential tests: unions and differences computed with exact
/// circular arcs and rational arithmetic.
namespace oracle {

/// The union of all regions.
Summary exactUnion(const std::vector<Region>& regions);

/// The union of `a` minus the union of `b`.
Summary exactDifference(const std::vector<Region>& a, const std::vector<Region>& b);

}  // namespace oracle
