#include "writer/PadStacks.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "corelib/VnfJson.h"
#include "mentor/Arena.h"
#include "tests/support/BlockJson.h"
#include "writer/DocumentContext.h"
#include "writer/PadShapes.h"

using namespace MentorBS;

namespace {

/// A board in millimetres whose stackup is `stackup`, top first; SIGNAL_1 to SIGNAL_3 and
/// POWER_1 have XRF entries of their own name.
BoardModel boardWithStackup(const std::vector<std::string>& stackup) {
    BoardModel model;
    model.elements.push_back(make<Board>("'B'", 0, 0, 0, "mm"));
    for (const char* name : {"SIGNAL_1", "SIGNAL_2", "SIGNAL_3", "POWER_1"}) {
        model.xrfToLayerName[name] = name;
    }
    int number = 1;
    for (const std::string& name : stackup) {
        model.techLayers[number++] = name;
    }
    return model;
}

/// A pad line as the neutral file reader keeps it: the layer in quotes.
PadShape* shape(const char* layer, const char* kind, std::vector<double> sizes, double x = 0,
                double y = 0) {
    PadShape* shape = make<PadShape>();
    shape->text1 = std::string("'") + layer + "'";
    shape->shapeKind = kind;
    shape->dimensions = std::move(sizes);
    shape->centerX = x;
    shape->centerY = y;
    return shape;
}

Pad* pad(const char* name, const char* holeType, double hole, std::vector<PadShape*> shapes,
         std::vector<std::string> span = {}) {
    return make<Pad>("PIN", name, holeType, hole, std::move(span), "", std::move(shapes));
}

/// A merged pin polygon as the geometry file names it: the pad name without quotes.
Initial* pinPolygon(const char* pad, const char* layer) {
    return make<Initial>(CoordinateList{0, 0, 1, 0, 1, 1}, "pin", pad, layer, "polygon", 0);
}

std::string padStacksJson(const BoardModel& model) {
    return testing_support::blockJson(model, [](const BoardModel& m, DocumentContext& context) {
        buildPadShapes(m, context);
        return buildPadStacks(m, context);
    });
}

/// A through pad whose 1.0 circle sits on both signal layers and a 1.5 circle on the plane.
BoardModel throughPadBoard() {
    BoardModel model = boardWithStackup({"SIGNAL_1", "POWER_1", "SIGNAL_2"});
    model.elements.push_back(
        pad("'P1'", "Thru", 0.3,
            {shape("SIGNAL_1", "CIRCLE", {1.0}), shape("POWER_1", "CIRCLE", {1.5}, 0.1, 0.2),
             shape("SIGNAL_2", "CIRCLE", {1.0}), shape("PAD_1", "RECTANGLE", {2.0, 1.0}),
             shape("SILK", "OVAL", {0.8, 0.4})}));
    return model;
}

}  // namespace

TEST(PadShapes, AntiTwinKeepsTheSizeAndThePlainTwinShrinks) {
    // minW is 1.0 (the signal-layer circles); no rectangle is on a signal layer, so the
    // rectangle's height is divided by 1.1. The second 1.0 circle makes no new shapes.
    EXPECT_EQ(testing_support::blockJson(throughPadBoard(), buildPadShapes),
              R"({"block":"PadShapes","items":[
  {"func":"'P1'CIRCLE1.000000_ANTI","args":[{"func":"Circle","args":[{"double":1}]}]},
  {"func":"'P1'CIRCLE1.000000","args":[{"func":"Circle","args":[{"double":0.9090909090909091}]}]},
  {"func":"'P1'CIRCLE1.500000_ANTI","args":[{"func":"Circle","args":[{"double":1.5}]}]},
  {"func":"'P1'CIRCLE1.500000","args":[{"func":"Circle","args":[{"double":1}]}]},
  {"func":"'P1'RECTANGLE2.0000001.000000_ANTI","args":[{"func":"Rectangle","args":[{"double":2},{"double":1}]}]},
  {"func":"'P1'RECTANGLE2.0000001.000000","args":[{"func":"Rectangle","args":[{"double":1},{"double":0.9090909090909091}]}]},
  {"func":"'P1'OVAL0.800000","args":[]},
  {"func":"'NULLPAD'","args":[{"func":"Circle","args":[{"double":0}]}]}
]}
)");
}

TEST(PadStacks, ThroughPadPlacesThePlainTwinWithItsAntiTwinAsClearance) {
    // The bottom circle repeats the top one's name and gets its "_ANTI" name by the
    // rename map.
    EXPECT_EQ(padStacksJson(throughPadBoard()), R"({"block":"PadStacks","items":[
  {"block":"'P1'","items":[
    {"func":"Hole","args":[{"double":0.3}]},
    {"func":"Top","args":[{"string":"'P1'CIRCLE1.000000"},{"double":0},{"double":0},{"double":0},{"func":"NonConnect","args":[{"string":"'P1'CIRCLE1.000000_ANTI"},{"double":0},{"double":0},{"double":0}]}]},
    {"func":"Signal","args":[{"string":"'P1'CIRCLE1.500000"},{"double":0.1},{"double":0.2},{"double":0},{"func":"NonConnect","args":[{"string":"'P1'CIRCLE1.500000_ANTI"},{"double":0.1},{"double":0.2},{"double":0}]}]},
    {"func":"Bottom","args":[{"string":"'P1'CIRCLE1.000000"},{"double":0},{"double":0},{"double":0},{"func":"NonConnect","args":[{"string":"'P1'CIRCLE1.000000_ANTI"},{"double":0},{"double":0},{"double":0}]}]}
  ]}
]}
)");
}

