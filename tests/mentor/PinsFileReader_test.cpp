#include "mentor/PinsFileReader.h"

#include <gtest/gtest.h>

#include "mentor/MentorParser.h"
#include "tests/mentor/ModelDump.h"

using model_dump::dump;

TEST(PinsFileReader, PinNamesOfEachPart) {
    MentorParser parser;
    readPinsText(parser,
                 "# pins\n"
                 "PIN LM358 (1,2,3) (4, - 5)\n"
                 "PIN R1 1 2\n"
                 "# inside a record a comment is pin text\n"
                 "PIN R2 (1) (2)");
    EXPECT_EQ(dump(parser.model.elements),
              "BSPins [LM358] {[(1,2,3)] [(4,5)]}\n"
              "BSPins [R1] {[12#insidearecordacommentispintext]}\n"
              "BSPins [R2] {[(1)] [(2)]}\n");
}
