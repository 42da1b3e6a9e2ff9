#include "writer/Footprints.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "mentor/Arena.h"
#include "tests/support/BlockJson.h"

using namespace MentorBS;

namespace {

/// A board in millimetres, so that the line width of one micrometre is 0.001.
BoardModel boardWith(std::vector<MentorElement*> elements) {
    BoardModel model;
    model.elements.push_back(make<Board>("'B'", 0, 0, 0, "mm"));
    model.elements.insert(model.elements.end(), elements.begin(), elements.end());
    return model;
}

GeomPin* geometryPin(const char* name, double x, double y, const char* pad, const char* mount) {
    GeomPin* pin = make<GeomPin>();
    *pin = {name, x, y, pad, mount, 0};
    return pin;
}

/// A component of one pin on the pad 'P'; `side` is the component's and the pin's side.
Component* placed(const char* reference, const char* geometry, const char* pin, int padLayer,
                  int side) {
    CompPin* compPin = make<CompPin>();
    *compPin = {pin, 0, 0, padLayer, side, 0, "'P'", ""};
    return make<Component>(reference, "'PART'", geometry, "'DEVICE'", 0, 0, side, 0,
                           std::vector<std::string>{}, std::vector<CompPin*>{compPin});
}

/// The lines of the block's JSON that hold `item`, without indentation or separating comma.
std::string linesWith(const std::string& json, const std::string& item) {
    std::istringstream lines(json);
    std::string kept;
    for (std::string line; std::getline(lines, line);) {
        if (line.find(item) != std::string::npos) {
            line.erase(0, line.find_first_not_of(' '));
            if (line.back() == ',') {
                line.pop_back();
            }
            kept += line + "\n";
        }
    }
    return kept;
}

}  // namespace

TEST(Footprints, LayersPinsThenTheDrawingNumberedBeforeTheOutlines) {
    GeomAttribute* outline = make<GeomAttribute>();
    outline->points = {-2, -1, 2, -1, 2, 1, -2, 1};
    // Drawings belong to the geometry whatever the case of their owner name, texts only
    // when it is spelled alike.
    BoardModel model = boardWith(
        {make<Geometry>("SOIC", std::vector{geometryPin("1", -1, 0.5, "'SMD'", "'SIGNAL_1'")},
                        std::vector{outline}),
         make<Path>("SILKSCREEN_1", 0.2, "", CoordinateList{0, 0, 1, 0}, "component", "SOIC"),
         make<MyCircle>("SIGNAL_1", 0, 0, 0.5, 0.1, "component", "soic"),
         make<MyText>("SILKSCREEN_2", 1, 2, 3, "L", 12, "U?", "component", "SOIC"),
         // Not drawn: that text, copper without a design layer, a board's drawing.
         make<MyText>("SILKSCREEN_1", 0, 0, 0, "L", 1, "x", "component", "soic"),
         make<MyCircle>("SIGNAL_2", 0, 0, 1, 0, "component", "SOIC"),
         make<MyPolygon>("SILKSCREEN_1", "", CoordinateList{0, 0, 1, 0, 1, 1}, "board", "SOIC")});
    model.xrfToLayerName["SIGNAL_1"] = "TOP";
    EXPECT_EQ(testing_support::blockJson(model, buildFootprints), R"({"block":"Footprints","items":[
  {"block":"SOIC","items":[
    {"block":"Layers","items":[
      {"named":"DefaultUnits","value":"mm"},
      {"func":"Layer","args":[{"string":"COMPONENT_BODY_OUTLINE"},{"string":"Assembly"},{"string":"top"}]},
      {"func":"Layer","args":[{"string":"SILKSCREEN_1"},{"string":"SilkScreen"},{"string":"top"}]},
      {"func":"Layer","args":[{"string":"SILKSCREEN_2"},{"string":"SilkScreen"},{"string":"bottom"}]}
    ]},
    {"block":"FpPins","items":[
      {"block":"FpPindef","items":[
        {"func":"FpPin","args":[{"string":"1"},{"double":-1},{"double":0.5},{"string":"'SMD'"},{"int":0}]}
      ]}
    ]},
    {"block":"FpGraphics","items":[
      {"func":"Graphics","args":[{"string":"SILKSCREEN_1"},{"func":"Path","args":[{"int":0},{"func":"vertex","args":[{"double":0},{"double":0},{"double":0.2},{"double":0.2},{"string":"Round"},{"string":"Radiallymitered"},{"double":0.2}]},{"func":"vertex","args":[{"double":1},{"double":0},{"double":0.2},{"double":0.2},{"string":"Round"},{"string":"Radiallymitered"},{"double":0.2}]}]}]},
      {"func":"Graphics","args":[{"string":"TOP"},{"func":"Circle","args":[{"int":1},{"double":0.1},{"double":0},{"double":0},{"double":0.5}]}]},
      {"func":"Graphics","args":[{"string":"SILKSCREEN_2"},{"func":"Text","args":[{"int":2},{"double":1},{"double":2},{"double":3},{"string":"L"},{"int":12},{"string":"U?"}]}]},
      {"func":"Graphics","args":[{"string":"COMPONENT_BODY_OUTLINE"},{"func":"Rectangle","args":[{"int":3},{"double":0.001},{"double":0},{"double":0},{"double":4},{"double":2},{"double":0}]}]}
    ]}
  ]}
]}
)");
}

