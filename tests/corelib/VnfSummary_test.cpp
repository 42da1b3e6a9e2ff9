#include "corelib/VnfSummary.h"

#include <gtest/gtest.h>

#include "corelib/VnfText.h"

namespace {

// A layout net with one object of each kind the counts tell apart: a marker path and a
// filled polygon (both Graphics), a circle and a polygon with voids on the plane layer P,
// a polygon with voids on the signal layer S. Items outside the places counted (the
// footprint's Graphics, a Trace in a footprint) count nothing.
constexpr const char* k_Document = R"("VeltroNeutralFile" {
  "PadShapes" {
    "a"("Circle"(1.0))
    "'NULLPAD'"("Circle"(0.0))
  } "PadShapes"
  "PadStacks" {
    "a" {
    } "a"
    "a_XTRA" {
    } "a_XTRA"
  } "PadStacks"
  "Footprints" {
    "f" {
      "FpGraphics" {
        "Graphics"("S", "Polygon"(0, 0.0))
        "Trace"("S")
      } "FpGraphics"
    } "f"
  } "Footprints"
  "LayoutData" {
    "LayoutCell" {
      "Netlist" {
        "Compinst" {
        } "Compinst"
        "Net" {
        } "Net"
        "Net" {
        } "Net"
      } "Netlist"
      "Layout" {
        "Layers" {
          "StackupLayer"("S", "Signal", "top", 1.0, "Copper")
          "StackupLayer"("P", "MetalizedSignal", "neither", 1.0, "Copper")
        } "Layers"
        "LayoutComponents" {
          "LayoutComp" {
          } "LayoutComp"
        } "LayoutComponents"
        "LayoutNets" {
          "LayoutNet" {
            "Name" = "N"
            "Trace"("S", "Path"(1))
            "Trace"("S", "Path"(2))
            "Graphics"("S", "Path"(3))
            "Graphics"("S", "Polygon"(4, 0.0))
            "Graphics"("P", "Circle"(5, 0.0, 0.0, 0.0, 1.0))
            "Via"(6, "S", "S", 0.0, 0.0, "a", 0.0)
            "PolygonWithVoids" {
              "Layer" = "P"
              "Polygon"(7, 0.0)
              "voids" {
                "Circle"(8, 0.0, 0.0, 0.0, 1.0)
                "Polygon"(9, 0.0)
              } "voids"
            } "PolygonWithVoids"
            "PolygonWithVoids" {
              "Layer" = "S"
              "Polygon"(10, 0.0)
              "voids" {
                "Polygon"(11, 0.0)
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

TEST(VnfSummary, CountsEachKindWhereTheDocumentPutsIt) {
    const io::VnfParseResult parsed = io::parseVnfText(k_Document);
    ASSERT_NE(parsed.root, nullptr) << parsed.error;
    io::VnfSummary expected;
    expected.padShapes = 2;   // "a" and the null pad
    expected.padStacks = 2;   // "a" and its "_XTRA" twin
    expected.footprints = 1;  // "f"
    expected.components = 1;  // the LayoutComp; the netlist's Compinst is no second one
    expected.nets = 2;        // the netlist's Net blocks
    expected.traces = 2;      // the layout net's, not the footprint's
    expected.vias = 1;
    expected.testPointPaths = 1;  // Graphics holding a Path
    expected.planeShapes = 2;     // the circle and the first PolygonWithVoids, on P
    expected.voids = 3;           // two on P, one on S
    expected.areas = 2;           // the Graphics polygon and the PolygonWithVoids on S
    EXPECT_EQ(io::summarizeVnf(*parsed.root), expected);
    EXPECT_EQ(io::vnfSummaryJson(expected),
              R"({"pad_shapes":2,"padstacks":2,"footprints":1,"components":1,"nets":2,)"
              R"("traces":2,"vias":1,"test_point_paths":1,"plane_shapes":2,"voids":3,"areas":2})");

    // An empty document and one of another root: nothing is counted.
    const io::VnfParseResult empty = io::parseVnfText("\"Other\" {\n} \"Other\"\n");
    ASSERT_NE(empty.root, nullptr);
    EXPECT_EQ(io::summarizeVnf(*empty.root), io::VnfSummary());
}
