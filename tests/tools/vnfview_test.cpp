#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "driver/Bs2Vnf.h"
#include "tests/support/TempDir.h"

using testing_support::TempDir;

namespace {

const std::string k_Tool = BS2VNF_BINARY_DIR "/tools/vnfview";

// The palette of docs/vnfview.md.
const char* const k_Background = "#141a20";
const char* const k_Plane = "#3ca05a";
const char* const k_TopSignal = "#d23c3c";
const char* const k_BottomSignal = "#3c6ed2";

struct ToolRun {
    int status;
    std::string err;
};

ToolRun runVnfview(const TempDir& dir, const std::string& arguments) {
    const std::string command = "'" + k_Tool + "' " + arguments + " 2>'" + dir.str() + "/err'";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, dir.read("err")};
}

/// An SVG picture rendered by rsvg-convert, with the mapping from board points to pixels
/// that its width, height and viewBox attributes give (board y is negated in the file).
class Rendering {
public:
    Rendering(const TempDir& dir, const std::string& svgName) {
        const std::string svg = dir.read(svgName);
        const std::size_t at = svg.find("width=");
        if (at == std::string::npos
            || std::sscanf(svg.c_str() + at,
                           "width=\"%d\" height=\"%d\" viewBox=\"%lf %lf %lf %lf\"", &m_pixelsX,
                           &m_pixelsY, &m_minX, &m_minY, &m_width, &m_height)
                   != 6) {
            return;
        }
        const std::string ppm = dir.str() + "/" + svgName + ".ppm";
        const std::string command =
            "rsvg-convert -f png '" + dir.str() + "/" + svgName + "' | pngtopnm >'" + ppm + "'";
        if (std::system(command.c_str()) != 0) {
            return;
        }
        std::istringstream in(testing_support::readFile(ppm));
        std::string magic;
        int width = 0, height = 0, maximum = 0;
        in >> magic >> width >> height >> maximum;
        in.get();
        if (magic != "P6" || width != m_pixelsX || height != m_pixelsY || maximum != 255) {
            return;
        }
        m_rgb.assign(std::istreambuf_iterator<char>(in), {});
        m_rgb.resize(3 * static_cast<std::size_t>(width) * height);
    }

    bool ok() const { return !m_rgb.empty(); }

    /// "#rrggbb" of the pixel under board point (x, y).
    std::string colourAt(double x, double y) const {
        const int px = static_cast<int>((x - m_minX) * m_pixelsX / m_width);
        const int py = static_cast<int>((-y - m_minY) * m_pixelsY / m_height);
        if (px < 0 || py < 0 || px >= m_pixelsX || py >= m_pixelsY) {
            return "outside the picture";
        }
        const std::size_t at = 3 * (static_cast<std::size_t>(py) * m_pixelsX + px);
        char text[8];
        std::snprintf(text, sizeof text, "#%02x%02x%02x", static_cast<unsigned char>(m_rgb[at]),
                      static_cast<unsigned char>(m_rgb[at + 1]),
                      static_cast<unsigned char>(m_rgb[at + 2]));
        return text;
    }

private:
    int m_pixelsX = 0, m_pixelsY = 0;
    double m_minX = 0, m_minY = 0, m_width = 1, m_height = 1;
    std::string m_rgb;
};

}  // namespace

