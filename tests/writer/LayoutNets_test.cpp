#include "writer/LayoutNets.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "mentor/Arena.h"
#include "tests/support/BlockJson.h"
#include "tests/support/Recorder.h"

using namespace MentorBS;

namespace {

/// A board in millimetres: traces-file counts of 10 nm scale by 1e-5.
BoardModel boardInMm(double offsetX = 0, double offsetY = 0) {
    BoardModel model;
    model.elements.push_back(make<Board>("'B'", offsetX, offsetY, 0, "mm"));
    model.unitsName = "mm";
    model.xrfToLayerName = {{"SIGNAL_1", "TOP"}, {"SIGNAL_2", "BOT"}, {"POWER_1", "PLANE"}};
    return model;
}

TraceRecord trace(std::vector<double> values) {
    return {"TOP", std::move(values), "ANT"};
}

LayoutNet* layoutNet(const char* name, std::vector<TraceRecord> traces = {},
                     std::vector<AreaRecord> areas = {}) {
    return make<LayoutNet>(name, "mm", std::move(traces), std::move(areas));
}

/// The block's JSON with every vertex written short: v(x,y) for an outline vertex and
/// V(x,y,w) for a vertex of a line of width w (whose three widths agree).
std::string layoutNetsJson(const BoardModel& model, bool mergePlanes = false) {
    std::string json = testing_support::blockJson(model, buildLayoutNets, mergePlanes);
    return testing_support::compactVertices(json);
}

TestPointRecord testPoint(int mask, double angle = 0, const char* owner = "null",
                          int layerNumber = 4) {
    TestPointRecord record;
    record.ownerName = owner;
    record.index = 1;
    record.x = 10;
    record.y = 20;
    record.angle = angle;
    record.armX = 2;
    record.armY = 1;
    record.armMask = mask;
    record.layerName = "SIGNAL_1";
    record.netName = "SIG";
    record.xrfLayerNumber = layerNumber;
    return record;
}

NetVia* via(double x, int from, int to, const char* pad = "'VIA20'") {
    return make<NetVia>(NetVia{x, 5, pad, from, to});
}

Net* net(const char* name, std::vector<NetVia*> vias) {
    return make<Net>(name, std::vector<std::string>{}, std::vector<NetPin*>{}, std::move(vias),
                     std::vector<NetPinTest*>{}, std::vector<NetTestPoint*>{});
}

}  // namespace

TEST(LayoutNets, TracesScaleToTheOutputUnitAndSplitWhereTheWidthChanges) {
    BoardModel model = boardInMm();
    // Counts of 10 nm: 100000 is 1.0 mm, 1000000 is 10.0, 2000000 is 20.0. The first
    // trace's widths are 10, 10, 20: its first path ends at the third point in the old
    // width and the second starts there. A point of width 0 adds no vertex, and a trace of
    // one point draws nothing.
    model.layoutElements.push_back(
        layoutNet("SIG", {trace({100000, 0, 1000000, 200000, 0, 1000000, 200000, 100000, 2000000}),
                          trace({0, 0, 0, 100000, 0, 1000000}), trace({0, 0, 1000000})}));
    EXPECT_EQ(layoutNetsJson(model), R"({"block":"LayoutNets","items":[
  {"block":"LayoutNet","items":[
    {"named":"Name","value":"SIG"},
    {"func":"Trace","args":[{"string":"TOP"},{"func":"Path","args":[{"int":0},V(1,0,10),V(2,0,10),V(2,1,10)]}]},
    {"func":"Trace","args":[{"string":"TOP"},{"func":"Path","args":[{"int":1},V(2,1,20)]}]},
    {"func":"Trace","args":[{"string":"TOP"},{"func":"Path","args":[{"int":2},V(1,0,10)]}]}
  ]}
]}
)");
}

