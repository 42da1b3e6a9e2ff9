#include "mentor/MentorBS.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "mentor/Arena.h"
#include "mentor/MentorParser.h"

using namespace MentorBS;

namespace {

// The 25 type queries in slot order, each reduced to "answered non-null".
const std::vector<std::pair<std::string, std::function<bool(const MentorElement&)>>>& queries() {
    static const std::vector<std::pair<std::string, std::function<bool(const MentorElement&)>>>
        table = {
            {"Panel", [](const MentorElement& e) { return e.asPanel() != nullptr; }},
            {"Board", [](const MentorElement& e) { return e.asBoard() != nullptr; }},
            {"BoardAttribute",
             [](const MentorElement& e) { return e.asBoardAttribute() != nullptr; }},
            {"BoardAddedGeometry",
             [](const MentorElement& e) { return e.asBoardAddedGeometry() != nullptr; }},
            {"Net", [](const MentorElement& e) { return e.asNet() != nullptr; }},
            {"Geometry", [](const MentorElement& e) { return e.asGeometry() != nullptr; }},
            {"Component", [](const MentorElement& e) { return e.asComponent() != nullptr; }},
            {"Pad", [](const MentorElement& e) { return e.asPad() != nullptr; }},
            {"Drill", [](const MentorElement& e) { return e.asDrill() != nullptr; }},
            {"TestPoints", [](const MentorElement& e) { return e.asTestPoints() != nullptr; }},
            {"LayerInfo", [](const MentorElement& e) { return e.asLayerInfo() != nullptr; }},
            {"Page", [](const MentorElement& e) { return e.asPage() != nullptr; }},
            {"MyPolygon", [](const MentorElement& e) { return e.asMyPolygon() != nullptr; }},
            {"MyArcPolygon", [](const MentorElement& e) { return e.asMyArcPolygon() != nullptr; }},
            {"Path", [](const MentorElement& e) { return e.asPath() != nullptr; }},
            {"Initial", [](const MentorElement& e) { return e.asInitial() != nullptr; }},
            {"Attribute", [](const MentorElement& e) { return e.asAttribute() != nullptr; }},
            {"LayoutNet", [](const MentorElement& e) { return e.asLayoutNet() != nullptr; }},
            {"MyCircle", [](const MentorElement& e) { return e.asMyCircle() != nullptr; }},
            {"MyText", [](const MentorElement& e) { return e.asMyText() != nullptr; }},
            {"MyVias", [](const MentorElement& e) { return e.asMyVias() != nullptr; }},
            {"BSGates", [](const MentorElement& e) { return e.asBSGates() != nullptr; }},
            {"BSPins", [](const MentorElement& e) { return e.asBSPins() != nullptr; }},
            {"BSPinSet", [](const MentorElement& e) { return e.asBSPinSet() != nullptr; }},
            {"BSSymbol", [](const MentorElement& e) { return e.asBSSymbol() != nullptr; }},
        };
    return table;
}

}  // namespace

TEST(BoardModel, EachClassAnswersExactlyItsOwnTypeQuery) {
    const int fields[13] = {};
    const std::vector<std::pair<std::string, MentorElement*>> elements = {
        {"Panel", make<Panel>("p", "p2", "p3", 1.0, 2.0, 3, 4)},
        {"Board", make<Board>("'B'", 0.0, 0.0, 0, "mm")},
        {"BoardAttribute", make<BoardAttribute>("'A'", "v", std::vector<double>{1.0})},
        {"BoardAddedGeometry", make<BoardAddedGeometry>("n", "n2", 1.0, 2.0, 1, 2, 3, 4)},
        {"Net",
         make<Net>("N", std::vector<std::string>{}, std::vector<NetPin*>{}, std::vector<NetVia*>{},
                   std::vector<NetPinTest*>{}, std::vector<NetTestPoint*>{})},
        {"Geometry", make<Geometry>("G", std::vector<GeomPin*>{}, std::vector<GeomAttribute*>{})},
        {"Component", make<Component>("U1", "p", "g", "d", 0.0, 0.0, 1, 0,
                                      std::vector<std::string>{}, std::vector<CompPin*>{})},
        {"Pad", make<Pad>("PIN", "P", "Thru", 0.5, std::vector<std::string>{}, "PTH",
                          std::vector<PadShape*>{})},
        {"Drill", make<Drill>("H", 1.0, 2.0, 3.0, 0.0)},
        {"TestPoints", make<TestPoints>("F", 0.0, 0.0, "t", 1, "u")},
        {"LayerInfo", make<LayerInfo>("SIGNAL_1", 1, "SIGNAL", fields)},
        {"Page", make<Page>(1.0, 2.0, 3.0, "mm", 4.0, 5.0, "", "", "board", "B")},
        {"MyPolygon", make<MyPolygon>("L", "s", CoordinateList{}, "board", "B")},
        {"MyArcPolygon", make<MyArcPolygon>("L", "", CoordinateList{}, "", "")},
        {"Path", make<Path>("L", 0.1, "s", CoordinateList{}, "board", "B")},
        {"Initial", make<Initial>(CoordinateList{}, "pin", "P", "PAD_1", "polygon", 0.0)},
        {"Attribute", make<Attribute>(CoordinateList{}, "board", "B")},
        {"LayoutNet", make<LayoutNet>("GND")},
        {"MyCircle", make<MyCircle>("L", 0.0, 0.0, 1.0, 0.0, "", "")},
        {"MyText", make<MyText>("L", 0.0, 0.0, 1.0, "C", 10, "T", "board", "B")},
        {"BSGates", make<BSGates>("G", "t2", "", 1, std::vector<std::pair<std::string, int>>{},
                                  std::vector<std::string>{})},
        {"BSPins", make<BSPins>("P", std::vector<std::string>{})},
        {"BSPinSet",
         make<BSPinSet>("S", "t2", 1, std::vector<std::string>{}, std::vector<std::string>{})},
        {"BSSymbol", make<BSSymbol>("S", "", "", std::vector<std::string>{},
                                    std::map<std::string, std::string>{})},
    };
    ASSERT_EQ(queries().size(), 25u);
    for (const auto& [className, element] : elements) {
        for (const auto& [queryName, answers] : queries()) {
            EXPECT_EQ(answers(*element), queryName == className)
                << className << " asked as" << queryName;
        }
    }
}

TEST(BoardModel, RecordDefaults) {
    const NetPin pin;
    EXPECT_EQ(pin.number2, -1);
    const Drill* drill = make<Drill>("H", 1.0, 2.0, 3.0, 0.0);
    EXPECT_EQ(drill->value4, 0.0);
    const LayoutNet* net = make<LayoutNet>("VCC");
    EXPECT_TRUE(net->traces.empty());
    EXPECT_TRUE(net->planeShapeGroups.empty());

    const int fields[13] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
    const LayerInfo* layer = make<LayerInfo>("SIGNAL_1", 1, "SIGNAL", fields);
    EXPECT_EQ(layer->field1, 1);
    EXPECT_EQ(layer->field2, 2);
    EXPECT_EQ(layer->field13, 13);
    EXPECT_TRUE(layer->text2.empty());
}

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
