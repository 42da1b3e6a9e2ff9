#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "corelib/VString.h"
#include "mentor/MentorBS.h"

namespace io {
class CAbstract_ostream;
class CBlock;
}  // namespace io

/// The writer side of the translator: the board model taken over from the parser and
/// the document-wide values that every output block reads. `write` builds the whole
/// output tree and streams it to "<dir>/<name>_V4.vnf".
class NeutralFileWriter {
public:
    /// Writes the neutral layout file for the design and logs the write phase. The file
    /// is written under a temporary name beside it and renamed into place only when it
    /// is complete, so a failed run never leaves a truncated file.
    void write(const std::string& designDirectory, const std::string& designName,
               io::CAbstract_ostream& log);

    /// Builds the document tree (root block and its items) from the model. Sets the
    /// document-wide values (units, board name and offset, extents, unit scale) first.
    std::shared_ptr<io::CBlock> buildDocument(const VString& dateText, io::CAbstract_ostream& log);

    /// Settles `defaultUnits`, `unitScale`, `boardName`, the board offset and the extents
    /// from the board and added-board-property elements.
    void readDocumentValues();

    std::vector<MentorBS::MentorElement*> elements;
    std::vector<MentorBS::MentorElement*> layoutElements;
    /// Output unit word ("mm", "cm", "in", "mil" or "m").
    std::string defaultUnits = "m";
    /// Board Station layer type -> neutral-file layer type.
    std::map<std::string, std::string> layerTypeByName;
    /// Physical layer number -> physical layer name, in stackup order.
    std::map<int, std::string> techLayers;
    /// XRF layer number -> XRF layer name.
    std::map<int, std::string> layerNumberToXrf;
    /// XRF layer name -> layer-file layer name.
    std::map<std::string, std::string> xrfToLayerName;
    std::vector<MentorBS::TestPointRecord> testPoints;
    std::map<int, MentorBS::TestPointType> testPointTypes;
    std::vector<std::string> bondLayers;
    VString boardName = VString(L"MentorBoard");
    double extentX = 0;
    double extentY = 0;
    double unitScale = 1.0;
    double boardOffsetX = 0;
    double boardOffsetY = 0;
    /// The graphic counter: every numbered output item takes the next value.
    int counter = 0;
    bool mergePlanes = false;
    bool ruleBoard = false;
    double doubledPlacementGrid = 0;
    /// Key layer name -> the ordered layer names of a stackup.
    std::map<std::string, std::vector<std::string>> stackupLayers;
    std::map<VString, std::vector<MentorBS::NetPin*>> pinsByComponent;
};