TEST(LayoutNets, TestPointMarkersDrawTheArmsOfTheirMask) {
    BoardModel model = boardInMm();
    model.layoutElements.push_back(layoutNet("SIG"));
    model.testPointTypes[1] = {0.2, 0, 0, 0};
    // A pad named like the owner, with its shape on the marker's layer (case ignored)
    // offset by (0.5, 0.25), and a pin of a bottom-side component at the marker on pad
    // layer 1, turned by 90 degrees.
    PadShape* shape = make<PadShape>(PadShape{"'top'", "", "CIRCLE", {1.0}, 0.5, 0.25});
    model.elements.push_back(make<Pad>("PIN", "'P1'", "Surf", 0.0, std::vector<std::string>{}, "",
                                       std::vector<PadShape*>{shape}));
    CompPin* pin = make<CompPin>(CompPin{"'1'", 10, 20, 1, 2, 90, "'P1'", ""});
    model.elements.push_back(make<Component>("J1", "", "'G'", "", 10.0, 20.0, 2, 0,
                                             std::vector<std::string>{},
                                             std::vector<CompPin*>{pin}));
    TestPointRecord otherNet = testPoint(1);
    otherNet.netName = "GND";
    model.testPoints = {
        testPoint(1),         // C, R
        testPoint(7),         // second C, T; main L, R
        testPoint(15),        // second T, B; main L, R
        testPoint(0),         // no arms
        otherNet,             // another net's
        testPoint(1, 405.5),  // 405 is 45 modulo 360: R turns to C + 2 (cos 45, sin 45)
        testPoint(1, 0, "P1", 1),
        testPoint(16),  // a mask beyond the four arms
    };
    // The owner's centre (10.5, 20.25) turns by 90 degrees about (10, 20) to (9.75, 20.5)
    // and mirrors across x = 10 to (10.25, 20.5). Arms are 2 along x and 1 along y; the
    // width is the 0.2 of test-point type 1. 2 cos 45 = 1.4142135623730951.
    EXPECT_EQ(layoutNetsJson(model), R"({"block":"LayoutNets","items":[
  {"block":"LayoutNet","items":[
    {"named":"Name","value":"SIG"},
    {"func":"Graphics","args":[{"string":"TOP"},{"func":"Path","args":[{"int":0},V(10,20,0.2),V(12,20,0.2)]}]},
    {"func":"Graphics","args":[{"string":"TOP"},{"func":"Path","args":[{"int":1},V(10,20,0.2),V(10,21,0.2)]}]},
    {"func":"Graphics","args":[{"string":"TOP"},{"func":"Path","args":[{"int":2},V(8,20,0.2),V(12,20,0.2)]}]},
    {"func":"Graphics","args":[{"string":"TOP"},{"func":"Path","args":[{"int":3},V(10,21,0.2),V(10,19,0.2)]}]},
    {"func":"Graphics","args":[{"string":"TOP"},{"func":"Path","args":[{"int":4},V(8,20,0.2),V(12,20,0.2)]}]},
    {"func":"Graphics","args":[{"string":"TOP"},{"func":"Path","args":[{"int":5},V(10,20,0.2),V(11.414213562373096,21.414213562373096,0.2)]}]},
    {"func":"Graphics","args":[{"string":"TOP"},{"func":"Path","args":[{"int":6},V(10.25,20.5,0.2),V(12.25,20.5,0.2)]}]},
    {"func":"Graphics","args":[{"string":"TOP"},{"func":"Path","args":[{"int":7}]}]}
  ]}
]}
)");
}

TEST(LayoutNets, ViasTakeStackupNamesAndNetsWithOnlyViasGetANet) {
    BoardModel model = boardInMm(1, 2);
    model.techLayers = {{1, "BOND_A"}, {2, "TOP"}, {3, "BOT"}};
    model.bondLayers = {"BOND_A"};
    // The second layout net of the name is not written: its trace would show.
    model.layoutElements = {layoutNet("SIG"), layoutNet("SIG", {trace({0, 0, 1, 1, 1, 1})})};
    model.elements.push_back(net("'SIG'", {
                                              via(5, 1, 3),  // bond layer start: TOP to BOT
                                              via(6, 1, 2),  // ... and TOP to the bond layer
                                              via(7, 2, 9),  // no layer 9: the last one
                                              via(8, 7, 2),  // no layer 7: not written
                                          }));
    model.elements.push_back(net("'GND'", {via(9, 3, 2, "'VIA10'")}));
    // The padstack is named as the pad record spells it.
    model.elements.push_back(make<Pad>("VIA", "VIA10", "Thru", 0.3, std::vector<std::string>{}, "",
                                       std::vector<PadShape*>{}));
    // Positions less the board offset (1, 2).
    EXPECT_EQ(layoutNetsJson(model), R"({"block":"LayoutNets","items":[
  {"block":"LayoutNet","items":[
    {"named":"Name","value":"SIG"},
    {"func":"Via","args":[{"int":0},{"string":"TOP"},{"string":"BOT"},{"double":4},{"double":3},{"string":"'VIA20'"},{"double":0}]},
    {"func":"Via","args":[{"int":1},{"string":"TOP"},{"string":"BOND_A"},{"double":5},{"double":3},{"string":"'VIA20'"},{"double":0}]},
    {"func":"Via","args":[{"int":2},{"string":"TOP"},{"string":"BOT"},{"double":6},{"double":3},{"string":"'VIA20'"},{"double":0}]}
  ]},
  {"block":"LayoutNet","items":[
    {"named":"Name","value":"'GND'"},
    {"func":"Via","args":[{"int":3},{"string":"BOT"},{"string":"TOP"},{"double":8},{"double":3},{"string":"VIA10"},{"double":0}]}
  ]}
]}
)");
}

