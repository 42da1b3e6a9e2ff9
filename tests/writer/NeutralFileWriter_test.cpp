#include "writer/NeutralFileWriter.h"

#include <gtest/gtest.h>

#include <string>

#include "corelib/TokenStream.h"
#include "mentor/Arena.h"
#include "mentor/MentorParser.h"
#include "mentor/NeutralFileReader.h"
#include "tests/support/BlockJson.h"
#include "writer/DocumentContext.h"

using namespace MentorBS;

namespace {

BoardModel modelOf(std::vector<MentorElement*> elements) {
    BoardModel model;
    model.elements = std::move(elements);
    return model;
}

MentorElement* board(const char* units, double x = 0, double y = 0) {
    return make<Board>("'PCB1'", x, y, 0, units);
}

MentorElement* added(int int2, int int3, double x = 100, double y = 80) {
    return make<BoardAddedGeometry>("n", "n2", x, y, 1, int2, int3, 4);
}

}  // namespace

TEST(DocumentContext, UnitsOfTheBoardGiveDefaultUnitsAndScale) {
    struct Case {
        const char* units;
        const char* expected;
        double scale;
    };
    for (const Case& c :
         {Case{"inches.", "in", 1.0}, Case{"INCHES", "m", 1.0}, Case{"mM", "m", 1.0},
          Case{"MM", "mm", 1.0}, Case{"Cm", "cm", 1.0}, Case{"mils", "mil", 1.0},
          Case{"Tenth Mils", "mil", 10.0}, Case{"", "m", 1.0}}) {
        const DocumentContext context(modelOf({board(c.units)}), false);
        EXPECT_EQ(context.defaultUnits, c.expected) << c.units;
        EXPECT_EQ(context.unitScale, c.scale) << c.units;
    }
}

TEST(DocumentContext, ABoardInTenthMilsIsWrittenInMilsScaledByTen) {
    MentorParser parser;
    readNeutralText(parser, "BOARD b OFFSET x:0 y:0 ORIENTATION 0 B_UNITS Tenth Mils\n");
    const DocumentContext context(parser.takeModel(), false);
    EXPECT_EQ(context.defaultUnits, "mil");
    EXPECT_EQ(context.unitScale, 10.0);
}

TEST(DocumentContext, BoardNameAndOffsetComeFromTheBoard) {
    const DocumentContext context(modelOf({board("mm", 1.5, -2.5)}), true);
    EXPECT_EQ(context.boardName.wide(), L"'PCB1'") << "quotes kept as read";
    EXPECT_EQ(context.boardOffsetX, 1.5);
    EXPECT_EQ(context.boardOffsetY, -2.5);
    EXPECT_TRUE(context.mergePlanes);

    const DocumentContext noBoard(modelOf({}), false);
    EXPECT_EQ(noBoard.boardName.wide(), L"MentorBoard");
    EXPECT_EQ(noBoard.defaultUnits, "m");
    EXPECT_EQ(noBoard.extentX, 0.0);
}

TEST(DocumentContext, TheFirstAddedBoardPropertySetsExtentsAndScale) {
    // Tenth mils would give 10, but the integer quotient 5 / 2 = 2 replaces it.
    const DocumentContext tenth(modelOf({board("Tenth Mils"), added(5, 2)}), false);
    EXPECT_EQ(tenth.unitScale, 2.0);
    EXPECT_EQ(tenth.extentX, 100.0);
    EXPECT_EQ(tenth.extentY, 80.0);

    // Only the first one counts, and the scan stops there: a later board is not read.
    const DocumentContext first(modelOf({added(9, 3, 1, 2), added(8, 1, 3, 4), board("mm")}),
                                false);
    EXPECT_EQ(first.unitScale, 3.0);
    EXPECT_EQ(first.extentX, 1.0);
    EXPECT_EQ(first.defaultUnits, "m");

    const auto scaleOf = [](std::vector<MentorElement*> elements) {
        return DocumentContext(modelOf(std::move(elements)), false).unitScale;
    };
    // Truncation toward zero, as integer division does.
    EXPECT_EQ(scaleOf({added(-7, 2)}), -3.0);
    // A divisor of 0 gives no quotient: the scale the units set stays.
    EXPECT_EQ(scaleOf({board("Tenth Mils"), added(5, 0)}), 10.0);
    EXPECT_EQ(scaleOf({board("mm"), added(5, 0)}), 1.0);
    // The most negative integer divided by -1 does not fit 32 bits; it must not trap.
    EXPECT_EQ(scaleOf({added(-2147483647 - 1, -1)}), 2147483648.0);
}

// A board alone: the pad shapes hold only the null pad, the components only the board.
TEST(Document, HeaderItemsThenTheTopLevelBlocksInOrder) {
    io::CString_ostream log;
    const std::string json = testing_support::blockJson(
        modelOf({board("mm")}), [&log](const BoardModel& model, DocumentContext& context) {
            return buildDocument(model, context, VString(L"DATE"), log);
        });
    EXPECT_EQ(json, R"({"block":"VeltroNeutralFile","items":[
  {"func":"Version","args":[{"string":"4"},{"string":"0"}]},
  {"func":"Source","args":[{"string":"MentorBoard"},{"string":"Layout:v8.9_1.8"},{"string":""}]},
  {"named":"Date","value":"DATE"},
  {"named":"DefaultUnits","value":"mm"},
  {"block":"PadShapes","items":[
    {"func":"'NULLPAD'","args":[{"func":"Circle","args":[{"double":0}]}]}
  ]},
  {"block":"PadStacks","items":[]},
  {"block":"Symbols","items":[]},
  {"block":"Footprints","items":[]},
  {"block":"Materials","items":[]},
  {"block":"Components","items":[
    {"block":"'PCB1'","items":[
      {"func":"CompDef","args":[{"string":""},{"string":"'PCB1'"},{"string":""},{"string":"U"},{"int":1},{"string":"'PCB1'"}]}
    ]}
  ]},
  {"block":"SchematicData","items":[]},
  {"block":"LayoutData","items":[
    {"block":"LayoutCell","items":[
      {"named":"CellName","value":"'PCB1'"},
      {"block":"Netlist","items":[]},
      {"block":"Layout","items":[
        {"named":"DefaultUnits","value":"mm"},
        {"block":"Layers","items":[]},
        {"block":"LayoutPorts","items":[]},
        {"block":"LayoutComponents","items":[]},
        {"block":"LayoutNets","items":[]},
        {"block":"Graphics","items":[]}
      ]}
    ]},
    {"block":"Design","items":[
      {"named":"Name","value":"'PCB1'"},
      {"block":"TopLayout","items":[
        {"block":"Layers","items":[]},
        {"block":"PhysicalDimensions","items":[]}
      ]},
      {"block":"Instances","items":[]}
    ]}
  ]}
]}
)");
    // Building the document logs the two construction-line messages.
    EXPECT_EQ(log.str().find("Processing construction lines. Time: "), 0u);
    EXPECT_NE(log.str().find("\n\nFinished processing construction lines. Time: "),
              std::string::npos);
}