// Points worked out from examples/demo (lengths in mils; the traces file counts 2540 to the
// mil): the board outline is 0..2000 x 0..1500, drawn 10 larger for the doubled placement
// grid of 5 with corners rounded at radius 10. POWER_1 is the plane of GND and POWER_2 that
// of VCC; the geometry file's board circles of diameter 40 on them are the clearances
// around other nets' vias, whose drills are 12 across.
TEST(Vnfview, DrawsTheDemosPlanesTracesAndAreas) {
    ASSERT_TRUE(std::filesystem::exists(k_Tool)) << k_Tool << " is not built";
    TempDir dir;
    std::filesystem::copy(std::filesystem::path(BS2VNF_SOURCE_DIR) / "examples/demo",
                          dir.path() / "demo");
    const std::string design = dir.str() + "/demo";
    const char* argv[] = {"bs2vnf", "nomerge", design.c_str(), "demo"};
    ASSERT_EQ(runBs2vnf(4, argv), 0);
    const ToolRun run =
        runVnfview(dir, "'" + design + "/demo_V4.vnf' '" + dir.str() + "/pictures'");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    for (const char* name : {"SIGNAL_1", "POWER_1", "POWER_2", "SIGNAL_2", "SILKSCREEN_1",
                             "COMPONENT_BODY_OUTLINE", "all"}) {
        EXPECT_TRUE(dir.exists(std::string("pictures/") + name + ".svg")) << name;
    }

    // The plane's lower right corner runs from (2000, -10) to (2010, 0) with height
    // -(10 - 10 / sqrt 2): radius 10, the small arc, counter-clockwise, which is sweep 0
    // once y points down.
    EXPECT_NE(dir.read("pictures/POWER_1.svg").find("L 2000 10A10 10 0 0 0 2010 0"),
              std::string::npos);

    struct Probe {
        const char* picture;
        double x, y;
        const char* colour;
        const char* what;
    };
    const Probe probes[] = {
        {"POWER_1", 300, 300, k_Plane, "inside the GND plane"},
        {"POWER_1", 1214, 950, k_Background, "in the clearance of VCC's via at (1200, 950)"},
        {"POWER_1", 774, 875, k_Background, "in the clearance of OUT's via at (760, 875)"},
        {"POWER_1", 879, 650, k_Plane, "beside GND's own via at (865, 650): no clearance"},
        {"POWER_2", 879, 650, k_Background, "in the clearance of GND's via on VCC's plane"},
        {"POWER_1", 865, 650, k_Background, "in the drill of GND's via"},
        {"POWER_1", 2040, 750, k_Background, "right of the outline"},
        {"POWER_1", 1000, -40, k_Background, "below the outline"},
        // Net IN: (508000, 2032000) to (1016000, 2032000), 30480 wide.
        {"SIGNAL_1", 300, 800, k_TopSignal, "on IN's trace from (200, 800) to (400, 800)"},
        {"SIGNAL_1", 300, 815, k_Background, "9 beside the edge of IN's 12 wide trace"},
        // GND's area on SIGNAL_2: 100..1900 x 100..600 with the island 900..1100 x 300..450.
        {"SIGNAL_2", 500, 350, k_BottomSignal, "inside GND's area"},
        {"SIGNAL_2", 1000, 375, k_Background, "in the area's island"},
    };
    std::map<std::string, Rendering> renderings;
    for (const Probe& probe : probes) {
        auto found = renderings.find(probe.picture);
        if (found == renderings.end()) {
            found = renderings
                        .try_emplace(probe.picture, dir,
                                     std::string("pictures/") + probe.picture + ".svg")
                        .first;
            ASSERT_TRUE(found->second.ok()) << probe.picture << " did not render";
        }
        EXPECT_EQ(found->second.colourAt(probe.x, probe.y), probe.colour)
            << probe.picture << " " << probe.what;
    }
}

// Two half discs on chord (0, 0)-(20, 0) moved 40 apart: height +10 bulges to the left of
// the direction of travel (up), -10 to the right (down). No outline, so the picture frames
// what is drawn.
TEST(Vnfview, ArcsBulgeToTheSideTheirHeightSays) {
    TempDir dir;
    dir.write("arcs.vnf", R"("VeltroNeutralFile" {
  "LayoutData" {
    "LayoutCell" {
      "Layout" {
        "Layers" {
          "StackupLayer"("L1", "Signal", "top", 0.035, "Copper")
        } "Layers"
        "LayoutNets" {
          "LayoutNet" {
            "Name" = "A"
            "Graphics"("L1", "Polygon"(1, 0.0, "vertex"(0.0, 0.0), "Arc"(10.0), "vertex"(20.0, 0.0), "vertex"(0.0, 0.0)))
            "Graphics"("L1", "Polygon"(2, 0.0, "vertex"(40.0, 0.0), "Arc"(-10.0), "vertex"(60.0, 0.0), "vertex"(40.0, 0.0)))
          } "LayoutNet"
        } "LayoutNets"
      } "Layout"
    } "LayoutCell"
  } "LayoutData"
} "VeltroNeutralFile"
)");
    const ToolRun run =
        runVnfview(dir, "--layer L1 '" + dir.str() + "/arcs.vnf' '" + dir.str() + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_FALSE(dir.exists("all.svg")) << "--layer writes that layer only";
    const Rendering picture(dir, "L1.svg");
    ASSERT_TRUE(picture.ok());
    EXPECT_EQ(picture.colourAt(10, 5), k_TopSignal);
    EXPECT_EQ(picture.colourAt(10, -5), k_Background);
    EXPECT_EQ(picture.colourAt(50, -5), k_TopSignal);
    EXPECT_EQ(picture.colourAt(50, 5), k_Background);
}

