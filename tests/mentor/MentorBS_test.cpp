#include "mentor/MentorBS.h"

#include <gtest/gtest.h>

#include <vector>

#include "mentor/Arena.h"
#include "mentor/MentorParser.h"

using namespace MentorBS;

TEST(BoardModel, ParserTracksTheCurrentElementAndHandsTheModelOverWhole) {
    MentorParser parser;
    MentorElement* board = make<Board>("'B'", 0.0, 0.0, 0, "mm");
    parser.addElement(board);
    EXPECT_EQ(parser.currentElement, board);
    parser.model.unitsName = "mm";
    parser.model.planeNets["POWER_1"] = "VCC";

    const BoardModel model = parser.takeModel();
    EXPECT_EQ(model.elements, std::vector<MentorElement*>{board});
    EXPECT_EQ(model.unitsName, "mm");
    EXPECT_EQ(model.planeNets.at("POWER_1"), "VCC");
    EXPECT_TRUE(parser.model.elements.empty());
    EXPECT_TRUE(parser.model.planeNets.empty());
}
