#include "mentor/GeometryFileReader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "mentor/MentorParser.h"
#include "tests/mentor/ModelDump.h"
#include "tests/support/Recorder.h"
#include "tests/support/TempDir.h"

using namespace MentorBS;
using model_dump::line;

namespace {

std::string dumpShape(const MentorElement& element) {
    if (const Page* e = element.asPage()) {
        return line("Page", e->value1, e->value2, e->value3, e->unitName, e->value4, e->value5,
                    e->ownerKind, e->ownerName);
    }
    if (const MyPolygon* e = element.asMyPolygon()) {
        return line("MyPolygon", e->layer, e->style, e->points, e->ownerKind, e->ownerName);
    }
    if (const Path* e = element.asPath()) {
        return line("Path", e->layer, e->width, e->style, e->points, e->ownerKind, e->ownerName);
    }
    if (const Initial* e = element.asInitial()) {
        return line("Initial", e->points, e->ownerKind, e->ownerName, e->layer, e->shapeKind,
                    e->width);
    }
    if (const Attribute* e = element.asAttribute()) {
        return line("Attribute", e->points, e->ownerKind, e->ownerName);
    }
    if (const MyCircle* e = element.asMyCircle()) {
        return line("MyCircle", e->layer, e->x, e->y, e->diameter, e->width, e->ownerKind,
                    e->ownerName);
    }
    if (const MyText* e = element.asMyText()) {
        return line("MyText", e->layer, e->x, e->y, e->length, e->justification,
                    static_cast<double>(e->textSize), e->text, e->ownerKind, e->ownerName);
    }
    return "unexpected element";
}

/// Reads `text` for a board in `units` and dumps every element but the pages.
std::string read(const std::string& text, MentorParser& parser, const char* units = "Mils") {
    parser.model.unitsName = units;
    readGeometryText(parser, text);
    std::string out;
    for (const MentorElement* element : parser.model.elements) {
        if (!element->asPage()) {
            out += dumpShape(*element) + "\n";
        }
    }
    return out;
}

std::string read(const std::string& text, const char* units = "Mils") {
    MentorParser parser;
    return read(text, parser, units);
}

const char* const k_Page = "$$page (0.0, 0.0, 0.0, @Mils, 1.0, 1.0) ;\n";

/// A point-by-point square of side 1 drawn for a pin on `layer`.
std::string initialSquare(const std::string& layer) {
    return "$$initial([0.0, 0.0]);\n$$terminal([1.0, 0.0]);\n$$terminal([1.0, 1.0]);\n"
           "$$terminal([0.0, 1.0]);\n$$polygon( \""
           + layer + "\"), @solid);\n";
}

}  // namespace

