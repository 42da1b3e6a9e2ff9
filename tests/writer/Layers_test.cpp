#include "writer/Layers.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "corelib/VnfJson.h"
#include "mentor/Arena.h"
#include "writer/DocumentContext.h"

using namespace MentorBS;

namespace {

/// A board in millimetres whose stackup is `stackup`, top first. SIGNAL_ and POWER_ layers
/// have XRF entries of their own name; BOND_1 and BOND_2 are bond layers.
BoardModel boardWithStackup(const std::vector<std::string>& stackup) {
    BoardModel model;
    model.elements.push_back(make<Board>("'B'", 0, 0, 0, "mm"));
    for (const char* name : {"SIGNAL_1", "SIGNAL_2", "POWER_1", "POWER_2"}) {
        model.xrfToLayerName[name] = name;
    }
    model.bondLayers = {"BOND_1", "BOND_2"};
    int number = 1;
    for (const std::string& name : stackup) {
        model.techLayers[number++] = name;
    }
    return model;
}

LayerInfo* layerRecord(const char* name, int thickness) {
    const int fields[13] = {0, thickness};
    return make<LayerInfo>(name, 1, "SIGNAL", fields);
}

/// The lines of a block's JSON that hold a `StackupLayer`.
std::string stackupLines(const std::string& json) {
    std::istringstream lines(json);
    std::string line;
    std::string kept;
    while (std::getline(lines, line)) {
        if (line.find("\"StackupLayer\"") != std::string::npos) {
            kept += line + "\n";
        }
    }
    return kept;
}

}  // namespace

TEST(Layers, OutputTypeMatchesARowOrARowWithASuffix) {
    BoardModel model;
    DocumentContext context(model, false);
    struct Case {
        const char* type;
        const char* expected;
    };
    for (const Case& c :
         {Case{"SILKSCREEN", "SilkScreen"}, Case{"SIGNAL_1", "Signal"}, Case{"SIGNAL_12", "Signal"},
          Case{"POWER_12", "MetalizedSignal"}, Case{"SOLDER_MASK_2", "Soldermask"},
          Case{"PAD_1", "User"}, Case{"SIGNAL_1234", "User"}}) {
        EXPECT_EQ(outputTypeOfType(context, c.type), c.expected) << c.type;
    }
    // The 18 rows, and the one type no row matched.
    EXPECT_EQ(context.layerTypeByName.size(), 19u);
    EXPECT_EQ(context.layerTypeByName.at("SIGNAL_1234"), "User");

    // Layer names go through their XRF key; a name without one is a dielectric.
    model.xrfToLayerName["SIGNAL_1"] = "TOP";
    model.bondLayers = {"BOND_1"};
    EXPECT_EQ(outputTypeOfLayer(model, context, "TOP").wide(), L"Signal");
    EXPECT_EQ(outputTypeOfLayer(model, context, "SIGNAL_1").wide(), L"Dielectric");
    EXPECT_EQ(outputTypeOfLayer(model, context, "BOND_1").wide(), L"Wirebond");
}

TEST(Layers, OuterMetalLayersAndOneMicrometre) {
    BoardModel model = boardWithStackup({"BOND_1", "SIGNAL_1", "POWER_1", "SIGNAL_2", "BOND_2"});
    DocumentContext context(model, false);
    // Wirebond layers at either end are skipped.
    EXPECT_EQ(outerMetalLayer(model, context, VString(L"Top")), "SIGNAL_1");
    EXPECT_EQ(outerMetalLayer(model, context, VString(L"Bottom")), "SIGNAL_2");
    EXPECT_EQ(outerMetalLayer(model, context, VString(L"Left")), "");

    struct Case {
        const char* units;
        double scale;
        double expected;
    };
    for (const Case& c : {Case{"mm", 1, 0.001}, Case{"cm", 1, 0.0001}, Case{"in", 1, 0.00004},
                          Case{"mil.", 10, 0.4}, Case{"mil", 0, 0.04}, Case{"m", 1, 0.000001}}) {
        context.defaultUnits = c.units;
        context.unitScale = c.scale;
        EXPECT_DOUBLE_EQ(oneMicrometre(context), c.expected) << c.units;
    }
}

