#include "prepare/NegativePlanes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "corelib/TokenStream.h"
#include "math/geometry/Boolean.h"
#include "math/geometry/Polygon.h"
#include "math/geometry/PolygonCollection.h"
#include "math/geometry/PolygonWithHolesCollection.h"
#include "mentor/Arena.h"
#include "tests/support/Recorder.h"

using namespace MentorBS;

namespace {

constexpr double k_Pi = std::numbers::pi;

/// A board in millimetres with a 100 x 50 routing outline, a ground plane on the layer
/// file's GND_PLANE (XRF POWER_1) and a signal net SIG. Traces-file values are counts of
/// 10 nm: 100000 to the millimetre.
BoardModel planeBoard() {
    BoardModel model;
    model.unitsName = "mm";
    model.xrfToLayerName = {
        {"POWER_1", "GND_PLANE"}, {"POWER_2", "VCC_PLANE"}, {"SIGNAL_1", "TOP"}};
    model.techLayers = {{1, "TOP"}, {2, "GND_PLANE"}, {3, "VCC_PLANE"}, {4, "BOTTOM"}};
    model.planeNets = {{"GND_PLANE", "GND"}};
    model.elements = {make<Board>("'B'", 0.0, 0.0, 0, "mm"),
                      make<BoardAttribute>("'BOARD_ROUTING_OUTLINE'", "'POLY'",
                                           std::vector<double>{0, 0, 100, 0, 100, 50, 0, 50})};
    return model;
}

/// A net with one trace on `layer` from (20, 25) to (80, 25) mm, `width` mm wide.
LayoutNet* netWithTrace(const char* name, const char* layer, double width) {
    const double w = width * 100000;
    return make<LayoutNet>(
        name, "mm",
        std::vector<TraceRecord>{{layer, {2000000, 2500000, w, 8000000, 2500000, w}, "WIR"}},
        std::vector<AreaRecord>{});
}

double areaOf(const MentorElement& shape) {
    if (const MyCircle* circle = shape.asMyCircle()) {
        return k_Pi * circle->diameter * circle->diameter / 4;
    }
    const CoordinateList& p = shape.asMyArcPolygon()->points;
    std::vector<geom::Arc> edges;
    for (std::size_t i = 0; i < p.size(); i += 3) {
        const std::size_t j = (i + 3) % p.size();
        edges.emplace_back(geom::Point(p[i], p[i + 1]), geom::Point(p[j], p[j + 1]), p[i + 2]);
    }
    return std::abs(double(geom::Polygon(edges, true).GetArea()));
}

/// The copper of a plane group: its outline less its voids.
double copperOf(const std::vector<MentorElement*>& group) {
    double area = areaOf(*group.front());
    for (std::size_t i = 1; i < group.size(); ++i) {
        area -= areaOf(*group[i]);
    }
    return area;
}

const LayoutNet* netNamed(const BoardModel& model, const std::string& name) {
    for (const LayoutNet* net : model.layoutElements) {
        if (net->name == name) {
            return net;
        }
    }
    return nullptr;
}

/// A counter-clockwise loop of straight and arc edges from (x, y, height) triples.
geom::Polygon loop(const std::vector<double>& p) {
    std::vector<geom::Arc> edges;
    for (std::size_t i = 0; i < p.size(); i += 3) {
        const std::size_t j = (i + 3) % p.size();
        edges.emplace_back(geom::Point(p[i], p[i + 1]), geom::Point(p[j], p[j + 1]), p[i + 2]);
    }
    return geom::Polygon(edges, true);
}

}  // namespace

