#include "mentor/GatesFileReader.h"

#include <gtest/gtest.h>

#include "mentor/MentorParser.h"
#include "tests/mentor/ModelDump.h"

using model_dump::dump;

TEST(GatesFileReader, GatesAndPinSets) {
    MentorParser parser;
    readGatesText(parser,
                  "# gates of LM358\n"
                  "GATE U1A LM358 'OPAMP' 1 - IN+ 3 IN- - 2 OUT 1 (1,2,3) (\n"
                  " - 4,5) (6)\n"
                  "GATE U1B LM358 ' ' 2 A 5 B x (5,6,7)\n"
                  "PINSET PS1 LM358 2 A B [ 1 2 ] C\n"
                  "PINSET PS2 X 1 P [ Q GATE G3 T2 T3 4 (8)");
    EXPECT_EQ(dump(parser.model.elements),
              "BSGates [U1A] [LM358] ['OPAMP'] 1 {[IN+=3] [IN-=2] [OUT=1]} "
              "{[(1,2,3)] [(4,5)] [(6)]}\n"
              // The empty quoted name: its second quote is not the number. "x" reads as 0.
              "BSGates [U1B] [LM358] [] 2 {[A=5] [B=0]} {[(5,6,7)]}\n"
              "BSPinSet [PS1] [LM358] 2 {[A] [B]} {[1] [2]}\n"
              // A GATE ends the pin set before its "]".
              "BSPinSet [PS2] [X] 1 {[P]} {[Q]}\n"
              "BSGates [G3] [T2] [T3] 4 {} {[(8)]}\n");
}
