#pragma once

#include <string>

namespace io {

class CBlock;

/// How many objects of each kind a neutral layout file holds, counted on its block tree
/// (docs/report.md says which items each count takes).
struct VnfSummary {
    long long padShapes = 0;       ///< items of `PadShapes`, the null pad included
    long long padStacks = 0;       ///< blocks of `PadStacks`
    long long footprints = 0;      ///< blocks of `Footprints`
    long long components = 0;      ///< `LayoutComp` blocks: the placed components
    long long nets = 0;            ///< `Net` blocks of the netlist
    long long traces = 0;          ///< `Trace` items of the layout nets
    long long vias = 0;            ///< `Via` items of the layout nets
    long long testPointPaths = 0;  ///< `Graphics` items of the layout nets holding a `Path`
    long long planeShapes = 0;     ///< layout-net shapes on a "MetalizedSignal" layer
    long long voids = 0;           ///< items of the layout nets' `voids` blocks
    long long areas = 0;           ///< layout-net shapes on any other layer

    friend bool operator==(const VnfSummary&, const VnfSummary&) = default;
};

/// Counts the objects of the document below `root` (a `VeltroNeutralFile` block). Blocks
/// the document lacks count nothing.
VnfSummary summarizeVnf(const CBlock& root);

/// The summary as one JSON object on one line, without a line end:
/// {"pad_shapes":19,"padstacks":5,...}, keys in the order of the fields above.
std::string vnfSummaryJson(const VnfSummary& summary);

}  // namespace io