TEST(LayoutNets, PlaneGroupsBecomeAShapeOrAnOutlineWithVoids) {
    BoardModel model = boardInMm();
    LayoutNet* plane = layoutNet("GND");
    const auto arcPolygon = [](CoordinateList points) {
        return make<MyArcPolygon>("PLANE", "", std::move(points), "", "");
    };
    // A 10 by 10 square with a round hole of diameter 1 at (2, 2) and a half disc over
    // (4, 4)-(6, 4); then a triangle alone.
    plane->planeShapeGroups = {
        {arcPolygon({0, 0, 0, 10, 0, 0, 10, 10, 0, 0, 10, 0}),
         make<MyCircle>("PLANE", 2, 2, 1, 0, "", ""), arcPolygon({4, 4, 1, 6, 4, 0})},
        {arcPolygon({20, 0, 0, 30, 0, 0, 30, 10, 0})},
    };
    model.layoutElements.push_back(plane);
    EXPECT_EQ(layoutNetsJson(model), R"({"block":"LayoutNets","items":[
  {"block":"LayoutNet","items":[
    {"named":"Name","value":"GND"},
    {"block":"PolygonWithVoids","items":[
      {"named":"Layer","value":"PLANE"},
      {"func":"Polygon","args":[{"int":0},{"double":0},v(0,0),v(10,0),v(10,10),v(0,10),v(0,0)]},
      {"block":"voids","items":[
        {"func":"Circle","args":[{"int":1},{"double":0},{"double":2},{"double":2},{"double":1}]},
        {"func":"Polygon","args":[{"int":2},{"double":0},v(4,4),{"func":"Arc","args":[{"double":1}]},v(6,4),v(4,4)]}
      ]}
    ]},
    {"func":"Graphics","args":[{"string":"PLANE"},{"func":"Polygon","args":[{"int":3},{"double":0},v(20,0),v(30,0),v(30,10),v(20,0)]}]}
  ]}
]}
)");
}

