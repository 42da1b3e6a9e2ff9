#include "driver/BoardStationToVnf.h"

#include <utility>

#include "corelib/Clock.h"
#include "corelib/TokenStream.h"
#include "mentor/GatesFileReader.h"
#include "mentor/GeometryFileReader.h"
#include "mentor/LayerFileReader.h"
#include "mentor/MentorParser.h"
#include "mentor/NeutralFileReader.h"
#include "mentor/PinsFileReader.h"
#include "mentor/TechFileReader.h"
#include "mentor/TracesFileReader.h"
#include "prepare/PreparationPasses.h"
#include "writer/LayerTypes.h"

namespace {

void logTimed(io::CAbstract_ostream& log, const wchar_t* format) {
    io::logMessage(log, VString::Formatted(format, platform::timeText().c_str()));
}

}  // namespace

BoardStationToVnf::BoardStationToVnf(const std::string& designDirectory,
                                     io::CAbstract_ostream& log) {
    logTimed(log, L"Parsing Mentor ASCII files. Time: %s");
    MentorParser parser;

    // The readers run in this order: later ones look up what earlier ones stored (the
    // traces reader needs the technology file's layer numbers, the geometry reader the
    // board's units).
    readGatesFile(parser, designDirectory);
    readPinsFile(parser, designDirectory);
    readNeutralFile(parser, designDirectory);
    readLayerFile(parser, designDirectory);
    readGeometryFile(parser, designDirectory);
    techLayers = readTechFile(parser, techLayers, designDirectory);
    readTracesFile(parser, designDirectory);

    logTimed(log, L"Finished parsing Mentor ASCII files. Time: %s");

    prepareRoutedAreas(parser);
    mapPowerNets(parser, log);
    convertNegativePlanes(parser, techLayers, log);

    // Take the parser's containers over. The passes above read the layer cross-reference
    // maps through the parser, so those move only now.
    std::swap(layerNumberToXrf, parser.layerNumberToXrf);
    std::swap(xrfToLayerName, parser.xrfToLayerName);
    std::swap(testPoints, parser.testPoints);
    std::swap(testPointTypes, parser.testPointTypes);
    std::swap(layoutElements, parser.layoutElements);
    std::swap(elements, parser.elements);
    std::swap(stackupLayers, parser.stackupLayers);
    pinsByComponent = parser.pinsByComponent;

    fillLayerTypeTable(layerTypeByName);

    counter = 0;
    boardName = VString(L"MentorBoard");
    bondLayers = parser.bondLayers;
    ruleBoard = parser.ruleBoard;
    doubledPlacementGrid = parser.doubledPlacementGrid;
    defaultUnits = "m";
    unitScale = 1.0;
}
