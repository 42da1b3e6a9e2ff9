#include "mentor/ReadCounts.h"

#include <algorithm>

namespace MentorBS {

namespace {

using enum SkipReason;

constexpr SkipReason k_NeutralReasons[] = {UnknownKeyword, UnpairedCoordinates};
constexpr SkipReason k_TechReasons[] = {UnknownCommand, DuplicateLayerNumber};
constexpr SkipReason k_GeometryReasons[] = {
    UnknownKeyword,     UnknownOwnerKind,    IncompletePage, UnusedAttribute,   TooFewCoordinates,
    NonConductiveLayer, UnknownShapeKeyword, LoneRoundPad,   EmptyMergedOutline};
constexpr SkipReason k_TracesReasons[] = {
    UnknownKeyword,       UnknownLayerNumber,   LayerNotCrossReferenced, TooFewCoordinates,
    CutoutArea,           UnfilledArea,         DiscardedIsland,         NetOpenAtEnd,
    TestPointOwnedByIOrF, TestPointOnNoPinOrVia};
constexpr SkipReason k_KeywordReasons[] = {UnknownKeyword};

}  // namespace

std::string_view skipReasonText(SkipReason reason) {
    switch (reason) {
    case UnknownKeyword:
        return "unknown keyword";
    case UnpairedCoordinates:
        return "unpaired or too few coordinates";
    case UnknownCommand:
        return "unknown command";
    case DuplicateLayerNumber:
        return "duplicate layer number";
    case UnknownOwnerKind:
        return "unknown owner kind";
    case IncompletePage:
        return "incomplete page";
    case UnusedAttribute:
        return "unused attribute";
    case TooFewCoordinates:
        return "too few coordinates";
    case NonConductiveLayer:
        return "non-conductive layer";
    case UnknownShapeKeyword:
        return "unknown shape keyword";
    case LoneRoundPad:
        return "lone round pad shape";
    case EmptyMergedOutline:
        return "empty merged outline";
    case UnknownLayerNumber:
        return "unknown layer number";
    case LayerNotCrossReferenced:
        return "layer not cross-referenced";
    case CutoutArea:
        return "cut-out area";
    case UnfilledArea:
        return "unfilled area";
    case DiscardedIsland:
        return "island of a net without one area";
    case NetOpenAtEnd:
        return "net open at end of file";
    case TestPointOwnedByIOrF:
        return "test point owned by I or F";
    case TestPointOnNoPinOrVia:
        return "test point on no pin or via";
    case Count:
        break;
    }
    return "";
}

void WarningList::add(std::string_view name) {
    ++count;
    if (!name.empty() && names.size() < k_NamesKept
        && std::find(names.begin(), names.end(), name) == names.end()) {
        names.emplace_back(name);
    }
}

std::vector<ExportFileCounts> exportFileCounts(const ReadCounts& counts) {
    return {
        {"MentorNeutralFile", &counts.neutral, k_NeutralReasons},
        {"MentorLayerFile", &counts.layer, {}},
        {"MentorTechFile", &counts.tech, k_TechReasons},
        {"MentorGeometryFile", &counts.geometry, k_GeometryReasons},
        {"MentorTracesFile", &counts.traces, k_TracesReasons},
        {"MentorPinsFile", &counts.pins, k_KeywordReasons},
        {"MentorGatesFile", &counts.gates, k_KeywordReasons},
    };
}

}  // namespace MentorBS