TEST(Footprints, ClosedShapesAreRectanglesOnlyWhenTheirEdgesFollowTheAxes) {
    const auto line = [](const char* shape) {
        return std::string(R"({"func":"Graphics","args":[{"string":"SILKSCREEN_1"},)") + shape
               + "]}\n";
    };
    const char* const rectangle =
        R"({"func":"Rectangle","args":[{"int":0},{"double":0.001},{"double":2},{"double":1},{"double":4},{"double":2},{"double":0}]})";
    const auto polygon = [](CoordinateList points) {
        return make<MyPolygon>("SILKSCREEN_1", "", std::move(points), "component", "G");
    };
    struct Case {
        const char* what;
        MentorElement* drawing;
        std::string expected;
    };
    const Case cases[] = {
        {"clockwise from the top left", polygon({0, 2, 4, 2, 4, 0, 0, 0}), line(rectangle)},
        {"first edge vertical", polygon({0, 0, 0, 2, 4, 2, 4, 0}), line(rectangle)},
        // Its diagonals have equal extents, as a rectangle's have.
        {"isosceles trapezoid", polygon({0, 0, 3, 0, 2, 2, 1, 2}),
         line(
             R"({"func":"Polygon","args":[{"int":0},{"double":0.001},{"func":"vertex","args":[{"double":0},{"double":0}]},{"func":"vertex","args":[{"double":3},{"double":0}]},{"func":"vertex","args":[{"double":2},{"double":2}]},{"func":"vertex","args":[{"double":1},{"double":2}]},{"func":"vertex","args":[{"double":0},{"double":0}]}]})")},
        {"odd count", polygon({0, 0, 1, 0, 1, 1, 2}), ""},
        {"point-by-point path",
         make<Initial>(CoordinateList{0, 0, 1, 1}, "component", "G", "SILKSCREEN_1", "path", 0.3),
         line(
             R"({"func":"Path","args":[{"int":0},{"func":"vertex","args":[{"double":0},{"double":0},{"double":0.3},{"double":0.3},{"string":"Round"},{"string":"Radiallymitered"},{"double":0.3}]},{"func":"vertex","args":[{"double":1},{"double":1},{"double":0.3},{"double":0.3},{"string":"Round"},{"string":"Radiallymitered"},{"double":0.3}]}]})")},
        {"path of one point",
         make<Path>("SILKSCREEN_1", 0.2, "", CoordinateList{1, 1}, "component", "G"), ""},
    };
    for (const Case& c : cases) {
        const BoardModel model = boardWith(
            {make<Geometry>("'G'", std::vector<GeomPin*>{}, std::vector<GeomAttribute*>{}),
             c.drawing});
        EXPECT_EQ(linesWith(testing_support::blockJson(model, buildFootprints), "\"Graphics\""),
                  c.expected)
            << c.what;
    }
}

TEST(Footprints, SurfacePinsOfAPadUsedOnBothSidesTakeTheXtraTwinUnlessBothAreOnLayerOne) {
    // U2 uses the pad first and sets its pin layer value; U1 is placed from geometry G.
    // A pin sits on the top when its pad layer is 1 on side 1 or not 1 on side 2.
    struct Case {
        const char* mount;
        int firstLayer, firstSide;
        const char* u1Pin;
        int u1Layer, u1Side;
        const char* padstack;
    };
    for (const Case& c : {
             Case{"Surf", 1, 2, "'U1-1'", 1, 1, "'P'"},
             Case{"Surf", 2, 1, "'U1-1'", 1, 1, "'P'_XTRA"},    // first pin on layer 2
             Case{"Surf", 1, 2, "'U1-1'", 2, 2, "'P'_XTRA"},    // U1's pin on layer 2
             Case{"'Surf'", 1, 2, "'U1-1'", 2, 2, "'P'_XTRA"},  // quotes removed
             Case{"Thru", 1, 2, "'U1-1'", 2, 2, "'P'"},         // not a surface pin
             Case{"Surf", 1, 1, "'U1-1'", 2, 2, "'P'"},         // top side only
             Case{"Surf", 1, 2, "'1'", 2, 2, "'P'_XTRA"},       // pin named without reference
             Case{"Surf", 1, 2, "'U1-2'", 2, 2, "'P'"},         // G's pin 1 is not placed
         }) {
        const BoardModel model =
            boardWith({make<Geometry>("G", std::vector{geometryPin("1", 0, 0, "'P'", c.mount)},
                                      std::vector<GeomAttribute*>{}),
                       placed("U2", "'OTHER'", "'U2-1'", c.firstLayer, c.firstSide),
                       placed("U1", "'G'", c.u1Pin, c.u1Layer, c.u1Side)});
        EXPECT_EQ(
            linesWith(testing_support::blockJson(model, buildFootprints), "\"FpPin\""),
            std::string(
                R"({"func":"FpPin","args":[{"string":"1"},{"double":0},{"double":0},{"string":")")
                + c.padstack + R"("},{"int":0}]})" + "\n")
            << c.mount << " " << c.u1Pin;
    }
}
