#include "prepare/RoutedAreas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "mentor/Arena.h"
#include "prepare/BoardShapes.h"

using namespace MentorBS;

namespace {

/// A loop as text "(x y) (x y) ...", started at its smallest vertex so that loops compare
/// whatever vertex the graph walk started them at.
std::string loopText(const CoordinateList& values) {
    std::vector<std::pair<double, double>> points;
    for (std::size_t i = 0; i + 1 < values.size(); i += 2) {
        points.emplace_back(values[i], values[i + 1]);
    }
    std::rotate(points.begin(), std::min_element(points.begin(), points.end()), points.end());
    std::string out;
    for (const auto& [x, y] : points) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%s(%.15g %.15g)", out.empty() ? "" : " ", x, y);
        out += buffer;
    }
    return out;
}

std::vector<std::string> loopsOf(const CoordinateList& chain) {
    std::vector<std::string> loops;
    for (const CoordinateList& loop : splitAreaOutline(chain)) {
        loops.push_back(loopText(loop));
    }
    std::sort(loops.begin(), loops.end());
    return loops;
}

}  // namespace

TEST(RoutedAreas, AnOutlineSplitsIntoItsSimpleLoopsClockwise) {
    struct Case {
        const char* what;
        CoordinateList chain;
        std::vector<std::string> loops;
    };
    const Case cases[] = {
        {"a rectangle is one loop, turned clockwise",
         {0, 0, 10, 0, 10, 5, 0, 5},
         {"(0 0) (0 5) (10 5) (10 0)"}},
        {"a point on a straight side goes; points within 0.1 are one, the first",
         {0, 0, 5, 0, 10, 0, 10, 5, 10, 5.05, 0, 5},
         {"(0 0) (0 5) (10 5) (10 0)"}},
        // The sides (0,0)-(2,2) and (2,0)-(0,2) cross at (1,1).
        {"a bow-tie gives its two triangles",
         {0, 0, 2, 2, 2, 0, 0, 2},
         {"(0 0) (0 2) (1 1)", "(1 1) (2 2) (2 0)"}},
        {"a figure-eight through one vertex gives two loops",
         {0, 0, 1, 1, 2, 0, 1, -1, 0, 0, -1, -1, -2, 0, -1, 1},
         {"(-2 0) (-1 1) (0 0) (-1 -1)", "(0 0) (1 1) (2 0) (1 -1)"}},
        {"too few points, or a value that is no number, give nothing", {0, 0, 1, 1}, {}},
        {"", {0, 0, 1, 0, std::nan(""), 1}, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(loopsOf(c.chain), c.loops) << c.what;
    }
}

TEST(RoutedAreas, OneAreaStaysWholeSeveralAreasAreSplit) {
    BoardModel model;
    model.unitsName = "mm";  // traces-file counts of 10 nm: 1e-5 mm each
    model.xrfToLayerName = {{"SIGNAL_1", "TOP"}};
    const CoordinateList bowTie = {0, 0, 200000, 200000, 200000, 0, 0, 200000};
    const CoordinateList square = {0, 0, 100000, 0, 100000, 100000, 0, 100000};
    LayoutNet* single = make<LayoutNet>(
        "A", "mm", std::vector<TraceRecord>{},
        std::vector<AreaRecord>{{"signal_1", bowTie, 1000}, {"SIGNAL_1", {0, 0, 1, 1, 2}, 0}});
    LayoutNet* several =
        make<LayoutNet>("B", "mm", std::vector<TraceRecord>{},
                        std::vector<AreaRecord>{{"SIGNAL_1", bowTie, 1000}, {"OTHER", square, 0}});
    model.layoutElements = {single, several};
    prepareRoutedAreas(model);

    // The only area (the five-value one does not count) is kept whole, self-crossing or
    // not, scaled into millimetres, on the layer its XRF name (any case) maps to.
    ASSERT_EQ(single->preparedAreas.size(), 1u);
    EXPECT_EQ(single->preparedAreas[0].layer, "TOP");
    EXPECT_EQ(loopText(single->preparedAreas[0].vertices), "(0 0) (2 2) (2 0) (0 2)");
    EXPECT_DOUBLE_EQ(single->preparedAreas[0].width, 0.01);
    EXPECT_TRUE(single->splitAreaGroups.empty());

    // Of two areas, the bow-tie becomes a group of its two triangles and the square one
    // prepared area; an unmapped layer is empty.
    ASSERT_EQ(several->splitAreaGroups.size(), 1u);
    ASSERT_EQ(several->splitAreaGroups[0].size(), 2u);
    for (const AreaRecord& loop : several->splitAreaGroups[0]) {
        EXPECT_EQ(loop.layer, "TOP");
        EXPECT_EQ(loop.vertices.size(), 6u);
    }
    ASSERT_EQ(several->preparedAreas.size(), 1u);
    EXPECT_EQ(several->preparedAreas[0].layer, "");
    EXPECT_EQ(loopText(several->preparedAreas[0].vertices), "(0 0) (0 1) (1 1) (1 0)");
    EXPECT_TRUE(several->rawAreas.size() == 2) << "the raw areas stay as read";
}
