#include "writer/DocumentContext.h"

#include <cstdint>
#include <utility>

#include "mentor/Units.h"

namespace {

void fillLayerTypeTable(std::map<std::string, std::string>& table) {
    static const std::pair<const char*, const char*> k_Rows[] = {
        {"BOARD_OUTLINE", "Assembly"},
        {"BREAKOUT", "User"},
        {"DRAWING", "User"},
        {"COMPONENT_BODY_OUTLINE", "Assembly"},
        {"COMPONENT_PLACEMENT_OUTLINE", "Assembly"},
        {"CONFORMAL_MASK", "User"},
        {"GLUE_MASK", "Glue"},
        {"PAD", "User"},
        {"SIGNAL", "Signal"},
        {"POWER", "MetalizedSignal"},
        {"PASTE_MASK", "Solderpaste"},
        {"PLACE", "Signal"},
        {"SILKSCREEN", "SilkScreen"},
        {"SOLDER_MASK", "Soldermask"},
        {"THERMAL", "Signal"},
        {"DAM", "User"},
        {"SHEET_DIELECTRIC", "Dielectric"},
        {"DIELECTRIC", "Dielectric"},
    };
    for (const auto& [boardStationType, neutralType] : k_Rows) {
        table.emplace(boardStationType, neutralType);
    }
}

}  // namespace

DocumentContext::DocumentContext(const MentorBS::BoardModel& model, bool mergePlanes)
    : mergePlanes(mergePlanes) {
    fillLayerTypeTable(layerTypeByName);
    for (const MentorBS::MentorElement* element : model.elements) {
        if (const MentorBS::LayerInfo* info = element->asLayerInfo()) {
            layerRecords.emplace(info->name, info);
        }
    }
    for (const MentorBS::MentorElement* element : model.elements) {
        if (const MentorBS::Board* board = element->asBoard()) {
            defaultUnits = unitAbbreviation(board->unitsName, unitScale);
            boardName = VString(board->name);
            boardOffsetX = board->offsetX;
            boardOffsetY = board->offsetY;
        } else if (const MentorBS::BoardAddedGeometry* added = element->asBoardAddedGeometry()) {
            extentX = added->x;
            extentY = added->y;
            // Whole-number quotient of the two integers. A divisor of 0 gives no scale, so
            // the one the units set stays. The quotient is taken in 64 bits because
            // INT_MIN / -1 does not fit 32.
            if (added->int3 != 0) {
                unitScale = static_cast<double>(static_cast<std::int64_t>(added->int2)
                                                / static_cast<std::int64_t>(added->int3));
            }
            break;
        }
    }
}