TEST(LayoutNets, AreasAsReadOrAsPreparedByTheMergeOption) {
    BoardModel model = boardInMm();
    // As read: a 10 mm square drawn 2 mm wide on SIGNAL_2 (BOT) with an island from 4 to
    // 8 mm, and an area on the plane layer, which is left out.
    LayoutNet* gnd = layoutNet(
        "GND", {},
        {{"SIGNAL_2", {0, 0, 1000000, 0, 1000000, 1000000, 0, 1000000}, 200000},
         {"POWER_1", {0, 0, 100000, 0, 100000, 100000}, 0},
         {"SIGNAL_2", {400000, 400000, 800000, 400000, 800000, 800000, 400000, 800000}, 0}});
    // As prepared, in millimetres: one area, a plane area (left out), and an area split
    // into two loops.
    gnd->preparedAreas = {{"BOT", {0, 0, 10, 0, 10, 10, 0, 10}, 0.5},
                          {"PLANE", {0, 0, 1, 0, 1, 1}, 0.5}};
    gnd->splitAreaGroups = {
        {{"BOT", {0, 20, 4, 20, 4, 24}, 0.5}, {"BOT", {6, 20, 8, 20, 8, 22}, 0.5}}};
    model.layoutElements.push_back(gnd);

    // The outline shrinks by half its width, to 1..9; the voids are the island, then the
    // shrunk outline less the island: its outer loop and its hole.
    EXPECT_EQ(layoutNetsJson(model), R"({"block":"LayoutNets","items":[
  {"block":"LayoutNet","items":[
    {"named":"Name","value":"GND"},
    {"block":"PolygonWithVoids","items":[
      {"named":"Layer","value":"BOT"},
      {"func":"Polygon","args":[{"int":0},{"double":2},v(1,1),v(9,1),v(9,9),v(1,9),v(1,1)]},
      {"block":"voids","items":[
        {"func":"Polygon","args":[{"int":1},{"double":0},v(4,4),v(8,4),v(8,8),v(4,8),v(4,4)]},
        {"func":"Polygon","args":[{"int":2},{"double":2},v(1,1),v(9,1),v(9,9),v(1,9),v(1,1)]},
        {"func":"Polygon","args":[{"int":3},{"double":2},v(4,4),v(8,4),v(8,8),v(4,8),v(4,4)]}
      ]}
    ]}
  ]}
]}
)");

    // Merged: the prepared area filled; the split area as its last loop with the other
    // one as a void.
    EXPECT_EQ(layoutNetsJson(model, true), R"({"block":"LayoutNets","items":[
  {"block":"LayoutNet","items":[
    {"named":"Name","value":"GND"},
    {"func":"Graphics","args":[{"string":"BOT"},{"func":"Polygon","args":[{"int":0},{"double":0.5},v(0,0),v(10,0),v(10,10),v(0,10),v(0,0)]}]},
    {"block":"PolygonWithVoids","items":[
      {"named":"Layer","value":"BOT"},
      {"func":"Polygon","args":[{"int":1},{"double":0.5},v(6,20),v(8,20),v(8,22),v(6,20)]},
      {"block":"voids","items":[
        {"func":"Polygon","args":[{"int":2},{"double":0.5},v(0,20),v(4,20),v(4,24),v(0,20)]}
      ]}
    ]}
  ]}
]}
)");
}

TEST(LayoutNets, MalformedItemsAreLeftOutOrWrittenUnchanged) {
    testing_support::Recorder recorder;
    BoardModel model = boardInMm();
    const double nan = std::nan("");
    // A trace with a stray seventh value keeps its two whole points; one holding NaN is
    // left out. The area's outline is 2 mm across and drawn
    // 10 mm wide: shrinking by 5 mm leaves nothing, which is reported, and the outline is
    // written as read.
    model.layoutElements.push_back(layoutNet(
        "SIG",
        {trace({0, 0, 1000000, 100000, 0, 1000000, 5}), trace({0, 0, 1000000, nan, 0, 1000000})},
        {{"SIGNAL_2", {0, 0, 200000, 0, 200000, 200000, 0, 200000}, 1000000},
         {"SIGNAL_2", {50000, 50000, 100000, 50000, 100000, 100000}, 0}}));
    EXPECT_EQ(layoutNetsJson(model), R"({"block":"LayoutNets","items":[
  {"block":"LayoutNet","items":[
    {"named":"Name","value":"SIG"},
    {"func":"Trace","args":[{"string":"TOP"},{"func":"Path","args":[{"int":0},V(0,0,10),V(1,0,10)]}]},
    {"block":"PolygonWithVoids","items":[
      {"named":"Layer","value":"BOT"},
      {"func":"Polygon","args":[{"int":1},{"double":10},v(0,0),v(2,0),v(2,2),v(0,2),v(0,0)]},
      {"block":"voids","items":[
        {"func":"Polygon","args":[{"int":2},{"double":0},v(0.5,0.5),v(1,0.5),v(1,1),v(0.5,0.5)]},
        {"func":"Polygon","args":[{"int":3},{"double":10},v(0,0),v(2,0),v(2,2),v(0,2),v(0,0)]},
        {"func":"Polygon","args":[{"int":4},{"double":10},v(0.5,0.5),v(1,0.5),v(1,1),v(0.5,0.5)]}
      ]}
    ]}
  ]}
]}
)");
    ASSERT_EQ(recorder.messageBoxes.size(), 1u);
    EXPECT_EQ(recorder.messageBoxes[0].text, "Actual Shape polygon is empty after shrinking");
    EXPECT_EQ(recorder.messageBoxes[0].caption, "File I/O Error");
    EXPECT_EQ(recorder.messageBoxes[0].style, 0u);
    // The context keeps the net for the translation report.
    DocumentContext context(model, false);
    buildLayoutNets(model, context);
    EXPECT_EQ(context.emptyShrinks.count, 1);
    EXPECT_EQ(context.emptyShrinks.names, std::vector<std::string>{"SIG"});
}
