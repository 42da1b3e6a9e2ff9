#include "writer/LayoutData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "mentor/Arena.h"
#include "tests/support/BlockJson.h"
#include "writer/DocumentContext.h"

using namespace MentorBS;

namespace {

BoardModel boardInMm(double offsetX = 0, double offsetY = 0) {
    BoardModel model;
    model.elements.push_back(make<Board>("'B'", offsetX, offsetY, 0, "mm"));
    model.unitsName = "mm";
    model.xrfToLayerName = {{"SIGNAL_1", "TOP"}, {"SIGNAL_2", "BOT"}};
    model.techLayers = {{1, "TOP"}, {2, "BOT"}};
    return model;
}

/// JSON with vertices written short, as v(x,y) and V(x,y,w) for a line of width w.
std::string compact(const std::string& json) {
    return testing_support::compactVertices(json);
}

Component* component(const char* reference, const char* geometry, double x, double y, int side,
                     int rotation, std::vector<CompPin*> pins = {}) {
    return make<Component>(reference, "", geometry, "", x, y, side, rotation,
                           std::vector<std::string>{}, std::move(pins));
}

CompPin* pin(const char* name, int padLayer, int pinSide) {
    return make<CompPin>(CompPin{name, 0, 0, padLayer, pinSide, 0, "'SMD'", ""});
}

MentorElement* routingOutline(std::vector<double> numbers) {
    return make<BoardAttribute>("'BOARD_ROUTING_OUTLINE'", "'POLY'", std::move(numbers));
}

NetPin* netPin(const char* name, int from, int to) {
    NetPin* made = make<NetPin>();
    made->pinName = VString(name);
    made->number2 = from;
    made->trailingNumber = to;
    return made;
}

/// The (x, y) of every vertex of the outline polygon.
std::vector<std::pair<double, double>> outlineVertices(const BoardModel& model) {
    DocumentContext context(model, false);
    const io::CBlockPtr dimensions = buildPhysicalDimensions(model, context);
    std::vector<std::pair<double, double>> vertices;
    const auto& polygon = std::get<std::shared_ptr<const io::CBlock_func>>(dimensions->items()[0]);
    for (const io::CBlockArgument& argument : polygon->arguments()) {
        if (const auto* vertex = std::get_if<std::shared_ptr<const io::CBlock_func>>(&argument)) {
            vertices.emplace_back(std::get<double>((*vertex)->arguments()[0]),
                                  std::get<double>((*vertex)->arguments()[1]));
        }
    }
    return vertices;
}

/// Distance of a point from the square [0, side]^2 (0 inside).
double distanceFromSquare(double x, double y, double side) {
    const double dx = std::max({0.0, -x, x - side});
    const double dy = std::max({0.0, -y, y - side});
    return std::hypot(dx, dy);
}

}  // namespace

TEST(LayoutComponents, SideLayerMirroringAndThePinsLayers) {
    BoardModel model = boardInMm(1, 2);
    // The pad 'SMD' is used from the top (U1) and from the bottom (U2's pin on layer 1 of
    // a bottom-side part, U3's pin on layer 2 of a top-side part); its first user has pad
    // layer 1. U3's geometry has its terminal 1 on pad layer 2, so U3 sits on the bottom
    // copper, unmirrored; U1's geometry has it on layer 1.
    // The geometry record spells SOIC without quotes; BGA has no geometry record.
    model.elements.push_back(
        make<Geometry>("SOIC", std::vector<GeomPin*>{}, std::vector<GeomAttribute*>{}));
    model.elements.push_back(component("U1", "'SOIC'", 11, 12, 1, 90, {pin("'U1-1'", 1, 1)}));
    model.elements.push_back(component("U2", "'SOIC'", 21, 22, 2, 180, {pin("'U2-1'", 1, 2)}));
    model.elements.push_back(component("U3", "'BGA'", 31, 32, 1, 0, {pin("'U3-1'", 2, 1)}));
    // Only a pin whose two layer numbers both name stackup layers reaches layers.
    model.pinsByComponent[VString(L"U1")] = {netPin("1", 1, 2), netPin("2", -1, 2),
                                             netPin("3", 2, 9)};
    EXPECT_EQ(testing_support::blockJson(model, buildLayoutComponents),
              R"({"block":"LayoutComponents","items":[
  {"block":"LayoutComp","items":[
    {"func":"LayoutCompInst","args":[{"string":"TOP"},{"string":"SOIC"},{"string":"U1"},{"double":10},{"double":10},{"double":90},{"bool":false}]},
    {"func":"FpPinInst","args":[{"string":"1"},{"string":"TOP"},{"string":"BOT"}]}
  ]},
  {"block":"LayoutComp","items":[
    {"func":"LayoutCompInst","args":[{"string":"BOT"},{"string":"SOIC"},{"string":"U2"},{"double":20},{"double":20},{"double":180},{"bool":true}]}
  ]},
  {"block":"LayoutComp","items":[
    {"func":"LayoutCompInst","args":[{"string":"BOT"},{"string":"'BGA'"},{"string":"U3"},{"double":30},{"double":30},{"double":0},{"bool":false}]}
  ]}
]}
)");
}