TEST(GeometryFileReader, RecordsOfEveryKindWithTheirPageUnits) {
    MentorParser parser;
    // The component's page is in inches: its lengths are multiplied by 1000 into mils.
    EXPECT_EQ(read("/ comment $$polygon( \"X\", @s, [1.0, 2.0, 3.0, 4.0, 5.0, 6.0] );\n"
                   "not a record $$circle( \"X\", 1.0, 2.0, 3.0, 0.0);\n"
                   "$$create_board(\"demo\");\n"
                   "$$page (0.0, 0.0, 0.0, @Mils, 1.0, 1.0) ;\n"
                   "$$attribute( \"BOARD_ROUTING_OUTLINE\", [0.0, 0.0, 2000.0, 0.0, 2000.0, "
                   "1500.0] );\n"
                   "$$attribute( \"BOARD_THICKNESS\", [62.0] );\n"
                   "$$polygon( \"SILKSCREEN_1\", @solid, [50.0, 1350.0, 600.0, 1350.0, 600.0, "
                   "1450.0] );\n"
                   "$$path( \"BOARD_OUTLINE\", 10.0, @open, [0.0, 0.0, 2000.0, 0.0] );\n"
                   "$$circle( \"SILKSCREEN_1\", 100.0, 100.0, 125.0, 0.0);\n"
                   "$$text( \"SILKSCREEN_1\", \"DEMO BOARD\", 70.0, 1380.0, 50.0, @BL, 400.0, "
                   "0.0);\n"
                   "$$create_component(\"SOIC8\");\n"
                   "$$page (1.0, 2.0, 3.0, @Inches, 4.0, 5.0) ;\n"
                   "$$attribute( \"COMPONENT_PLACEMENT_OUTLINE\", [-0.17, -0.11, 0.17, 0.11]);\n"
                   "$$initial([-0.1, -0.1]);\n$$terminal([0.1, -0.1]);\n"
                   "$$terminal([0.1, 0.1]);\n$$terminal([-0.1,0.1]);\n"
                   "$$path( \"SILKSCREEN_1\", 0.005, @open);\n"
                   // A fourth number not ending the record: the third was a radius.
                   "$$circle( \"SILKSCREEN_1\", -0.08, 0.08, 0.005, 0.0) ;\n",
                   parser),
              "Attribute (0 0 2000 0 2000 1500) [board] [demo]\n"
              "MyPolygon [SILKSCREEN_1] [@solid] (50 1350 600 1350 600 1450) [board] [demo]\n"
              "Path [BOARD_OUTLINE] 10 [@open] (0 0 2000 0) [board] [demo]\n"
              "MyCircle [SILKSCREEN_1] 100 100 125 0 [board] [demo]\n"
              // 50 mils is 3.6 points, truncated.
              "MyText [SILKSCREEN_1] 70 1380 400 [L] 3 [DEMO BOARD] [board] [demo]\n"
              "Attribute (-170 -110 170 110) [component] [SOIC8]\n"
              "Path [SILKSCREEN_1] 5 [] (-100 -100 100 -100 100 100 -100 100) [component] "
              "[SOIC8]\n"
              "MyCircle [SILKSCREEN_1] -80 80 10 0 [component] [SOIC8]\n");
    // Pages are kept in order; only the first three numbers are lengths.
    ASSERT_NE(parser.model.elements[0]->asPage(), nullptr);
    EXPECT_EQ(dumpShape(*parser.model.elements[0]), "Page 0 0 0 [Mils] 1 1 [board] [demo]");
    EXPECT_EQ(dumpShape(*parser.model.elements[6]),
              "Page 1000 2000 3000 [Inches] 4 5 [component] [SOIC8]");
    EXPECT_EQ(parser.currentElement, parser.model.elements.back());
}