TEST(PadStacks, BlindPinPadWithWirebondLayersAndAPinPolygon) {
    BoardModel model =
        boardWithStackup({"BOND_1", "BOND_2", "SIGNAL_1", "FR4", "SIGNAL_2", "SIGNAL_3"});
    model.bondLayers = {"BOND_1", "BOND_2"};
    model.elements.push_back(
        pad("'B1'", "Blind", 0.2,
            {shape("BOND_1", "CIRCLE", {0.5}), shape("SIGNAL_1", "CIRCLE", {0.6}, 0.1, 0),
             shape("SIGNAL_2", "CIRCLE", {0.6}), shape("SIGNAL_3", "CIRCLE", {0.6})},
            {"BOND_1", "SIGNAL_2"}));
    model.elements.push_back(pinPolygon("B1", "SIGNAL_1"));
    // The wirebond layers take no position, so SIGNAL_1 is the top and SIGNAL_3 the
    // bottom. The polygon, drawn on SIGNAL_1, also stands in on SIGNAL_2; it is placed at
    // the origin while the clearance keeps the shape's offset. SIGNAL_3 lies below the
    // blind span (BOND_1 to SIGNAL_2), BOND_2 has no shape: both get the null pad.
    EXPECT_EQ(padStacksJson(model), R"({"block":"PadStacks","items":[
  {"block":"'B1'","items":[
    {"func":"Hole","args":[{"double":0.2}]},
    {"func":"Wirebond","args":[{"string":"'B1'CIRCLE0.500000"},{"double":0},{"double":0},{"double":0}]},
    {"func":"Wirebond","args":[{"string":"NULLPAD"},{"double":0},{"double":0},{"double":0}]},
    {"func":"Top","args":[{"string":"'B1'_SIGNAL_1"},{"double":0},{"double":0},{"double":0},{"func":"NonConnect","args":[{"string":"'B1'CIRCLE0.600000_ANTI"},{"double":0.1},{"double":0},{"double":0}]}]},
    {"func":"Signal","args":[{"string":"'B1'_SIGNAL_1"},{"double":0},{"double":0},{"double":0},{"func":"NonConnect","args":[{"string":"'B1'CIRCLE0.600000_ANTI"},{"double":0},{"double":0},{"double":0}]}]},
    {"func":"Bottom","args":[{"string":"NULLPAD"},{"double":0},{"double":0},{"double":0}]}
  ]}
]}
)");
    // minW is 0.6, which is no smaller than either circle.
    EXPECT_EQ(testing_support::blockJson(model, buildPadShapes), R"({"block":"PadShapes","items":[
  {"func":"'B1'CIRCLE0.500000_ANTI","args":[{"func":"Circle","args":[{"double":0.5}]}]},
  {"func":"'B1'CIRCLE0.500000","args":[{"func":"Circle","args":[{"double":0.45454545454545453}]}]},
  {"func":"'B1'CIRCLE0.600000_ANTI","args":[{"func":"Circle","args":[{"double":0.6}]}]},
  {"func":"'B1'CIRCLE0.600000","args":[{"func":"Circle","args":[{"double":0.5454545454545454}]}]},
  {"func":"'B1'_SIGNAL_1","args":[{"func":"Polygon","args":[{"func":"vertex","args":[{"double":0},{"double":0}]},{"func":"vertex","args":[{"double":1},{"double":0}]},{"func":"vertex","args":[{"double":1},{"double":1}]},{"func":"vertex","args":[{"double":0},{"double":0}]}]}]},
  {"func":"'NULLPAD'","args":[{"func":"Circle","args":[{"double":0}]}]}
]}
)");
}

TEST(PadStacks, HoleDefaultsToThreeQuartersOfTheFirstShape) {
    struct Case {
        double hole;
        std::vector<PadShape*> shapes;
        const char* expected;
    };
    const Case cases[] = {
        {0.0, {shape("SIGNAL_1", "RECTANGLE", {2.0, 1.0})}, R"({"double":0.75})"},
        {0.0, {shape("SIGNAL_1", "CIRCLE", {2.0})}, R"({"double":1.5})"},
        {0.4, {shape("SIGNAL_1", "CIRCLE", {2.0})}, R"({"double":0.4})"},
        {0.0, {}, R"({"double":0})"},
    };
    for (const Case& c : cases) {
        BoardModel model = boardWithStackup({"SIGNAL_1"});
        model.elements.push_back(pad("'H'", "Thru", c.hole, c.shapes));
        const std::string json = padStacksJson(model);
        EXPECT_NE(json.find(std::string(R"({"func":"Hole","args":[)") + c.expected + "]}"),
                  std::string::npos)
            << json;
    }
}