TEST(NegativePlanes, APlaneIsTheOutlineLessWhatOtherNetsDrawOnIt) {
    struct Case {
        const char* what;
        std::vector<LayoutNet*> nets;
        std::vector<MentorElement*> drawing;
        double grid;
        std::size_t shapes;  ///< outline and voids of the one group
        double copper;
    };
    const Case cases[] = {
        {"nothing on the plane: the outline", {}, {}, 0, 1, 5000},
        // Grown by 10 with round corners: 100 x 50, four 10 wide sides, four quarter circles.
        {"the outline grown by the placement grid", {}, {}, 10, 1, 5000 + 3000 + 100 * k_Pi},
        // A 60 long slot with half-circle ends of radius 1.
        {"a foreign trace cuts a slot with round ends",
         {netWithTrace("SIG", "gnd_plane", 2)},
         {},
         0,
         2,
         5000 - 120 - k_Pi},
        // 1000 times the millimetre tolerance 1e-10.
        {"a zero-width trace cuts a slot 1e-7 wide",
         {netWithTrace("SIG", "GND_PLANE", 0)},
         {},
         0,
         2,
         5000 - 60 * 1e-7 - k_Pi * 0.25e-14},
        {"the plane net's own trace cuts nothing",
         {netWithTrace("GND", "GND_PLANE", 2)},
         {},
         0,
         1,
         5000},
        {"a trace on another layer cuts nothing", {netWithTrace("SIG", "TOP", 2)}, {}, 0, 1, 5000},
        {"a board circle is a round void, a board polygon a void, a board path a slot",
         {},
         {make<MyCircle>("POWER_1", 20.0, 25.0, 10.0, 0.0, "board", "B"),
          make<MyPolygon>("power_1", "@solid", CoordinateList{40, 20, 50, 20, 50, 30, 40, 30},
                          "board", "B"),
          make<Path>("POWER_1", 2.0, "@open", CoordinateList{60, 25, 80, 25}, "board", "B"),
          make<MyCircle>("POWER_1", 90.0, 25.0, 4.0, 0.0, "component", "C")},
         0,
         4,
         5000 - 25 * k_Pi - 100 - (40 + k_Pi)},
    };
    for (const Case& c : cases) {
        BoardModel model = planeBoard();
        model.doubledPlacementGrid = c.grid;
        model.layoutElements = c.nets;
        model.elements.insert(model.elements.end(), c.drawing.begin(), c.drawing.end());
        io::CString_ostream log;
        convertNegativePlanes(model, log);
        const LayoutNet* ground = netNamed(model, "GND");
        ASSERT_NE(ground, nullptr) << c.what;
        ASSERT_EQ(ground->planeShapeGroups.size(), 1u) << c.what;
        const std::vector<MentorElement*>& group = ground->planeShapeGroups[0];
        EXPECT_EQ(group.size(), c.shapes) << c.what;
        EXPECT_NEAR(copperOf(group), c.copper, 1e-9 * 5000) << c.what;
    }
}

TEST(NegativePlanes, LogsEachLayerAndGivesAPlaneNetWithoutRoutesANet) {
    BoardModel model = planeBoard();
    model.planeNets["VCC_PLANE"] = "VCC";
    model.layoutElements = {netWithTrace("SIG", "TOP", 1), netWithTrace("VCC", "TOP", 1)};
    model.elements.push_back(make<MyCircle>("POWER_2", 50.0, 25.0, 10.0, 0.0, "board", "B"));
    ::setenv("SOURCE_DATE_EPOCH", "0", 1);
    io::CString_ostream log;
    convertNegativePlanes(model, log);
    ::unsetenv("SOURCE_DATE_EPOCH");
    const std::string t = "Thu Jan  1 00:00:00 1970";
    EXPECT_EQ(log.str(), "Converting negative layers into positive layers. Time: " + t
                             + "\n\n"
                               "Converting GND_PLANE with net name GND into positive layer at "
                             + t + "\nDone! " + t
                             + "\n"
                               "Converting VCC_PLANE with net name VCC into positive layer at "
                             + t + "\nDone! " + t
                             + "\n"
                               "Finished converting negative layers into positive layers. Time: "
                             + t + "\n\n");
    // GND had no routes: it gets a net of its own, after the routed ones. VCC keeps its
    // trace and gains the plane with its round void.
    ASSERT_EQ(model.layoutElements.size(), 3u);
    EXPECT_EQ(model.layoutElements[2]->name, "GND");
    EXPECT_TRUE(model.layoutElements[2]->traces.empty());
    ASSERT_EQ(model.layoutElements[1]->planeShapeGroups.size(), 1u);
    const std::vector<MentorElement*>& vcc = model.layoutElements[1]->planeShapeGroups[0];
    ASSERT_EQ(vcc.size(), 2u);
    ASSERT_NE(vcc[1]->asMyCircle(), nullptr);
    EXPECT_EQ(vcc[1]->asMyCircle()->diameter, 10.0);
    EXPECT_EQ(vcc[0]->asMyArcPolygon()->layer, "VCC_PLANE");
    // Layers without a cross-reference leave the stackup.
    EXPECT_EQ(model.techLayers,
              (std::map<int, std::string>{{1, "TOP"}, {2, "GND_PLANE"}, {3, "VCC_PLANE"}}));
}

