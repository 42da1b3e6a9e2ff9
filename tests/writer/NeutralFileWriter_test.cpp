#include "writer/NeutralFileWriter.h"

#include <gtest/gtest.h>

#include <string>

#include "corelib/Block.h"
#include "corelib/TokenStream.h"
#include "mentor/Arena.h"

using namespace MentorBS;

namespace {

NeutralFileWriter withElements(std::vector<MentorElement*> elements) {
    NeutralFileWriter writer;
    writer.elements = std::move(elements);
    writer.readDocumentValues();
    return writer;
}

MentorElement* board(const char* units, double x = 0, double y = 0) {
    return make<Board>("'PCB1'", x, y, 0, units);
}

MentorElement* added(int int2, int int3, double x = 100, double y = 80) {
    return make<BoardAddedGeometry>("n", "n2", x, y, 1, int2, int3, 4);
}

}  // namespace

TEST(DocumentValues, UnitsOfTheBoardGiveDefaultUnitsAndScale) {
    struct Case {
        const char* units;
        const char* expected;
        double scale;
    };
    for (const Case& c :
         {Case{"inches.", "in", 1.0}, Case{"INCHES", "m", 1.0}, Case{"mM", "m", 1.0},
          Case{"MM", "mm", 1.0}, Case{"Cm", "cm", 1.0}, Case{"mils", "mil", 1.0},
          Case{"Tenth Mils", "mil", 10.0}, Case{"", "m", 1.0}}) {
        const NeutralFileWriter writer = withElements({board(c.units)});
        EXPECT_EQ(writer.defaultUnits, c.expected) << c.units;
        EXPECT_EQ(writer.unitScale, c.scale) << c.units;
    }
}

TEST(DocumentValues, BoardNameAndOffsetComeFromTheBoard) {
    NeutralFileWriter writer = withElements({board("mm", 1.5, -2.5)});
    EXPECT_EQ(writer.boardName.wide(), L"'PCB1'") << "quotes kept as read";
    EXPECT_EQ(writer.boardOffsetX, 1.5);
    EXPECT_EQ(writer.boardOffsetY, -2.5);

    NeutralFileWriter noBoard = withElements({});
    EXPECT_EQ(noBoard.boardName.wide(), L"MentorBoard");
    EXPECT_EQ(noBoard.defaultUnits, "m");
    EXPECT_EQ(noBoard.extentX, 0.0);
}

TEST(DocumentValues, TheFirstAddedBoardPropertySetsExtentsAndScale) {
    // Tenth mils would give 10, but the integer quotient 5 / 2 = 2 replaces it.
    const NeutralFileWriter tenth = withElements({board("Tenth Mils"), added(5, 2)});
    EXPECT_EQ(tenth.unitScale, 2.0);
    EXPECT_EQ(tenth.extentX, 100.0);
    EXPECT_EQ(tenth.extentY, 80.0);

    // Only the first one counts, and the scan stops there: a later board is not read.
    const NeutralFileWriter first =
        withElements({added(9, 3, 1, 2), added(8, 1, 3, 4), board("mm")});
    EXPECT_EQ(first.unitScale, 3.0);
    EXPECT_EQ(first.extentX, 1.0);
    EXPECT_EQ(first.defaultUnits, "m");

    // Truncation toward zero, as integer division does.
    EXPECT_EQ(withElements({added(-7, 2)}).unitScale, -3.0);
    // A divisor of 0 gives no quotient: the scale the units set stays.
    EXPECT_EQ(withElements({board("Tenth Mils"), added(5, 0)}).unitScale, 10.0);
    EXPECT_EQ(withElements({board("mm"), added(5, 0)}).unitScale, 1.0);
    // The most negative integer divided by -1 does not fit 32 bits; it must not trap.
    EXPECT_EQ(withElements({added(-2147483647 - 1, -1)}).unitScale, 2147483648.0);
}

TEST(Document, RootItemsAndTopLevelBlocksInOrder) {
    NeutralFileWriter writer = withElements({board("mm")});
    io::CString_ostream log;
    const auto root = writer.buildDocument(VString(L"DATE"), log);
    ASSERT_EQ(root->name(), L"VeltroNeutralFile");
    const auto& items = root->items();
    ASSERT_EQ(items.size(), 12u);

    const auto& version = *std::get<std::shared_ptr<const io::CBlock_func>>(items[0]);
    EXPECT_EQ(version.name(), L"Version");
    ASSERT_EQ(version.arguments().size(), 2u);
    EXPECT_EQ(std::get<std::wstring>(version.arguments()[0]), L"4");
    EXPECT_EQ(std::get<std::wstring>(version.arguments()[1]), L"0");

    const auto& source = *std::get<std::shared_ptr<const io::CBlock_func>>(items[1]);
    EXPECT_EQ(source.name(), L"Source");
    ASSERT_EQ(source.arguments().size(), 3u);
    EXPECT_EQ(std::get<std::wstring>(source.arguments()[1]), L"Layout:v8.9_1.8");
    EXPECT_EQ(std::get<std::wstring>(source.arguments()[2]), L"");

    EXPECT_EQ(std::get<io::CBlock_named_value>(items[2]).name(), L"Date");
    EXPECT_EQ(std::get<io::CBlock_named_value>(items[2]).value(), L"DATE");
    EXPECT_EQ(std::get<io::CBlock_named_value>(items[3]).name(), L"DefaultUnits");
    EXPECT_EQ(std::get<io::CBlock_named_value>(items[3]).value(), L"mm");

    const wchar_t* const blocks[] = {L"PadShapes", L"PadStacks",  L"Symbols",       L"Footprints",
                                     L"Materials", L"Components", L"SchematicData", L"LayoutData"};
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(std::get<std::shared_ptr<const io::CBlock>>(items[4 + i])->name(), blocks[i]);
    }
    // Building the document logs the two construction-line messages.
    EXPECT_EQ(log.str().find("Processing construction lines. Time: "), 0u);
    EXPECT_NE(log.str().find("\n\nFinished processing construction lines. Time: "),
              std::string::npos);
}