TEST(PhysicalDimensions, OutlineSourcesInPriorityOrder) {
    MentorElement* attribute = routingOutline({0, 0, 4, 0, 4, 3});
    MentorElement* shortAttribute = routingOutline({0, 0, 4, 0, 4});
    // Ends where it starts: no closing vertex is added.
    MentorElement* polygon =
        make<MyPolygon>("BOARD_OUTLINE", "", CoordinateList{0, 0, 5, 0, 5, 5, 0, 0}, "board", "B");
    MentorElement* foreignPolygon =
        make<MyPolygon>("BOARD_OUTLINE", "", CoordinateList{0, 0, 5, 0, 5, 5}, "board", "OTHER");
    MentorElement* path =
        make<Path>("BOARD_OUTLINE", 0.25, "", CoordinateList{0, 0, 6, 0}, "board", "B");
    MentorElement* thinPath =
        make<Path>("BOARD_OUTLINE", 0.0, "", CoordinateList{0, 0, 7, 0}, "board", "B");
    MentorElement* geometryAttribute =
        make<Attribute>(CoordinateList{0, 0, 8, 0, 8, 8}, "board", "B");
    struct Case {
        std::vector<MentorElement*> elements;
        const char* expected;
    };
    // Lines are one micrometre (0.001 mm) wide; a path of width 0 takes that width too.
    const Case cases[] = {
        {{polygon, attribute},
         R"({"func":"Polygon","args":[{"int":0},{"double":0.001},v(0,0),v(4,0),v(4,3),v(0,0)]})"},
        {{shortAttribute, path, polygon},
         R"({"func":"Polygon","args":[{"int":0},{"double":0.001},v(0,0),v(5,0),v(5,5),v(0,0)]})"},
        {{foreignPolygon, geometryAttribute, path},
         R"({"func":"Path","args":[{"int":0},V(0,0,0.25),V(6,0,0.25)]})"},
        {{thinPath}, R"({"func":"Path","args":[{"int":0},V(0,0,0.001),V(7,0,0.001)]})"},
        {{geometryAttribute},
         R"({"func":"Polygon","args":[{"int":0},{"double":0.001},v(0,0),v(8,0),v(8,8),v(0,0)]})"},
    };
    for (const Case& c : cases) {
        BoardModel model = boardInMm();
        model.elements.insert(model.elements.end(), c.elements.begin(), c.elements.end());
        EXPECT_EQ(compact(testing_support::blockJson(model, buildPhysicalDimensions)),
                  std::string(R"({"block":"PhysicalDimensions","items":[
  )") + c.expected + "\n]}\n");
    }
    EXPECT_EQ(testing_support::blockJson(boardInMm(), buildPhysicalDimensions),
              "{\"block\":\"PhysicalDimensions\",\"items\":[]}\n");
}