TEST(FootprintLayers, DrawingLayersThenWirebondAndStackupThenBottomLayers) {
    BoardModel model = boardWithStackup({"SIGNAL_1", "SIGNAL_2"});
    model.bondLayers = {"BOND_1"};
    model.elements.push_back(layerRecord("SIGNAL_1", 1));
    model.elements.push_back(layerRecord("SIGNAL_2", 35));
    const auto drawn = [&](MentorElement* element) { model.elements.push_back(element); };
    drawn(make<MyPolygon>("SILKSCREEN_1", "", CoordinateList{}, "component", "R0603"));
    drawn(make<Path>("SILKSCREEN_2", 1.0, "", CoordinateList{}, "component", "R0603"));
    drawn(make<MyText>("SILKSCREEN_1", 0, 0, 0, "L", 8, "R?", "component", "R0603"));
    drawn(make<MyCircle>("SIGNAL_1", 0, 0, 1, 0, "component", "R0603"));
    drawn(make<Initial>(CoordinateList{}, "component", "R0603", "POWER", "polygon", 0));
    drawn(make<MyPolygon>("ASSEMBLY_XY", "", CoordinateList{}, "component", "R0603"));
    drawn(make<Path>("PASTE_MASK_2", 1.0, "", CoordinateList{}, "component", "R0603"));
    drawn(make<MyPolygon>("DRAWING", "", CoordinateList{}, "component", "C0805"));
    drawn(make<MyPolygon>("BOARD_OUTLINE", "", CoordinateList{}, "board", "R0603"));
    const Geometry* geometry =
        make<Geometry>("'R0603'", std::vector<GeomPin*>{}, std::vector<GeomAttribute*>{});

    DocumentContext context(model, false);
    const std::vector<const MentorElement*> drawings(model.elements.begin(), model.elements.end());
    const std::string json =
        io::vnfToJson(*buildFootprintLayers(model, context, *geometry, drawings));
    // SILKSCREEN_1 once; SIGNAL_1 is copper and POWER was seen from the start; layers
    // ending in 2 come last in name order; the unknown ASSEMBLY_XY becomes "User".
    EXPECT_EQ(json, R"({"block":"Layers","items":[
  {"named":"DefaultUnits","value":"mm"},
  {"func":"Layer","args":[{"string":"COMPONENT_BODY_OUTLINE"},{"string":"Assembly"},{"string":"top"}]},
  {"func":"Layer","args":[{"string":"SILKSCREEN_1"},{"string":"SilkScreen"},{"string":"top"}]},
  {"func":"Layer","args":[{"string":"ASSEMBLY_XY"},{"string":"User"},{"string":"top"}]},
  {"func":"Layer","args":[{"string":"BOND_1"},{"string":"Wirebond"},{"string":"top"}]},
  {"func":"StackupLayer","args":[{"string":"SIGNAL_1"},{"string":"Signal"},{"string":"top"},{"double":0.0254},{"string":"copper"}]},
  {"func":"StackupLayer","args":[{"string":"VELDIE_1"},{"string":"Dielectric"},{"string":"neither"},{"double":0.12},{"string":"FR4_epoxy"}]},
  {"func":"StackupLayer","args":[{"string":"SIGNAL_2"},{"string":"Signal"},{"string":"bottom"},{"double":35},{"string":"copper"}]},
  {"func":"Layer","args":[{"string":"PASTE_MASK_2"},{"string":"Solderpaste"},{"string":"bottom"}]},
  {"func":"Layer","args":[{"string":"SILKSCREEN_2"},{"string":"SilkScreen"},{"string":"bottom"}]}
]}
)");
    EXPECT_EQ(context.footprintLayers,
              (std::vector<std::string>{"COMPONENT_BODY_OUTLINE", "SILKSCREEN_1", "ASSEMBLY_XY",
                                        "PASTE_MASK_2", "SILKSCREEN_2"}));
    EXPECT_EQ(context.layerTypeByName.at("ASSEMBLY_XY"), "User");
}

TEST(FootprintLayers, StackupAlternatesMetalAndDielectric) {
    struct Case {
        std::vector<std::string> stackup;
        const char* expected;
    };
    const Case cases[] = {
        // A dielectric of the stackup needs no generated one.
        {{"SIGNAL_1", "FR4", "SIGNAL_2"},
         R"(  {"func":"StackupLayer","args":[{"string":"SIGNAL_1"},{"string":"Signal"},{"string":"top"},{"double":0},{"string":"copper"}]},
  {"func":"StackupLayer","args":[{"string":"FR4"},{"string":"Dielectric"},{"string":"neither"},{"double":0},{"string":"FR4_epoxy"}]},
  {"func":"StackupLayer","args":[{"string":"SIGNAL_2"},{"string":"Signal"},{"string":"bottom"},{"double":0},{"string":"copper"}]}
)"},
        // Planes below the top layer are written as signal layers; the counter rises.
        {{"SIGNAL_1", "POWER_1", "POWER_2"},
         R"(  {"func":"StackupLayer","args":[{"string":"SIGNAL_1"},{"string":"Signal"},{"string":"top"},{"double":0},{"string":"copper"}]},
  {"func":"StackupLayer","args":[{"string":"VELDIE_1"},{"string":"Dielectric"},{"string":"neither"},{"double":0.12},{"string":"FR4_epoxy"}]},
  {"func":"StackupLayer","args":[{"string":"POWER_1"},{"string":"Signal"},{"string":"neither"},{"double":0},{"string":"copper"}]},
  {"func":"StackupLayer","args":[{"string":"VELDIE_2"},{"string":"Dielectric"},{"string":"neither"},{"double":0.12},{"string":"FR4_epoxy"}]},
  {"func":"StackupLayer","args":[{"string":"POWER_2"},{"string":"Signal"},{"string":"bottom"},{"double":0},{"string":"copper"}]}
)"},
        {{"POWER_1"},
         R"(  {"func":"StackupLayer","args":[{"string":"POWER_1"},{"string":"MetalizedSignal"},{"string":"top"},{"double":0},{"string":"copper"}]}
)"},
        {{"BOND_1", "SIGNAL_1"},
         R"(  {"func":"StackupLayer","args":[{"string":"SIGNAL_1"},{"string":"Signal"},{"string":"top"},{"double":0},{"string":"copper"}]}
)"},
        // Wirebond layers only, or no stackup at all: no first layer.
        {{"BOND_1", "BOND_2"}, ""},
        {{}, ""},
    };
    for (const Case& c : cases) {
        const BoardModel model = boardWithStackup(c.stackup);
        DocumentContext context(model, false);
        const Geometry* geometry =
            make<Geometry>("G", std::vector<GeomPin*>{}, std::vector<GeomAttribute*>{});
        EXPECT_EQ(stackupLines(io::vnfToJson(*buildFootprintLayers(model, context, *geometry, {}))),
                  c.expected)
            << c.stackup.size() << " layers";
    }
}