TEST(GeometryFileReader, ShapesThatAreTooShortOrOutOfPlaceAreDropped) {
    const std::string board = std::string("$$create_board(\"b\");\n") + k_Page;
    struct Case {
        const char* what;
        std::string text;
        const char* expected;
    };
    const Case cases[] = {
        {"a polygon needs 6 values",
         board
             + "$$polygon( \"L\", @s, [1.0, 2.0, 3.0, 4.0, 5.0] );\n"
               "$$polygon( \"L\", @s, [1.0, 2.0, 3.0, 4.0, 5.0, 6.0] );\n",
         "MyPolygon [L] [@s] (1 2 3 4 5 6) [board] [b]\n"},
        {"a path needs 4",
         board
             + "$$path( \"L\", 2.0, @open, [1.0, 2.0] );\n"
               "$$path( \"L\", @open, [1.0, 2.0, 3.0, 4.0] );\n",
         "Path [L] 0 [@open] (1 2 3 4) [board] [b]\n"},
        {"an initial shape needs 4 points",
         board
             + "$$initial([0.0, 0.0]);\n$$terminal([1.0, 0.0]);\n$$terminal([1.0, 1.0]);\n"
               "$$polygon( \"L\"), @solid);\n",
         ""},
        {"a point with a y that is no number is left out whole",
         board
             + "$$initial([0.0, 0.0]);\n$$terminal([1.0, x]);\n$$terminal([1.0, 0.0]);\n"
               "$$terminal([1.0, 1.0]);\n$$terminal([0.0, 1.0]);\n$$polygon( \"L\"), @solid);\n",
         "Initial (0 0 1 0 1 1 0 1) [board] [b] [L] [polygon] 0\n"},
        {"a coordinate of two characters ends the list",
         board + "$$polygon( \"L\", @s, [10.0, 20.0, 30.0, 40.0, 50.0, 60.0, 7, 8.0] );\n",
         "MyPolygon [L] [@s] (10 20 30 40 50 60) [board] [b]\n"},
        {"a last number before a separate bracket is its own value",
         board + "$$polygon( \"L\", @s, [10.0, 20.0, 30.0, 40.0, 50.0, 60.0 ] );\n",
         "MyPolygon [L] [@s] (10 20 30 40 50 60) [board] [b]\n"},
        {"an unknown create kind hides everything up to the next create record",
         board
             + "$$create_symbol(\"X\");\n$$polygon( \"L\", @s, [1.0, 2.0, 3.0, 4.0, 5.0, "
               "6.0] );\n$$text( \"L\", \"T\", 1.0, 2.0, 3.0, @BL, 4.0, 0.0);\n"
               "$$create_component(\"C\");\n"
               "$$polygon( \"L\", @s, [1.0, 2.0, 3.0, 4.0, 5.0, 6.0] );\n",
         "MyPolygon [L] [@s] (1 2 3 4 5 6) [component] [C]\n"},
        {"texts are drawn for boards and components only",
         "$$create_pin(\"P\");\n" + std::string(k_Page)
             + "$$text( \"PAD_1\", \"T\", 1.0, 2.0, 3.0, @BL, 4.0, 0.0);\n",
         ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(read(c.text), c.expected) << c.what;
    }
}

TEST(GeometryFileReader, PinShapesAreKeptOnConductiveLayersOnly) {
    std::string text = std::string("$$create_pin(\"P\");\n") + k_Page;
    for (const char* layer :
         {"PAD", "PAD_1", "SIGNAL_2", "POWER_1", "SILKSCREEN_1", "_PAD", "PADS", "pad_1"}) {
        text += initialSquare(layer);
    }
    // A single point-by-point shape on its layer stays as drawn.
    const std::string square = " (0 0 1 0 1 1 0 1) [pin] [P] [";
    EXPECT_EQ(read(text), "Initial" + square + "PAD] [polygon] 0\n" + "Initial" + square
                              + "PAD_1] [polygon] 0\n" + "Initial" + square
                              + "SIGNAL_2] [polygon] 0\n" + "Initial" + square
                              + "POWER_1] [polygon] 0\n");
}

TEST(GeometryFileReader, StackupLayerDefinitionsFillTheStackupMap) {
    MentorParser parser;
    read("$$create_stackup(\"S1\");\n" + std::string(k_Page)
             + "$$attribute( \"STACKUP_ID_LAYER_DEFINITION\", \"POWER_1 SIGNAL_01 SIGNAL_ "
               "POWER_2\" );\n"
               "$$create_stackup(\"S2\");\n"
               "$$attribute( \"STACKUP_ID_LAYER_DEFINITION\", \"power_3 power_4\" );\n"
               "$$attribute( \"SHORT\", \"SIGNAL_9\" );\n",
         parser);
    // Signal layers are listed first, a number is written again in plain decimal, a
    // missing one is 0; the key is the first SIGNAL layer, else the first name.
    EXPECT_EQ(parser.model.stackupLayers,
              (std::map<std::string, std::vector<std::string>>{
                  {"SIGNAL_1", {"SIGNAL_1", "SIGNAL_0", "POWER_1", "POWER_2"}},
                  {"power_3", {"power_3", "power_4"}}}));
    EXPECT_EQ(parser.model.stackupLayerNames,
              (std::set<std::string>{"POWER_1", "POWER_2", "SIGNAL_0", "SIGNAL_1", "power_3",
                                     "power_4"}));
}

TEST(GeometryFileReader, PadShapesMergePerOwnerAndLayer) {
    MentorParser parser;
    parser.model.unitsName = "Mils";
    readGeometryText(parser,
                     std::string("$$create_pin(\"P\");\n") + k_Page
                         // Alone on its layer, a circle says nothing its pad does not.
                         + "$$circle( \"PAD_1\", 0.0, 0.0, 20.0, 0.0);\n"
                           "$$circle( \"SIGNAL_1\", 0.0, 0.0, 20.0, 0.0);\n"
                           "$$polygon( \"SIGNAL_1\", @solid, [0.0, -20.0, 20.0, -20.0, 20.0, "
                           "20.0, 0.0, 20.0] );\n"
                           "$$create_via(\"V\");\n"
                         + k_Page + initialSquare("SIGNAL_2")
                         + "$$path( \"SIGNAL_1\", 2.0, @open, [0.0, 0.0, 10.0, 0.0] );\n");
    std::vector<const Initial*> merged;
    for (const MentorElement* element : parser.model.elements) {
        if (!element->asPage()) {
            ASSERT_NE(element->asInitial(), nullptr) << dumpShape(*element);
            merged.push_back(element->asInitial());
        }
    }
    ASSERT_EQ(merged.size(), 3u);

    // The circle of radius 10 becomes a regular 18-gon (20 degree steps) with vertices at
    // 0, 20, ..., 340 degrees; the rectangle x in [0, 20], y in [-20, 20] covers its right
    // half. The union is the rectangle (800) plus the left half of the 18-gon
    // (9 * 100 * sin 20 / 2 = 153.909...), bounded by the 4 corners, the 9 vertices at 100
    // to 260 degrees and the 2 points where the edges 80-100 and 260-280 meet x = 0.
    const Initial& pin = *merged[0];
    EXPECT_EQ(line("", pin.ownerKind, pin.ownerName, pin.layer, pin.shapeKind, pin.width),
              " [pin] [P] [SIGNAL_1] [polygon] 0");
    ASSERT_EQ(pin.points.size(), 30u);
    double twiceArea = 0;
    for (std::size_t i = 0; i < pin.points.size(); i += 2) {
        const std::size_t j = (i + 2) % pin.points.size();
        twiceArea += pin.points[i] * pin.points[j + 1] - pin.points[j] * pin.points[i + 1];
    }
    EXPECT_NEAR(std::abs(twiceArea) / 2, 800 + 450 * std::sin(20 * M_PI / 180), 1e-6);

    // A single point-by-point shape is kept as it was drawn.
    EXPECT_EQ(dumpShape(*merged[1]), "Initial (0 0 1 0 1 1 0 1) [via] [V] [SIGNAL_2] [polygon] 0");
    // A path is stroked at its width; the outline keeps the vertices of the stroke, its
    // two half-circle caps become chords.
    ASSERT_EQ(merged[2]->points.size(), 8u);
    std::set<std::pair<double, double>> corners;
    for (std::size_t i = 0; i < 8; i += 2) {
        corners.emplace(merged[2]->points[i], merged[2]->points[i + 1]);
    }
    EXPECT_EQ(corners, (std::set<std::pair<double, double>>{{0, -1}, {0, 1}, {10, -1}, {10, 1}}));
}

TEST(GeometryFileReader, BothSpellingsOfCreateAndPageRecordsReadAlike) {
    // CAM tools write no blank after "(" and "," and add ", @replace" to create records.
    const std::string body =
        "$$polygon( \"SILKSCREEN_1\", @solid, [1.0, 2.0, 3.0, 4.0, 5.0, 6.0] );\n";
    const std::string spaced =
        "$$create_component(\"R0603\");\n"
        "$$page (0.0, 0.0, 0.0, @mils, 0.0, 0.0) ;\n"
        + body;
    const std::string packed =
        "$$create_component(\"R0603\", @replace);\n"
        "$$page(0.0,0.0,0.0, @mils, 0.0, 0.0, [0.0, 0.0, 'CO$R0603']);\n"
        + body;
    // The board is in inches, so a page whose unit was lost would leave the lengths as
    // they are.
    const char* const expected =
        "MyPolygon [SILKSCREEN_1] [@solid] (0.001 0.002 0.003 0.004 0.005 0.006) [component] "
        "[R0603]\n";
    EXPECT_EQ(read(spaced, "Inches"), expected);
    EXPECT_EQ(read(packed, "Inches"), expected);
}

TEST(GeometryFileReader, AMissingFileEndsTheRun) {
    testing_support::TempDir directory;
    testing_support::Recorder recorder;
    MentorParser parser;
    EXPECT_THROW(readGeometryFile(parser, directory.str()), testing_support::ProcessEnded);
    ASSERT_EQ(recorder.messageBoxes.size(), 1u);
    EXPECT_EQ(recorder.messageBoxes[0].text, directory.str() + "/MentorGeometryFile not found");
    EXPECT_EQ(recorder.messageBoxes[0].caption, "File I/O Error");
    EXPECT_EQ(recorder.endedWith, std::vector<int>{0});
}