TEST(PhysicalDimensions, PlacementGridGrowsTheOutlineWithRoundCorners) {
    BoardModel model = boardInMm();
    model.elements.push_back(routingOutline({0, 0, 10, 0, 10, 10, 0, 10}));
    model.doubledPlacementGrid = 2;
    const auto vertices = outlineVertices(model);
    // Four sides and four quarter circles of radius 2, each in 5 chords of 18 degrees (at
    // most 20): 4 + 4 * 5 vertices, and the first again at the end.
    ASSERT_EQ(vertices.size(), 25u);
    EXPECT_EQ(vertices.front(), vertices.back());
    // Every vertex lies on the true offset; every chord's middle within the chord error of
    // a 20 degree step, 2 (1 - cos 10 degrees) = 0.0304.
    constexpr double k_Tolerance = 1e-9;
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        const auto [x, y] = vertices[i];
        EXPECT_NEAR(distanceFromSquare(x, y, 10), 2.0, k_Tolerance) << i;
        if (i + 1 < vertices.size()) {
            const double midX = (x + vertices[i + 1].first) / 2;
            const double midY = (y + vertices[i + 1].second) / 2;
            EXPECT_GE(distanceFromSquare(midX, midY, 10), 2.0 - 0.0304) << i;
        }
    }

    // A negative grid shrinks: a 10 mm square joined on its left to a 4 mm one by a 1 mm
    // bar falls apart into two pieces. The kernel lists the small one first; the larger
    // one, right of x = 0, is the outline.
    model.elements.back() = routingOutline({0,   0, 10,  0, 10,  10, 0,   10, 0,   5.5, -10, 5.5,
                                            -10, 7, -14, 7, -14, 3,  -10, 3,  -10, 4.5, 0,   4.5});
    model.doubledPlacementGrid = -1;
    const auto shrunk = outlineVertices(model);
    ASSERT_GE(shrunk.size(), 5u);
    for (const auto& [x, y] : shrunk) {
        EXPECT_GE(x, 0.0) << y;
    }
}

TEST(LayoutData, CellThenDesignWithTheLayersBuiltTwice) {
    BoardModel model = boardInMm();
    model.techLayers = {{1, "TOP"}};
    // The area on layer key ZZZ gives the layer type table a row for it, so the second
    // layer list holds the footprint layer ZZZ that the first one left out.
    model.xrfToLayerName["ZZZ"] = "DOC";
    model.elements.push_back(routingOutline({0, 0, 4, 0, 4, 3}));
    model.layoutElements.push_back(
        make<LayoutNet>("SIG", "mm", std::vector<TraceRecord>{},
                        std::vector<AreaRecord>{{"ZZZ", {0, 0, 100000, 0, 100000, 100000}, 0}}));
    const std::string json =
        testing_support::blockJson(model, [](const BoardModel& m, DocumentContext& context) {
            context.footprintLayers = {"ZZZ"};
            return buildLayoutData(m, context);
        });
    // Graphic numbers run on from the nets to the outline.
    EXPECT_EQ(compact(json), R"({"block":"LayoutData","items":[
  {"block":"LayoutCell","items":[
    {"named":"CellName","value":"'B'"},
    {"block":"Netlist","items":[
      {"block":"Net","items":[
        {"func":"SIG","args":[{"string":"Signal"}]}
      ]}
    ]},
    {"block":"Layout","items":[
      {"named":"DefaultUnits","value":"mm"},
      {"block":"Layers","items":[
        {"func":"StackupLayer","args":[{"string":"TOP"},{"string":"Signal"},{"string":"top"},{"double":0},{"string":"Copper"}]}
      ]},
      {"block":"LayoutPorts","items":[]},
      {"block":"LayoutComponents","items":[]},
      {"block":"LayoutNets","items":[
        {"block":"LayoutNet","items":[
          {"named":"Name","value":"SIG"},
          {"func":"Graphics","args":[{"string":"DOC"},{"func":"Polygon","args":[{"int":0},{"double":0},v(0,0),v(1,0),v(1,1),v(0,0)]}]}
        ]}
      ]},
      {"block":"Graphics","items":[]}
    ]}
  ]},
  {"block":"Design","items":[
    {"named":"Name","value":"'B'"},
    {"block":"TopLayout","items":[
      {"block":"Layers","items":[
        {"func":"Layer","args":[{"string":"ZZZ"},{"string":"User"},{"string":"top"}]},
        {"func":"StackupLayer","args":[{"string":"TOP"},{"string":"Signal"},{"string":"top"},{"double":0},{"string":"Copper"}]}
      ]},
      {"block":"PhysicalDimensions","items":[
        {"func":"Polygon","args":[{"int":1},{"double":0.001},v(0,0),v(4,0),v(4,3),v(0,0)]}
      ]}
    ]},
    {"block":"Instances","items":[]}
  ]}
]}
)");
}