TEST(LayoutLayers, FootprintLayersWirebondLayersStackupThenBottomLayers) {
    BoardModel model = boardWithStackup({"BOND_1", "SIGNAL_1", "POWER_1", "SIGNAL_2"});
    model.elements.push_back(layerRecord("SIGNAL_1", 1));
    model.elements.push_back(layerRecord("POWER_1", 35));
    DocumentContext context(model, false);
    context.footprintLayers = {"SILKSCREEN_1", "COMPONENT_BODY_OUTLINE", "SILKSCREEN_2",
                               "SILKSCREEN_1", "NOTATYPE_LAYER"};
    const std::string json = io::vnfToJson(*buildLayoutLayers(model, context));
    // Drawing layers once each, in name order; NOTATYPE_LAYER matches no row and is left
    // out. The wirebond layer takes no stackup position, so SIGNAL_1 is the top layer, and
    // POWER_1 keeps its plane type here.
    EXPECT_EQ(json, R"({"block":"Layers","items":[
  {"func":"Layer","args":[{"string":"COMPONENT_BODY_OUTLINE"},{"string":"Assembly"},{"string":"top"}]},
  {"func":"Layer","args":[{"string":"SILKSCREEN_1"},{"string":"SilkScreen"},{"string":"top"}]},
  {"func":"Layer","args":[{"string":"BOND_1"},{"string":"Wirebond"},{"string":"top"}]},
  {"func":"StackupLayer","args":[{"string":"SIGNAL_1"},{"string":"Signal"},{"string":"top"},{"double":0.0254},{"string":"Copper"}]},
  {"func":"StackupLayer","args":[{"string":"VELDIE_1"},{"string":"Dielectric"},{"string":"neither"},{"double":0.12},{"string":"FR4_epoxy"}]},
  {"func":"StackupLayer","args":[{"string":"POWER_1"},{"string":"MetalizedSignal"},{"string":"neither"},{"double":35},{"string":"Copper"}]},
  {"func":"StackupLayer","args":[{"string":"VELDIE_2"},{"string":"Dielectric"},{"string":"neither"},{"double":0.12},{"string":"FR4_epoxy"}]},
  {"func":"StackupLayer","args":[{"string":"SIGNAL_2"},{"string":"Signal"},{"string":"bottom"},{"double":0},{"string":"Copper"}]},
  {"func":"Layer","args":[{"string":"SILKSCREEN_2"},{"string":"SilkScreen"},{"string":"bottom"}]}
]}
)");
    EXPECT_EQ(context.layerTypeByName.count("NOTATYPE_LAYER"), 0u);
}

TEST(LayoutLayers, StackupAlternatesMetalAndDielectric) {
    struct Case {
        std::vector<std::string> stackup;
        const char* expected;
    };
    const Case cases[] = {
        {{"SIGNAL_1", "FR4", "SIGNAL_2"}, R"({"block":"Layers","items":[
  {"func":"StackupLayer","args":[{"string":"SIGNAL_1"},{"string":"Signal"},{"string":"top"},{"double":0},{"string":"Copper"}]},
  {"func":"StackupLayer","args":[{"string":"FR4"},{"string":"Dielectric"},{"string":"neither"},{"double":0},{"string":"FR4_epoxy"}]},
  {"func":"StackupLayer","args":[{"string":"SIGNAL_2"},{"string":"Signal"},{"string":"bottom"},{"double":0},{"string":"Copper"}]}
]}
)"},
        {{"SIGNAL_1"}, R"({"block":"Layers","items":[
  {"func":"StackupLayer","args":[{"string":"SIGNAL_1"},{"string":"Signal"},{"string":"top"},{"double":0},{"string":"Copper"}]}
]}
)"},
    };
    for (const Case& c : cases) {
        const BoardModel model = boardWithStackup(c.stackup);
        DocumentContext context(model, false);
        EXPECT_EQ(io::vnfToJson(*buildLayoutLayers(model, context)), c.expected)
            << c.stackup.size() << " layers";
    }
}