TEST(PadStacks, SurfacePadGoesToTheSidesItsPinsUse) {
    // Pin (pad layer, pin side): (1, 1) and (2, 2) are on top, (2, 1) and (1, 2) on the
    // bottom. On a double-sided board the first pin's pad layer is the count.
    const char* top =
        R"({"func":"Top","args":[{"string":"'S1'RECTANGLE1.0000002.000000"},{"double":0.5},{"double":0},{"double":0}]})";
    const char* bottom =
        R"({"func":"Bottom","args":[{"string":"'S1'RECTANGLE1.0000002.000000"},{"double":-0.5},{"double":0},{"double":0}]})";
    const auto onlyEntry = [](const char* entry) {
        return std::string(R"({"block":"PadStacks","items":[
  {"block":"'S1'","items":[
    )") + entry + R"(
  ]}
]}
)";
    };
    const auto withExtra = [](const char* extraEntry, const char* entry) {
        return std::string(R"({"block":"PadStacks","items":[
  {"block":"'S1'_XTRA","items":[
    )") + extraEntry
               + R"(
  ]},
  {"block":"'S1'","items":[
    )" + entry + R"(
  ]}
]}
)";
    };
    struct Case {
        bool doubleSided;
        std::vector<std::pair<int, int>> pins;
        std::string expected;
    };
    const Case cases[] = {
        {false, {{1, 1}}, onlyEntry(top)},
        // A single-sided board mounts bottom pins from the top.
        {false, {{1, 2}}, onlyEntry(top)},
        {false, {{1, 1}, {1, 2}}, withExtra(bottom, top)},
        {true, {{1, 1}, {1, 2}}, withExtra(bottom, top)},
        {true, {{2, 1}, {1, 1}}, withExtra(top, bottom)},
        {true, {{2, 2}}, onlyEntry(top)},
        {true, {{2, 1}}, onlyEntry(bottom)},
        {true, {}, onlyEntry(top)},
        // Count 1 sends the bottom entry to the "_XTRA" block, which only a pad used on
        // both sides keeps.
        {true, {{1, 2}}, R"({"block":"PadStacks","items":[
  {"block":"'S1'","items":[]}
]}
)"},
    };
    for (const Case& c : cases) {
        BoardModel model = boardWithStackup({"SIGNAL_1", "SIGNAL_2"});
        model.ruleBoard = c.doubleSided;
        model.elements.push_back(pad("'S1'", "Surf", 0,
                                     {shape("SIGNAL_1", "RECTANGLE", {1, 2}, 0.5, 0),
                                      shape("SIGNAL_2", "RECTANGLE", {1, 2}, -0.5, 0)}));
        std::vector<CompPin*> pins;
        for (const auto& [layer, side] : c.pins) {
            pins.push_back(make<CompPin>(CompPin{"1", 0, 0, layer, side, 0, "'S1'", ""}));
        }
        model.elements.push_back(make<Component>("U1", "'P'", "'G'", "'D'", 0, 0, 1, 0,
                                                 std::vector<std::string>{}, pins));
        EXPECT_EQ(padStacksJson(model), c.expected)
            << (c.doubleSided ? "double-sided, " : "single-sided, ") << c.pins.size() << " pins";
    }
}

TEST(PadStacks, SurfacePadWithoutShapesOrWithPadPolygons) {
    BoardModel model = boardWithStackup({"SIGNAL_1", "SIGNAL_2"});
    model.elements.push_back(pad("'E'", "Surf", 0, {}));
    model.elements.push_back(
        pad("'M'", "Surf", 0, {shape("SIGNAL_1", "RECTANGLE", {1, 2}, 0.5, 0)}));
    model.elements.push_back(pinPolygon("M", "PAD_2"));
    model.elements.push_back(pinPolygon("M", "PAD_1"));
    CompPin* onTop = make<CompPin>(CompPin{"1", 0, 0, 1, 1, 0, "'M'", ""});
    CompPin* onBottom = make<CompPin>(CompPin{"2", 0, 0, 1, 2, 0, "'M'", ""});
    model.elements.push_back(make<Component>("U1", "'P'", "'G'", "'D'", 0, 0, 1, 0,
                                             std::vector<std::string>{},
                                             std::vector<CompPin*>{onTop, onBottom}));
    // No polygon lies on a stackup layer: each side takes its own outer pad layer's
    // polygon, at the origin.
    EXPECT_EQ(padStacksJson(model), R"({"block":"PadStacks","items":[
  {"block":"'E'","items":[
    {"func":"Top","args":[{"string":"NULLPAD"},{"double":0},{"double":0},{"double":0}]}
  ]},
  {"block":"'M'_XTRA","items":[
    {"func":"Bottom","args":[{"string":"'M'_PAD_2"},{"double":0},{"double":0},{"double":0}]}
  ]},
  {"block":"'M'","items":[
    {"func":"Top","args":[{"string":"'M'_PAD_1"},{"double":0},{"double":0},{"double":0}]}
  ]}
]}
)");
}