TEST(NegativePlanes, AStackupOfTwoPowerLayersOnOneNetBecomesOnePlane) {
    BoardModel model = planeBoard();
    model.planeNets["VCC_PLANE"] = "GND";
    model.stackupLayers = {{"POWER_1", {"POWER_1", "POWER_2"}}};
    model.elements.push_back(make<MyCircle>("POWER_1", 20.0, 25.0, 10.0, 0.0, "board", "B"));
    model.elements.push_back(make<MyCircle>("POWER_2", 80.0, 25.0, 10.0, 0.0, "board", "B"));
    io::CString_ostream log;
    convertNegativePlanes(model, log);
    EXPECT_EQ(log.str().rfind("Grouping layers under GND_PLANE into single positive layer at ", 0),
              0u)
        << log.str();
    // The voids of both layers cut the one plane; only the key layer stays in the stackup.
    const LayoutNet* ground = netNamed(model, "GND");
    ASSERT_NE(ground, nullptr);
    ASSERT_EQ(ground->planeShapeGroups.size(), 1u);
    EXPECT_EQ(ground->planeShapeGroups[0].size(), 3u);
    EXPECT_EQ(model.techLayers, (std::map<int, std::string>{{2, "GND_PLANE"}}));
}

TEST(NegativePlanes, WithoutARoutingOutlineNothingIsConverted) {
    BoardModel model = planeBoard();
    model.elements.pop_back();
    testing_support::Recorder recorder;
    io::CString_ostream log;
    convertNegativePlanes(model, log);
    ASSERT_EQ(recorder.assertions.size(), 1u);
    EXPECT_EQ(recorder.assertions[0].source, "MentorParser");
    EXPECT_EQ(recorder.assertions[0].expression, "false");
    EXPECT_TRUE(model.layoutElements.empty());
    EXPECT_EQ(log.str(), "");
}

TEST(NegativePlanes, LayersConvertedSideBySideGiveWhatOneAfterAnotherGives) {
    const auto run = [](unsigned workers) {
        BoardModel model = planeBoard();
        model.planeNets = {{"GND_PLANE", "GND"}, {"VCC_PLANE", "VCC"}, {"TOP", "GND"}};
        model.layoutElements = {netWithTrace("SIG", "GND_PLANE", 1),
                                netWithTrace("SIG2", "VCC_PLANE", 0.5),
                                netWithTrace("SIG3", "TOP", 0)};
        model.elements.push_back(make<MyCircle>("POWER_2", 30.0, 10.0, 3.0, 0.0, "board", "B"));
        ::setenv("SOURCE_DATE_EPOCH", "0", 1);
        io::CString_ostream log;
        convertNegativePlanes(model, log, workers);
        ::unsetenv("SOURCE_DATE_EPOCH");
        std::string out = log.str();
        for (const LayoutNet* net : model.layoutElements) {
            for (const std::vector<MentorElement*>& group : net->planeShapeGroups) {
                out += net->name + ":";
                for (const MentorElement* shape : group) {
                    const CoordinateList points = shape->asMyArcPolygon()
                                                      ? shape->asMyArcPolygon()->points
                                                      : CoordinateList{shape->asMyCircle()->x};
                    for (double value : points) {
                        out += " " + std::to_string(value);
                    }
                }
                out += "\n";
            }
        }
        return out;
    };
    const std::string serial = run(1);
    EXPECT_NE(serial.find("VCC:"), std::string::npos);
    EXPECT_EQ(run(3), serial);
}

