#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "corelib/VString.h"
#include "mentor/BoardModel.h"
#include "mentor/ReadCounts.h"

/// What the output blocks share while one document is built: the document-wide values
/// settled from the board model, the graphic counter, and the tables one block leaves for
/// a later one. A block builder reads the model through a const reference and writes only
/// here and into its own block.
class DocumentContext {
public:
    /// Settles the document-wide values from the board and added-board-property elements
    /// and fills the layer type table.
    DocumentContext(const MentorBS::BoardModel& model, bool mergePlanes);
    DocumentContext(const DocumentContext&) = delete;
    DocumentContext& operator=(const DocumentContext&) = delete;

    /// The graphic counter's current value, which the caller's item takes; the counter
    /// moves on by one.
    int nextGraphicNumber() { return counter++; }

    /// Output unit word ("mm", "cm", "in", "mil" or "m").
    std::string defaultUnits = "m";
    /// Lengths of the output in `defaultUnits` are multiplied by this.
    double unitScale = 1.0;
    /// The board's name as read, quotes included.
    VString boardName = VString(L"MentorBoard");
    double boardOffsetX = 0;
    double boardOffsetY = 0;
    double extentX = 0;
    double extentY = 0;
    /// The option word "merge": planes are written from the prepared (merged) areas.
    bool mergePlanes = false;
    /// Board Station layer type -> neutral-file layer type. Queries for an unknown type
    /// add a row for it, so this grows while the document is built.
    std::map<std::string, std::string> layerTypeByName;
    /// The first layer-file record of each layer name.
    std::map<std::string, const MentorBS::LayerInfo*, std::less<>> layerRecords;
    /// The graphic counter: every numbered output item takes the next value.
    int counter = 0;

    // Tables one block leaves for a later one.

    /// Pad shape -> the name the padstacks refer to it by (its "_ANTI" twin where the pad
    /// shapes block made one). Looked up only, never walked.
    std::map<const MentorBS::PadShape*, std::string> storedNames;
    /// Pad shape name -> the name of its "_ANTI" twin.
    std::map<std::string, std::string> padShapeRenames;
    /// Pad name -> the pin and via polygons drawn with that pad, in board order.
    std::map<std::string, std::vector<const MentorBS::Initial*>> pinViaPolygons;
    /// Reference designator -> the name of the component's definition block.
    std::map<std::string, VString> componentDefinitions;
    /// Full pin name -> index of the pin among its component's terminals.
    std::map<std::string, int> terminalIndex;
    /// Net pins the netlist left out because no written component has them as a terminal,
    /// named by their pin references.
    MentorBS::WarningList netPinsWithoutTerminal;
    /// Layout nets with an area outline that vanished when shrunk by half its pen width (it
    /// is written unshrunk), named by the nets.
    MentorBS::WarningList emptyShrinks;
    /// Layer names the footprint layer blocks wrote, in order, duplicates kept.
    std::vector<std::string> footprintLayers;
};
