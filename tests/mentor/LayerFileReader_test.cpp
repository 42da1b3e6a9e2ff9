#include "mentor/LayerFileReader.h"

#include <gtest/gtest.h>

#include <string>

#include "mentor/MentorParser.h"
#include "tests/mentor/ModelDump.h"

using model_dump::dump;

namespace {

std::string read(std::string_view text) {
    MentorParser parser;
    readLayerText(parser, text);
    return dump(parser.model.elements);
}

}  // namespace

TEST(LayerFileReader, OneLayerPerLine) {
    EXPECT_EQ(read("# number type thickness ...\n"
                   "SIGNAL_1 1 SIGNAL 0 35 1 2 3 4 5 6 7 8 9 10 11 and more words\n"
                   "'POWER 1' 2 POWER 0 18 0 0 0 0 0 0 0 0 0 0 0\n"
                   "#SILK 9 SILKSCREEN\n"
                   "SILKSCREEN_1 0 SILKSCREEN -1 0 0 0 0 0 0 0 0 0 0 0 +12"),
              "LayerInfo [SIGNAL_1] 1 [SIGNAL] (0 35 1 2 3 4 5 6 7 8 9 10 11)\n"
              "LayerInfo ['POWER 1'] 2 [POWER] (0 18 0 0 0 0 0 0 0 0 0 0 0)\n"
              "LayerInfo [SILKSCREEN_1] 0 [SILKSCREEN] (-1 0 0 0 0 0 0 0 0 0 0 0 12)\n");
}

TEST(LayerFileReader, AMalformedNumberEndsTheFile) {
    // The layer keeps the fields before the bad one; the rest stay 0 and reading stops.
    EXPECT_EQ(read("A 1 SIGNAL 7 x5 9 0 0 0 0 0 0 0 0 0 0\nB 2 POWER 0 0 0 0 0 0 0 0 0 0 0 0 0\n"),
              "LayerInfo [A] 1 [SIGNAL] (7 0 0 0 0 0 0 0 0 0 0 0 0)\n");
    // A line short of fields takes them from the next line, up to its name.
    EXPECT_EQ(read("A 1 SIGNAL 1 2\nB 2 POWER 0 0 0 0 0 0 0 0 0 0 0 0 0\n"),
              "LayerInfo [A] 1 [SIGNAL] (1 2 0 0 0 0 0 0 0 0 0 0 0)\n");
    // A comment longer than the line buffer stops the reading there.
    EXPECT_EQ(read("# " + std::string(2000, 'c') + "\nB 2 POWER 0 0 0 0 0 0 0 0 0 0 0 0 0\n"), "");
}
