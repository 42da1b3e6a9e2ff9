#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "corelib/VString.h"
#include "mentor/MentorBS.h"

/// The parser object of one run: the element list and the lookup tables that the
/// readers fill while the export files are read. The translator takes its containers
/// over when reading and preparation are done; the elements themselves live in the
/// arena (mentor/Arena.h) until the process ends.
class MentorParser {
public:
    MentorParser() = default;
    MentorParser(const MentorParser&) = delete;
    MentorParser& operator=(const MentorParser&) = delete;

    /// Appends `element` to the element list and makes it the current element.
    void addElement(MentorBS::MentorElement* element) {
        elements.push_back(element);
        currentElement = element;
    }

    // Copies of the members, in the order the translator takes them.
    std::vector<MentorBS::MentorElement*> getElements() const { return elements; }
    std::vector<MentorBS::MentorElement*> getLayoutElements() const { return layoutElements; }
    std::map<int, std::string> getLayerNumberToXrf() const { return layerNumberToXrf; }
    std::map<std::string, std::string> getXrfToLayerName() const { return xrfToLayerName; }
    std::vector<MentorBS::TestPointRecord> getTestPoints() const { return testPoints; }
    std::map<int, MentorBS::TestPointType> getTestPointTypes() const { return testPointTypes; }
    std::vector<std::string> getBondLayers() const { return bondLayers; }
    bool getRuleBoard() const { return ruleBoard; }
    std::map<std::string, std::vector<std::string>> getStackupLayers() const {
        return stackupLayers;
    }

    /// The element the last reader created.
    MentorBS::MentorElement* currentElement = nullptr;
    /// Every element in creation order.
    std::vector<MentorBS::MentorElement*> elements;
    /// The layout nets (MentorBS::LayoutNet) of the traces file and of the plane pass.
    std::vector<MentorBS::MentorElement*> layoutElements;
    /// Technology file: physical layer number -> physical layer name.
    std::map<int, std::string> layerNumbers;
    /// Traces file: XRF layer name -> layer-file layer name.
    std::map<std::string, std::string> xrfToLayerName;
    /// Traces file: TTT records by key.
    std::map<int, MentorBS::TestPointType> testPointTypes;
    /// Traces file: TTI markers matched to pins and vias.
    std::vector<MentorBS::TestPointRecord> testPoints;
    /// Plane layer (layer-file name) -> power net name.
    std::map<std::string, std::string> planeNets;
    /// The board record's units name.
    std::string unitsName;
    /// Technology file: names of the bond layer definitions.
    std::vector<std::string> bondLayers;
    /// Technology file: the board rule is "@DOUBLE".
    bool ruleBoard = false;
    /// Twice the first number of the 'BOARD_PLACEMENT_GRID' attribute, else 0.
    double doubledPlacementGrid = 0;
    /// Net pins that carry layer numbers, by component name.
    std::map<VString, std::vector<MentorBS::NetPin*>> pinsByComponent;
    /// Geometry file: key layer name -> the ordered layer names of a stackup.
    std::map<std::string, std::vector<std::string>> stackupLayers;
    /// Geometry file: every layer name of every stackup.
    std::set<std::string> stackupLayerNames;
    /// Traces file: XRF layer number -> XRF layer name.
    std::map<int, std::string> layerNumberToXrf;
};
