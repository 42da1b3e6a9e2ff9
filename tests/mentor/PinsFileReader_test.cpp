#include "mentor/PinsFileReader.h"

#include <gtest/gtest.h>

#include <string>

#include "mentor/MentorParser.h"
#include "tests/mentor/ModelDump.h"
#include "tests/support/Recorder.h"
#include "tests/support/TempDir.h"

using model_dump::dump;

namespace {

std::string readPins(std::string_view text) {
    MentorParser parser;
    readPinsText(parser, text);
    return dump(parser.model.elements);
}

}  // namespace

TEST(PinsFileReader, PinNamesOfEachPart) {
    EXPECT_EQ(readPins("# pins\n"
                       "PIN LM358 (1,2,3) (4, - 5)\n"
                       "PIN R1 1 2\n"
                       "# inside a record a comment is pin text\n"
                       "PIN R2 (1) (2)"),
              "BSPins [LM358] {[(1,2,3)] [(4,5)]}\n"
              "BSPins [R1] {[12#insidearecordacommentispintext]}\n"
              "BSPins [R2] {[(1)] [(2)]}\n");
}

TEST(PinsFileReader, FileInTheDesignDirectory) {
    testing_support::TempDir directory;
    testing_support::Recorder recorder;
    MentorParser parser;
    EXPECT_THROW(readPinsFile(parser, directory.str()), testing_support::ProcessEnded);
    ASSERT_EQ(recorder.messageBoxes.size(), 1u);
    EXPECT_EQ(recorder.messageBoxes[0].text, directory.str() + "/MentorPinsFile not found");
    EXPECT_EQ(recorder.messageBoxes[0].caption, "File I/O Error");
    EXPECT_EQ(recorder.endedWith, std::vector<int>{0});

    directory.write("MentorPinsFile", "PIN P (1)\n");
    EXPECT_TRUE(readPinsFile(parser, directory.str()));
    EXPECT_EQ(dump(parser.model.elements), "BSPins [P] {[(1)]}\n");
}