// One footprint with pin 1 at (10, 5) and a 4 x 2 pad on the first copper layer, placed
// twice: U1 on T at (100, 100) turned 90 degrees, so the pin lands at (-5, 10) + (100, 100)
// and the pad stands 2 wide and 4 tall; U2 on B at (200, 100), turned and then mirrored, so
// the pin lands at (5, 10) + (200, 100) and the pad lies on B, the other side.
TEST(Vnfview, PlacesPadsByRotationMirrorAndSide) {
    TempDir dir;
    dir.write("parts.vnf", R"("VeltroNeutralFile" {
  "PadShapes" {
    "S"("Rectangle"(4.0, 2.0))
  } "PadShapes"
  "PadStacks" {
    "P" {
      "Top"("S", 0.0, 0.0, 0.0)
    } "P"
  } "PadStacks"
  "Footprints" {
    "F" {
      "FpPins" {
        "FpPindef" {
          "FpPin"("1", 10.0, 5.0, "P", 0)
        } "FpPindef"
      } "FpPins"
    } "F"
  } "Footprints"
  "LayoutData" {
    "LayoutCell" {
      "Layout" {
        "Layers" {
          "StackupLayer"("T", "Signal", "top", 0.035, "Copper")
          "StackupLayer"("B", "Signal", "bottom", 0.035, "Copper")
        } "Layers"
        "LayoutComponents" {
          "LayoutComp" {
            "LayoutCompInst"("T", "F", "U1", 100.0, 100.0, 90.0, false)
          } "LayoutComp"
          "LayoutComp" {
            "LayoutCompInst"("B", "F", "U2", 200.0, 100.0, 90.0, true)
          } "LayoutComp"
        } "LayoutComponents"
      } "Layout"
    } "LayoutCell"
    "Design" {
      "TopLayout" {
        "PhysicalDimensions" {
          "Polygon"(1, 0.0, "vertex"(0.0, 0.0), "vertex"(300.0, 0.0), "vertex"(300.0, 200.0), "vertex"(0.0, 200.0))
        } "PhysicalDimensions"
      } "TopLayout"
    } "Design"
  } "LayoutData"
} "VeltroNeutralFile"
)");
    const ToolRun run = runVnfview(dir, "'" + dir.str() + "/parts.vnf' '" + dir.str() + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    const Rendering top(dir, "T.svg");
    const Rendering bottom(dir, "B.svg");
    ASSERT_TRUE(top.ok() && bottom.ok());
    // 1.5 above the pin: inside the standing pad, outside one left lying.
    EXPECT_EQ(top.colourAt(95, 111.5), k_TopSignal);
    EXPECT_EQ(top.colourAt(96.8, 110), k_Background);
    EXPECT_EQ(bottom.colourAt(205, 111.5), k_BottomSignal);
    EXPECT_EQ(top.colourAt(205, 110), k_Background);
    // Mirrored before the turn, the pin would land at (-5, -10) + (200, 100).
    EXPECT_EQ(bottom.colourAt(195, 90), k_Background);
}

TEST(Vnfview, SkipsWhatItCannotDrawAndFailsOnlyOnUnreadableFiles) {
    TempDir dir;
    struct Case {
        const char* name;
        const char* text;  // null: no file
        const char* arguments;
        int status;
        const char* err;  // '%' stands for the file's path
    };
    const Case cases[] = {
        {"odd.vnf",
         "\"R\" {\n  \"LayoutData\" {\n    \"LayoutCell\" {\n      \"Layout\" {\n"
         "        \"LayoutNets\" {\n          \"LayoutNet\" {\n"
         "            \"Trace\"(\"L\", \"Path\"(1, \"vertex\"(\"x\", 0.0)))\n"
         "            \"Frobnicate\"(1)\n            \"Frobnicate\"(2)\n"
         "          } \"LayoutNet\"\n        } \"LayoutNets\"\n      } \"Layout\"\n"
         "    } \"LayoutCell\"\n  } \"LayoutData\"\n} \"R\"\n",
         "", 0,
         "%: warning: skipped a Path that is no list of vertex(x, y, ...) and Arc(height)\n"
         "%: warning: skipped an unknown item in a LayoutNet (2 times)\n"},
        {"bad.vnf", "\"R\" {\n} \"S\"\n", "", 1,
         "%:2: block end \"S\" does not match block \"R\" opened on line 1\n"},
        {"missing.vnf", nullptr, "", 1, "%: cannot open\n"},
        {"empty.vnf", "\"R\" {\n} \"R\"\n", "--layer NONE", 1,
         "%: no layer \"NONE\" in the layout\n"},
    };
    for (const Case& c : cases) {
        const std::string file = dir.str() + "/" + c.name;
        if (c.text) {
            dir.write(c.name, c.text);
        }
        const ToolRun run =
            runVnfview(dir, std::string(c.arguments) + " '" + file + "' '" + dir.str() + "/out'");
        EXPECT_EQ(run.status, c.status) << c.name << " " << c.arguments;
        std::string expected = c.err;
        for (std::size_t at; (at = expected.find('%')) != std::string::npos;) {
            expected.replace(at, 1, file);
        }
        EXPECT_EQ(run.err, expected) << c.name << " " << c.arguments;
    }
}
