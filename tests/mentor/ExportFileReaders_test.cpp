// The export-file readers on a design directory: each opens its own file there, and the
// example design reads whole, with the structural checks that tie the files together.

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "mentor/GatesFileReader.h"
#include "mentor/LayerFileReader.h"
#include "mentor/MentorParser.h"
#include "mentor/NeutralFileReader.h"
#include "mentor/PinsFileReader.h"
#include "mentor/TechFileReader.h"
#include "mentor/TracesFileReader.h"
#include "tests/mentor/ModelDump.h"
#include "tests/support/Recorder.h"
#include "tests/support/TempDir.h"

using namespace MentorBS;
using model_dump::dump;

namespace {

/// Everything the readers have read: the element list, the layout nets and the
/// technology layers.
std::string read(const MentorParser& parser) {
    std::string out = dump(parser.model.elements) + dump(parser.model.layoutElements);
    for (const auto& [number, name] : parser.model.layerNumbers) {
        out += "layer " + std::to_string(number) + " " + name + "\n";
    }
    return out;
}

/// Reads the technology file; true when it returns the layers it stored.
bool readTech(MentorParser& parser, const std::string& directory) {
    std::map<int, std::string> layers;
    return readTechFile(parser, layers, directory) == parser.model.layerNumbers;
}

}  // namespace

TEST(ExportFileReaders, EachReadsItsFileInTheDesignDirectory) {
    struct Case {
        const char* file;
        const char* missing;  // the message box text after the directory
        bool (*read)(MentorParser&, const std::string&);
        const char* text;
        const char* got;
    };
    const Case cases[] = {
        {"MentorGatesFile", "/MentorGatesFile not found", readGatesFile, "GATE G P Q 1 (1)\n",
         "BSGates [G] [P] [Q] 1 {} {[(1)]}\n"},
        {"MentorPinsFile", "/MentorPinsFile not found", readPinsFile, "PIN P (1)\n",
         "BSPins [P] {[(1)]}\n"},
        {"MentorNeutralFile", "/MentorNeutralFile not found", readNeutralFile, "HOLE H1 1 2 3 4\n",
         "Drill [H1] 1 2 3 4\n"},
        {"MentorLayerFile", "/MentorLayerFile not found", readLayerFile,
         "PAD_1 4 PAD 0 0 0 0 0 0 0 0 0 0 0 0 0\n",
         "LayerInfo [PAD_1] 4 [PAD] (0 0 0 0 0 0 0 0 0 0 0 0 0)\n"},
        // The technology file's message has tabs between its words.
        {"MentorTechFile", "/MentorTechFile\tnot\tfound", readTech,
         "$$define_technology( \"PCB\");\n$$define_physical_layer( 7 , \"SIGNAL_7\", \"S\");\n",
         "layer 7 SIGNAL_7\n"},
        {"MentorTracesFile", "/MentorTracesFile not found", readTracesFile,
         "# NET \"A\"\nXRF 1 SIGNAL_1\nST\n", "LayoutNet [A] []\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        testing_support::TempDir directory;
        testing_support::Recorder recorder;
        MentorParser parser;
        EXPECT_THROW(c.read(parser, directory.str()), testing_support::ProcessEnded);
        ASSERT_EQ(recorder.messageBoxes.size(), 1u);
        EXPECT_EQ(recorder.messageBoxes[0].text, directory.str() + c.missing);
        EXPECT_EQ(recorder.messageBoxes[0].caption, "File I/O Error");
        EXPECT_EQ(recorder.endedWith, std::vector<int>{0});

        directory.write(c.file, c.text);
        EXPECT_TRUE(c.read(parser, directory.str()));
        EXPECT_EQ(read(parser), c.got);
        EXPECT_EQ(recorder.messageBoxes.size(), 1u);
    }
}

TEST(ExportFileReaders, TheDemoDesignReadsWholeAndConsistent) {
    const std::string demo = std::string(BS2VNF_SOURCE_DIR) + "/examples/demo";
    testing_support::Recorder recorder;
    MentorParser parser;
    std::map<int, std::string> layers;
    readGatesFile(parser, demo);
    readPinsFile(parser, demo);
    readNeutralFile(parser, demo);
    readLayerFile(parser, demo);
    const std::map<int, std::string> techLayers = readTechFile(parser, layers, demo);
    readTracesFile(parser, demo);
    // Nothing to report on a sound design.
    EXPECT_TRUE(recorder.messageBoxes.empty());
    EXPECT_TRUE(recorder.assertions.empty());
    EXPECT_EQ(recorder.standardOutputText, "");

    // The elements by kind, the first word of each element's dump. A word that ends an
    // attribute's numbers is used up, so the demo puts a comment line after every
    // attribute that a record follows.
    std::map<std::string, int> kinds;
    for (const MentorElement* element : parser.model.elements) {
        const std::string line = dump(*element);
        ++kinds[line.substr(0, line.find(' '))];
    }
    std::string counts;
    for (const auto& [kind, count] : kinds) {
        counts += kind + " " + std::to_string(count) + ", ";
    }
    EXPECT_EQ(counts,
              "BSGates 7, BSPinSet 1, BSPins 7, Board 1, BoardAddedGeometry 1, BoardAttribute 3, "
              "Component 6, Drill 2, Geometry 3, LayerInfo 10, Net 5, Pad 4, TestPoints 2, ");
    // One layout net per "# NET" header of the traces file.
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
                // Every net pin names a placed component and carries its layer span.
                EXPECT_TRUE(components.count(pin->pinRef.substr(0, pin->pinRef.find('-'))))
                    << pin->pinRef;
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
    EXPECT_EQ(
        dump(*parser.model.layoutElements[0]),
        "LayoutNet [GND] [Mils]\n"
        "  trace [ANT] [SIGNAL_1] (2197100 1968500 20320 2082800 1968500 20320 2082800 "
        "1841500 20320 2197100 1841500 20320)\n"
        "  trace [ANT] [SIGNAL_1] (2197100 1841500 20320 2197100 1752600 20320 2197100 "
        "1651000 30480)\n"
        "  trace [ANT] [SIGNAL_1] (3378200 2222500 30480 3556000 2222500 30480)\n"
        "  area [SIGNAL_2] (254000 254000 4826000 254000 4826000 1524000 254000 1524000) "
        "25400\n"
        "  area [SIGNAL_2] (2286000 762000 2794000 762000 2794000 1143000 2286000 1143000) 0");
    // The two test points sit on the vias of GND and VCC, on the bottom layer (the layer
    // of the last area read).
    ASSERT_EQ(parser.model.testPoints.size(), 2u);
    EXPECT_EQ(parser.model.testPoints[0].netName, "GND");
    EXPECT_EQ(parser.model.testPoints[0].ownerName, "null");
    EXPECT_EQ(parser.model.testPoints[0].xrfLayerNumber, 4);
    EXPECT_EQ(parser.model.testPoints[1].netName, "VCC");
    EXPECT_EQ(parser.model.testPoints[1].angle, 45.0);
}
