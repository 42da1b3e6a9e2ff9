#include "prepare/BoardShapes.h"

#include <gtest/gtest.h>

#include <numbers>
#include <vector>

#include "mentor/Arena.h"

using namespace MentorBS;

TEST(BoardShapes, LayerNamesMapThroughTheXrfNamesIgnoringCase) {
    BoardModel model;
    model.xrfToLayerName = {{"POWER_1", "GND_PLANE"}, {"SIGNAL_1", "TOP"}};
    EXPECT_EQ(mapLayerName(model, "signal_1"), "TOP");
    EXPECT_EQ(mapLayerName(model, "Power_1"), "GND_PLANE");
    EXPECT_EQ(mapLayerName(model, "SIGNAL_2"), "");
}

TEST(BoardShapes, TheRoutingOutlineFallsBackOnTheGeometryFile) {
    const CoordinateList six = {0, 0, 1, 0, 1, 1};
    const CoordinateList eight = {0, 0, 2, 0, 2, 2, 0, 2};
    const auto find = [](std::vector<MentorElement*> elements) {
        BoardModel model;
        model.elements = std::move(elements);
        CoordinateList points;
        return findBoardRoutingOutline(model, points) ? points : CoordinateList{-1};
    };
    MentorElement* board = make<Board>("'B'", 0.0, 0.0, 0, "mm");
    const auto attribute = [](CoordinateList numbers) {
        return make<BoardAttribute>("'BOARD_ROUTING_OUTLINE'", "'POLY'", std::move(numbers));
    };
    // The neutral file's attribute wins when it has an even number, at least 6, of values.
    EXPECT_EQ(find({board, make<MyPolygon>("L", "", eight, "board", "B"), attribute(six)}), six);
    // With 5 values it is passed over; a board polygon needs more than 6 values, and the
    // geometry file names the board without the neutral file's quotes.
    EXPECT_EQ(find({board, attribute({0, 0, 1, 0, 1}), make<Path>("L", 1.0, "", six, "board", "B"),
                    make<MyPolygon>("L", "", eight, "component", "B"),
                    make<Path>("L", 1.0, "", eight, "board", "B")}),
              eight);
    EXPECT_EQ(find({board, make<Attribute>(six, "board", "B")}), six);
    EXPECT_EQ(find({board, make<Attribute>(six, "board", "other")}), CoordinateList{-1});
}

TEST(BoardShapes, KernelPolygonsBecomeCirclesOrArcPolygons) {
    // A whole circle is a circle element without an owner.
    const MentorElement* circle =
        convertPolygon(geom::Polygon(geom::Circle(geom::Point(1, 2), 3)), "TOP", false);
    ASSERT_NE(circle, nullptr);
    ASSERT_NE(circle->asMyCircle(), nullptr);
    const MyCircle& c = *circle->asMyCircle();
    EXPECT_EQ(std::vector<double>({c.x, c.y, c.diameter, c.width}),
              std::vector<double>({1, 2, 6, 0}));
    EXPECT_EQ(c.layer, "TOP");
    EXPECT_EQ(c.ownerKind + c.ownerName, "");

    // A stroke of (0,0)-(2,0) at width 2: the cap at the start from (0,1) to (0,-1) with
    // height -1, the lower side, the cap at the end, the upper side.
    const MentorElement* stroke = convertPolygon(
        geom::Polygon(geom::Segment(geom::Point(0, 0), geom::Point(2, 0)), 2), "TOP", false);
    ASSERT_NE(stroke, nullptr);
    ASSERT_NE(stroke->asMyArcPolygon(), nullptr);
    EXPECT_EQ(stroke->asMyArcPolygon()->points,
              (CoordinateList{0, 1, -1, 0, -1, 0, 2, -1, -1, 2, 1, 0}));

    // With the discretise flag the caps become 20 degree chords: 9 for each half circle.
    const MentorElement* chords = convertPolygon(
        geom::Polygon(geom::Segment(geom::Point(0, 0), geom::Point(2, 0)), 2), "TOP", true);
    ASSERT_NE(chords, nullptr);
    ASSERT_NE(chords->asMyPolygon(), nullptr);
    EXPECT_EQ(chords->asMyPolygon()->points.size(), 2u * (9 + 1 + 9 + 1));

    // A segment of width 0 is one edge: no shape.
    EXPECT_EQ(convertPolygon(geom::Polygon(geom::Segment(geom::Point(0, 0), geom::Point(2, 0)), 0),
                             "TOP", false),
              nullptr);
}
