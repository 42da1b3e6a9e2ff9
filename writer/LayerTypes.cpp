#include "writer/LayerTypes.h"

#include <utility>

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
