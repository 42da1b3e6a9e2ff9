#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "corelib/VString.h"
#include "mentor/MentorBS.h"
#include "mentor/ReadCounts.h"

namespace MentorBS {

/// The board model of one run: every element the readers and passes made, and the lookup
/// tables between them. The parser fills it while the export files are read; the
/// translator then owns it, the preparation passes rework it, and the writer reads it
/// through a const reference. The elements themselves live in the arena (mentor/Arena.h)
/// until the process ends; the model holds pointers only.
struct BoardModel {
    /// Every element in creation order.
    std::vector<MentorElement*> elements;
    /// The layout nets of the traces file, then those the plane pass adds.
    std::vector<LayoutNet*> layoutElements;
    /// Technology file: physical layer number -> physical layer name, as read. The traces
    /// reader and the power-net pass look layers up here.
    std::map<int, std::string> layerNumbers;
    /// The physical layers written out, top to bottom: the technology file's layers, which
    /// the plane pass reduces to those that carry copper in the output.
    std::map<int, std::string> techLayers;
    /// Traces file: XRF layer name -> layer-file layer name.
    std::map<std::string, std::string> xrfToLayerName;
    /// Traces file: XRF layer number -> XRF layer name.
    std::map<int, std::string> layerNumberToXrf;
    /// Traces file: TTT records by key.
    std::map<int, TestPointType> testPointTypes;
    /// Traces file: TTI markers matched to pins and vias.
    std::vector<TestPointRecord> testPoints;
    /// Plane layer (layer-file name) -> power net name.
    std::map<std::string, std::string> planeNets;
    /// The board record's units name.
    std::string unitsName;
    /// Technology file: names of the bond layer definitions.
    std::vector<std::string> bondLayers;
    /// Technology file: the board rule is "@DOUBLE" (a double-sided board).
    bool ruleBoard = false;
    /// Twice the first number of the 'BOARD_PLACEMENT_GRID' attribute, else 0.
    double doubledPlacementGrid = 0;
    /// Net pins that carry layer numbers, by component name.
    std::map<VString, std::vector<NetPin*>> pinsByComponent;
    /// Geometry file: key layer name -> the ordered layer names of a stackup.
    std::map<std::string, std::vector<std::string>> stackupLayers;
    /// Geometry file: every layer name of every stackup.
    std::set<std::string> stackupLayerNames;
    /// What each reader read, made and skipped, for the translation report.
    ReadCounts readCounts;
};

}  // namespace MentorBS
