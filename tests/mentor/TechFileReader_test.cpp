#include "mentor/TechFileReader.h"

#include <gtest/gtest.h>

#include <string>

#include "corelib/Platform.h"
#include "mentor/MentorParser.h"
#include "tests/support/Recorder.h"

namespace {

constexpr const char* k_Message =
    "HYBRID and MCM design technologies with Crossover, Substrate,\n"
    " Sheet Dielectric and Resistor layers are not supported at present.\n"
    " Please contact Veltro Techincal Support for more information";

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    text.replace(text.find(from), from.size(), to);
    return text;
}

/// Reads `text`; true when the technology check refused it (and the process ended).
bool refused(const std::string& text) {
    testing_support::Recorder recorder;
    MentorParser parser;
    std::map<int, std::string> layers;
    try {
        readTechText(parser, layers, text);
    } catch (const testing_support::ProcessEnded&) {
    }
    if (recorder.messageBoxes.empty()) {
        EXPECT_TRUE(recorder.endedWith.empty());
        return false;
    }
    EXPECT_EQ(recorder.messageBoxes.size(), 1u);
    EXPECT_EQ(recorder.messageBoxes[0].text, k_Message);
    EXPECT_EQ(recorder.messageBoxes[0].caption, "Translation\tError");
    EXPECT_EQ(recorder.messageBoxes[0].style, MB_ICONERROR | MB_SETFOREGROUND);
    EXPECT_EQ(recorder.endedWith, std::vector<int>{0});
    return true;
}

}  // namespace

TEST(TechFileReader, LayersBondsRuleAndTechnology) {
    MentorParser parser;
    std::map<int, std::string> layers;
    const auto result =
        readTechText(parser, layers,
                     "// technology file\n"
                     "$$define_technology( \"PCB\");\n"
                     "$$define_rule_board( @DOUBLE_SIDED);\n"
                     "$$define_physical_layer( 1 , \"SIGNAL_1\", \"SIGNAL_1\");\n"
                     "$$define_physical_layer( 2 , \"POWER_1\", \"PAD_1\", @X);\n"
                     "$$define_physical_layer( 3 , \"SIGNAL_2\", @TOP, \"B1\");\n"
                     "$$define_physical_layer( 1 , \"DUPLICATE\", \"X\");\n"
                     "$$define_bond_layer( \"B1\" , 1, \"SIGNAL_1\");\n"
                     "$$define_bond_layer( \"B2\" , 1, \"SIGNAL_2\", \"SIGNAL_3\",@1);\n"
                     "# a hash line is read word by word: $$define_physical_layer( 9 , \"H\", "
                     "\"H\");\n"
                     "// $$define_physical_layer( 8 , \"COMMENT\", \"C\");\n");
    // Layer 1 keeps its first name; the "#" line defines layer 9, the "//" line nothing.
    const std::map<int, std::string> expected{
        {1, "SIGNAL_1"}, {2, "POWER_1"}, {3, "SIGNAL_2"}, {9, "H"}};
    EXPECT_EQ(result, expected);
    EXPECT_EQ(layers, expected);
    EXPECT_EQ(parser.model.layerNumbers, expected);
    EXPECT_EQ(parser.model.bondLayers,
              (std::vector<std::string>{"SIGNAL_1", "SIGNAL_2", "SIGNAL_3"}));
    EXPECT_TRUE(parser.model.ruleBoard);

    for (const char* rule : {"@DOUBL);", "SINGLE);", "@double);"}) {
        MentorParser other;
        std::map<int, std::string> none;
        readTechText(other, none, std::string("$$define_rule_board( ") + rule + "\n");
        EXPECT_FALSE(other.model.ruleBoard) << rule;
    }
}

TEST(TechFileReader, TechnologyCheck) {
    const std::string hybrid =
        "$$define_technology( \"MCM\");\n"
        "$$define_bond_layer( \"B1\" , 1, \"SIGNAL_1\");\n"
        "$$define_physical_layer( 1 , \"SIGNAL_1\", \"SIGNAL_1\");\n"
        "$$define_physical_layer( 2 , \"DIELECTRIC_1\", \"D\");\n"
        "$$define_physical_layer( 3 , \"PAD_1\", \"PAD_1\");\n"
        "$$define_physical_layer( 4 , \"SIGNAL_2\", \"S2\");\n"
        "$$define_physical_layer( 5 , \"PAD_2\", \"PAD_2\");\n"
        "$$define_physical_layer( 6 , \"SIGNAL_3\", \"S3\");\n";
    // Only the signal layer above PAD_1 must be bonded, and it is.
    EXPECT_FALSE(refused(hybrid));
    EXPECT_TRUE(refused(replaced(hybrid, "\"DIELECTRIC_1\"", "\"RESISTOR_1\"")));
    // A name of one character has an empty kind.
    EXPECT_TRUE(refused(replaced(hybrid, "\"DIELECTRIC_1\"", "\"X\"")));
    EXPECT_TRUE(refused(replaced(hybrid, "\"SIGNAL_1\", \"SIGNAL_1\"", "\"SIGNAL_1\", \"S1\"")));
    // On a double-sided board the signal layers below PAD_2 must be bonded too.
    EXPECT_TRUE(refused(hybrid + "$$define_rule_board( @DOUBLE);\n"));
    // "PCB" is never checked; without any technology line the check runs.
    EXPECT_FALSE(refused(
        replaced(replaced(hybrid, "\"DIELECTRIC_1\"", "\"RESISTOR_1\""), "\"MCM\"", "\"PCB\"")));
    EXPECT_TRUE(refused(replaced(replaced(hybrid, "\"DIELECTRIC_1\"", "\"RESISTOR_1\""),
                                 "$$define_technology( \"MCM\");\n", "")));
}
