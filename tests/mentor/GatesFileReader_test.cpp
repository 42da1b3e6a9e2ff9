#include "mentor/GatesFileReader.h"

#include <gtest/gtest.h>

#include <string>

#include "mentor/MentorParser.h"
#include "tests/mentor/ModelDump.h"
#include "tests/support/Recorder.h"
#include "tests/support/TempDir.h"

using model_dump::dump;

namespace {

std::string readGates(std::string_view text) {
    MentorParser parser;
    readGatesText(parser, text);
    return dump(parser.model.elements);
}

}  // namespace

TEST(GatesFileReader, GatesAndPinSets) {
    EXPECT_EQ(readGates("# gates of LM358\n"
                        "GATE U1A LM358 'OPAMP' 1 - IN+ 3 IN- - 2 OUT 1 (1,2,3) (\n"
                        " - 4,5) (6)\n"
                        "GATE U1B LM358 ' ' 2 A 5 B x (5,6,7)\n"
                        "PINSET PS1 LM358 2 A B [ 1 2 ] C\n"
                        "PINSET PS2 X 1 P [ Q GATE G3 T2 T3 4 (8)"),
              "BSGates [U1A] [LM358] ['OPAMP'] 1 {[IN+=3] [IN-=2] [OUT=1]} "
              "{[(1,2,3)] [(4,5)] [(6)]}\n"
              // The empty quoted name: its second quote is not the number. "x" reads as 0.
              "BSGates [U1B] [LM358] [] 2 {[A=5] [B=0]} {[(5,6,7)]}\n"
              "BSPinSet [PS1] [LM358] 2 {[A] [B]} {[1] [2]}\n"
              // A GATE ends the pin set before its "]".
              "BSPinSet [PS2] [X] 1 {[P]} {[Q]}\n"
              "BSGates [G3] [T2] [T3] 4 {} {[(8)]}\n");
}

TEST(GatesFileReader, FileInTheDesignDirectory) {
    testing_support::TempDir directory;
    testing_support::Recorder recorder;
    MentorParser parser;
    EXPECT_THROW(readGatesFile(parser, directory.str()), testing_support::ProcessEnded);
    ASSERT_EQ(recorder.messageBoxes.size(), 1u);
    EXPECT_EQ(recorder.messageBoxes[0].text, directory.str() + "/MentorGatesFile not found");
    EXPECT_EQ(recorder.messageBoxes[0].caption, "File I/O Error");
    EXPECT_EQ(recorder.endedWith, std::vector<int>{0});

    directory.write("MentorGatesFile", "GATE G P Q 1 (1)\n");
    EXPECT_TRUE(readGatesFile(parser, directory.str()));
    EXPECT_EQ(dump(parser.model.elements), "BSGates [G] [P] [Q] 1 {} {[(1)]}\n");
}
