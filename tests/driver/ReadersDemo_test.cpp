// The export readers on the example design, in the order of a translation run, with the
// structural checks that tie the files together.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>

#include "mentor/GatesFileReader.h"
#include "mentor/LayerFileReader.h"
#include "mentor/MentorParser.h"
#include "mentor/NeutralFileReader.h"
#include "mentor/PinsFileReader.h"
#include "mentor/TechFileReader.h"
#include "mentor/TracesFileReader.h"
#include "tests/mentor/ModelDump.h"
#include "tests/support/Recorder.h"

using namespace MentorBS;

namespace {

const std::string k_Demo = std::string(BS2VNF_SOURCE_DIR) + "/examples/demo";

template <typename Count>
std::size_t countOf(const MentorParser& parser, Count isOfKind) {
    return static_cast<std::size_t>(
        std::count_if(parser.model.elements.begin(), parser.model.elements.end(),
                      [&](const MentorElement* element) { return isOfKind(*element); }));
}

}  // namespace

TEST(ReadersDemo, ExampleDesignReadsWholeAndConsistent) {
    testing_support::Recorder recorder;
    MentorParser parser;
    std::map<int, std::string> techLayers;
    readGatesFile(parser, k_Demo);
    readPinsFile(parser, k_Demo);
    readNeutralFile(parser, k_Demo);
    readLayerFile(parser, k_Demo);
    techLayers = readTechFile(parser, techLayers, k_Demo);
    readTracesFile(parser, k_Demo);

    // Nothing to report on a sound design.
    EXPECT_TRUE(recorder.messageBoxes.empty());
    EXPECT_TRUE(recorder.assertions.empty());
    EXPECT_EQ(recorder.standardOutputText, "");

    // Counts of the records in each file.
    EXPECT_EQ(countOf(parser, [](auto& e) { return e.asBSGates() != nullptr; }), 5u);
    EXPECT_EQ(countOf(parser, [](auto& e) { return e.asBSPinSet() != nullptr; }), 1u);
    EXPECT_EQ(countOf(parser, [](auto& e) { return e.asBSPins() != nullptr; }), 4u);
    EXPECT_EQ(countOf(parser, [](auto& e) { return e.asBoardAttribute() != nullptr; }), 3u);
    EXPECT_EQ(countOf(parser, [](auto& e) { return e.asNet() != nullptr; }), 5u);
    EXPECT_EQ(countOf(parser, [](auto& e) { return e.asGeometry() != nullptr; }), 3u);
    EXPECT_EQ(countOf(parser, [](auto& e) { return e.asComponent() != nullptr; }), 5u);
    EXPECT_EQ(countOf(parser, [](auto& e) { return e.asPad() != nullptr; }), 4u);
    EXPECT_EQ(countOf(parser, [](auto& e) { return e.asDrill() != nullptr; }), 2u);
    EXPECT_EQ(countOf(parser, [](auto& e) { return e.asTestPoints() != nullptr; }), 2u);
    EXPECT_EQ(countOf(parser, [](auto& e) { return e.asLayerInfo() != nullptr; }), 9u);
    EXPECT_EQ(parser.model.layoutElements.size(), 5u);

    const std::map<int, std::string> stackup{
        {1, "SIGNAL_1"}, {2, "POWER_1"}, {3, "POWER_2"}, {4, "SIGNAL_2"}};
    EXPECT_EQ(techLayers, stackup);
    EXPECT_TRUE(parser.model.ruleBoard);
    EXPECT_EQ(parser.model.unitsName, "Mils");
    // BOARD_PLACEMENT_GRID 5 5.
    EXPECT_EQ(parser.model.doubledPlacementGrid, 10.0);

    std::set<std::string> pads;
    std::set<std::string> components;
    std::set<std::string> layerKeys;
    for (const MentorElement* element : parser.model.elements) {
        if (const BoardAttribute* attribute = element->asBoardAttribute();
            attribute && attribute->name == "'POWER_NET_NAMES'") {
            EXPECT_EQ(attribute->value, "'GND', 'VCC', 'VEE'");
        }
        if (const Pad* pad = element->asPad()) {
            pads.insert(pad->name);
        }
        if (const Component* component = element->asComponent()) {
            components.insert(component->name);
        }
        if (const LayerInfo* layer = element->asLayerInfo()) {
            layerKeys.insert(layer->name);
        }
    }
    for (const MentorElement* element : parser.model.elements) {
        if (const Net* net = element->asNet()) {
            for (const NetVia* via : net->vias) {
                EXPECT_TRUE(pads.count(via->padName)) << via->padName;
                EXPECT_TRUE(stackup.count(via->value1) && stackup.count(via->value2));
            }
            for (const NetPin* pin : net->pins) {
                const std::string component = pin->pinRef.substr(0, pin->pinRef.find('-'));
                EXPECT_TRUE(components.count("'" + component + "'") || components.count(component))
                    << pin->pinRef;
                // Every net pin carries its layer span.
                EXPECT_TRUE(stackup.count(pin->number2) && stackup.count(pin->trailingNumber));
            }
        }
        if (const Component* component = element->asComponent()) {
            for (const CompPin* pin : component->pins) {
                EXPECT_TRUE(pads.count(pin->text1)) << pin->text1;
            }
        }
    }
    // Every XRF name is a layer of the layer file and maps to a physical layer.
    for (const auto& [number, name] : parser.model.layerNumberToXrf) {
        EXPECT_TRUE(layerKeys.count(name)) << name;
        EXPECT_EQ(parser.model.xrfToLayerName.at(name), stackup.at(number));
    }

    // The ground net: its pour keeps its island; its traces, one of which widens.
    const LayoutNet* ground = parser.model.layoutElements[0]->asLayoutNet();
    ASSERT_TRUE(ground);
    EXPECT_EQ(
        model_dump::dump(*ground),
        "LayoutNet [GND] [Mils]\n"
        "  trace [ANT] [SIGNAL_1] (2197100 1968500 20320 2082800 1968500 20320 2082800 "
        "1841500 20320 2197100 1841500 20320)\n"
        "  trace [ANT] [SIGNAL_1] (2197100 1841500 20320 2197100 1752600 20320 2197100 "
        "1651000 30480)\n"
        "  trace [ANT] [SIGNAL_1] (3378200 2222500 30480 3556000 2222500 30480)\n"
        "  area [SIGNAL_2] (254000 254000 4826000 254000 4826000 1524000 254000 1524000) "
        "25400\n"
        "  area [SIGNAL_2] (2286000 762000 2794000 762000 2794000 1143000 2286000 1143000) 0");
    // The output net leaves the top layer through a via and comes back: three traces.
    const LayoutNet* output = parser.model.layoutElements[4]->asLayoutNet();
    ASSERT_TRUE(output);
    ASSERT_EQ(output->traces.size(), 3u);
    EXPECT_EQ(output->traces[0].layer, "SIGNAL_1");
    EXPECT_EQ(output->traces[1].layer, "SIGNAL_2");
    EXPECT_EQ(output->traces[2].layer, "SIGNAL_1");

    // The two test points sit on the vias of GND and VCC, on the bottom layer (the layer
    // of the last area read).
    ASSERT_EQ(parser.model.testPoints.size(), 2u);
    EXPECT_EQ(parser.model.testPoints[0].netName, "GND");
    EXPECT_EQ(parser.model.testPoints[0].ownerName, "null");
    EXPECT_EQ(parser.model.testPoints[0].xrfLayerNumber, 4);
    EXPECT_EQ(parser.model.testPoints[1].netName, "VCC");
    EXPECT_EQ(parser.model.testPoints[1].angle, 45.0);
}