// On seeded boards of crossing traces and clearances the plane's copper is the outline's
// area less the area of the union of the holes, built here by the kernel straight from the
// shapes' definitions: the strokes (stadiums) are united and only the outer contours of the
// union's members cut the plane, so copper that crossing traces enclose goes too; the
// clearances (discs) cut as they are.
TEST(NegativePlanes, CopperIsTheOutlineLessTheUnionOfTheHolesOnGeneratedBoards) {
    for (const unsigned seed : {1u, 2u, 3u}) {
        std::mt19937_64 random(seed);
        const auto uniform = [&](double low, double high) {
            return low + (high - low) * static_cast<double>(random() >> 11) * 0x1p-53;
        };
        BoardModel model = planeBoard();
        std::vector<geom::Polygon> strokes;
        std::vector<geom::Polygon> holes;
        for (int i = 0; i < 40; ++i) {
            const double x0 = uniform(5, 95), y0 = uniform(5, 45);
            const double x1 = uniform(5, 95), y1 = uniform(5, 45);
            const double r = uniform(0.1, 1.5);
            const double length = std::hypot(x1 - x0, y1 - y0);
            const double nx = -(y1 - y0) / length * r, ny = (x1 - x0) / length * r;
            // Counter-clockwise, so each end's half circle bulges to the right: height -r.
            strokes.push_back(loop({x0 - nx, y0 - ny, 0, x1 - nx, y1 - ny, -r, x1 + nx, y1 + ny, 0,
                                    x0 + nx, y0 + ny, -r}));
            model.layoutElements.push_back(make<LayoutNet>(
                "SIG" + std::to_string(i), "mm",
                std::vector<TraceRecord>{
                    {"GND_PLANE",
                     {x0 * 1e5, y0 * 1e5, 2 * r * 1e5, x1 * 1e5, y1 * 1e5, 2 * r * 1e5},
                     "ANT"}},
                std::vector<AreaRecord>{}));
        }
        for (int i = 0; i < 30; ++i) {
            const double x = uniform(5, 95), y = uniform(5, 45), r = uniform(0.2, 2);
            holes.push_back(loop({x - r, y, -r, x + r, y, -r}));
            model.elements.push_back(make<MyCircle>("POWER_1", x, y, 2 * r, 0.0, "board", "B"));
        }
        io::CString_ostream log;
        convertNegativePlanes(model, log);
        const LayoutNet* ground = netNamed(model, "GND");
        ASSERT_NE(ground, nullptr);
        double copper = 0;
        for (const std::vector<MentorElement*>& group : ground->planeShapeGroups) {
            copper += copperOf(group);
        }
        for (const geom::PolygonWithHoles& member :
             geom::Unite_G(geom::PolygonCollection(strokes), 1e-10).GetPolygonsWithHoles()) {
            holes.push_back(member.GetPolygon());
        }
        const double holeArea =
            double(geom::Unite_G(geom::PolygonCollection(holes), 1e-10).GetArea());
        EXPECT_NEAR(copper, 5000 - holeArea, 1e-9 * 5000) << "seed " << seed;
    }
}

// Degenerate drawings on the plane or a degenerate outline: the pass ends, and whatever
// it stores is finite. Each case replaces the outline or adds one bad item.
TEST(NegativePlanes, DegenerateGeometryNeverStopsThePass) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double huge = 1e300;
    const auto outline = [](std::vector<double> points) {
        return make<BoardAttribute>("'BOARD_ROUTING_OUTLINE'", "'POLY'", std::move(points));
    };
    const auto trace = [](std::vector<double> values) {
        return make<LayoutNet>("SIG", "mm",
                               std::vector<TraceRecord>{{"GND_PLANE", std::move(values), "ANT"}},
                               std::vector<AreaRecord>{});
    };
    struct Case {
        const char* what;
        MentorElement* outline;  ///< replaces the board's, when set
        LayoutNet* net;
        MentorElement* drawing;
    };
    const Case cases[] = {
        {"zero-length segment", nullptr, trace({1e6, 1e6, 1e5, 1e6, 1e6, 1e5}), nullptr},
        {"negative width", nullptr, trace({1e6, 1e6, -1e5, 5e6, 1e6, -1e5}), nullptr},
        {"NaN coordinate", nullptr, trace({nan, 1e6, 1e5, 5e6, 1e6, 1e5}), nullptr},
        {"enormous coordinate", nullptr, trace({huge, 1e6, 1e5, 5e6, -huge, 1e5}), nullptr},
        {"NaN circle", nullptr, nullptr,
         make<MyCircle>("POWER_1", nan, 5.0, 2.0, 0.0, "board", "B")},
        {"enormous circle", nullptr, nullptr,
         make<MyCircle>("POWER_1", 5.0, 5.0, huge, 0.0, "board", "B")},
        {"point polygon", nullptr, nullptr,
         make<MyPolygon>("POWER_1", "@solid", CoordinateList{5, 5, 5, 5, 5, 5}, "board", "B")},
        {"self-crossing outline", outline({0, 0, 100, 50, 100, 0, 0, 50}), nullptr, nullptr},
        {"outline of one point", outline({3, 3}), nullptr, nullptr},
        {"open two-point outline", outline({0, 0, 100, 0}), nullptr, nullptr},
        {"NaN outline", outline({0, 0, nan, 0, 100, 50, 0, 50}), nullptr, nullptr},
    };
    for (const Case& c : cases) {
        BoardModel model = planeBoard();
        if (c.outline) {
            model.elements.back() = c.outline;
        }
        if (c.net) {
            model.layoutElements.push_back(c.net);
        }
        if (c.drawing) {
            model.elements.push_back(c.drawing);
        }
        testing_support::Recorder recorder;
        io::CString_ostream log;
        convertNegativePlanes(model, log);
        for (const LayoutNet* net : model.layoutElements) {
            for (const std::vector<MentorElement*>& group : net->planeShapeGroups) {
                EXPECT_TRUE(std::isfinite(copperOf(group))) << c.what;
            }
        }
    }
}
