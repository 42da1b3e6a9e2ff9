#include "corelib/VnfSummary.h"

#include <gtest/gtest.h>

#include "corelib/VnfText.h"

namespace {

// The layout net's shapes are told apart by what a Graphics item holds and by the type the
// layout's layer list gives their layer: a marker path, a filled polygon on the signal
// layer S (an area), a circle and a polygon with voids on the plane layer P (plane shapes),
// and a polygon with voids on S. The example design, translated in tests/driver and
// tests/tools, checks the other counts.
constexpr const char* k_Document = R"("VeltroNeutralFile" {
  "LayoutData" {
    "LayoutCell" {
      "Layout" {
        "Layers" {
          "StackupLayer"("S", "Signal", "top", 1.0, "Copper")
          "StackupLayer"("P", "MetalizedSignal", "neither", 1.0, "Copper")
        } "Layers"
        "LayoutNets" {
          "LayoutNet" {
            "Name" = "N"
            "Graphics"("S", "Path"(2))
            "Graphics"("S", "Polygon"(3, 0.0))
            "Graphics"("P", "Circle"(4, 0.0, 0.0, 0.0, 1.0))
            "PolygonWithVoids" {
              "Layer" = "P"
              "Polygon"(6, 0.0)
              "voids" {
                "Circle"(7, 0.0, 0.0, 0.0, 1.0)
                "Polygon"(8, 0.0)
              } "voids"
            } "PolygonWithVoids"
            "PolygonWithVoids" {
              "Layer" = "S"
              "Polygon"(9, 0.0)
              "voids" {
                "Polygon"(10, 0.0)
              } "voids"
            } "PolygonWithVoids"
          } "LayoutNet"
        } "LayoutNets"
      } "Layout"
    } "LayoutCell"
  } "LayoutData"
} "VeltroNeutralFile"
)";

}  // namespace

TEST(VnfSummary, TellsTheLayoutNetsShapesApart) {
    const io::VnfParseResult parsed = io::parseVnfText(k_Document);
    ASSERT_NE(parsed.root, nullptr) << parsed.error;
    io::VnfSummary expected;
    expected.testPointPaths = 1;
    expected.planeShapes = 2;  // the circle and the first PolygonWithVoids
    expected.voids = 3;        // two on P, one on S
    expected.areas = 2;        // the Graphics polygon and the second PolygonWithVoids
    EXPECT_EQ(io::summarizeVnf(*parsed.root), expected);
    EXPECT_EQ(io::vnfSummaryJson(expected),
              R"({"pad_shapes":0,"padstacks":0,"footprints":0,"components":0,"nets":0,)"
              R"("traces":0,"vias":0,"test_point_paths":1,"plane_shapes":2,"voids":3,"areas":2})");
}
