#include "mentor/TracesFileReader.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>

#include "mentor/MentorParser.h"
#include "mentor/NeutralFileReader.h"
#include "tests/mentor/ModelDump.h"
#include "tests/support/Recorder.h"

using model_dump::dump;

namespace {

/// A parser as the earlier readers leave it: technology layers 1 to 3.
void setUpLayers(MentorParser& parser) {
    parser.model.layerNumbers = {{1, "TOP"}, {2, "BOTTOM"}, {3, "PLANE"}};
    parser.model.unitsName = "MILS";
}

std::string read(std::string_view text, MentorParser& parser) {
    readTracesText(parser, text);
    return dump(parser.model.layoutElements);
}

std::string dump(const MentorBS::TestPointRecord& r) {
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, "[%s] %d %g %g %g %g %g %d [%s] [%s] %d",
                  r.ownerName.c_str(), r.index, r.x, r.y, r.angle, r.armX, r.armY, r.armMask,
                  r.layerName.c_str(), r.netName.c_str(), r.xrfLayerNumber);
    return buffer;
}

}  // namespace

TEST(TracesFileReader, TracesRunPerLayer) {
    testing_support::Recorder recorder;
    MentorParser parser;
    setUpLayers(parser);
    EXPECT_EQ(read("XRF 1 SIGNAL_1\n"
                   "XRF 2 SIGNAL_2\n"
                   "# UNITS MILS\n"
                   "# NET \"GND\"\n"
                   "ANT 3\n"
                   "SEG 0 0 1 100\n"
                   "SEG 10 0 1 100\n"
                   "SEG 10 10 2 200\n"
                   "WIR 2 anything\n"
                   "SEG 0 0 1 x\n"
                   "SEG 5 5 1 -3 more words\n"
                   "INC 2\n"
                   "NOT A SEGMENT LINE\n"
                   "SEG 1 1 9 1\n"
                   "SEG 2 2 9 1\n"
                   "ANT 2\n"
                   "SEG 0 0 3 10\n"
                   "SEG 1 1 3 10\n"
                   "ANT 5\n"
                   "SEG 0 0 1 1\n"
                   "SEG 1 0 1 1\n"
                   "SEG 1 1 2 1\n"
                   "SEG 2 1 2 1\n"
                   "SEG 2 2 1 1\n"
                   "# NET \"VCC\"\n"
                   "ANT 2\nSEG 0 0 1 1\nSEG 1 1 1 1\n",
                   parser),
              "LayoutNet [GND] [MILS]\n"
              // Two points on layer 1; the single point on layer 2 draws nothing.
              "  trace [ANT] [TOP] (0 0 100 10 0 100)\n"
              // A width that is no integer is 0.
              "  trace [WIR] [TOP] (0 0 0 5 5 -3)\n"
              // Back on layer 1 after layer 2: a new run of one point, so no trace.
              "  trace [ANT] [TOP] (0 0 1 1 0 1)\n"
              "  trace [ANT] [BOTTOM] (1 1 1 2 1 1)\n");
    // Layer 9 is no technology layer; layer 3 is one, but no XRF record names it.
    EXPECT_EQ(recorder.standardOutputText, "GND has invalid layer number. not found\n");
    ASSERT_EQ(recorder.assertions.size(), 1u);
    EXPECT_EQ(recorder.assertions[0].source, "MentorParser");
    EXPECT_EQ(recorder.assertions[0].expression, "false");
    // VCC is still open when the file ends: it is not stored.
    EXPECT_EQ(parser.currentElement, parser.model.layoutElements.back());
}

TEST(TracesFileReader, AreasAndIslands) {
    MentorParser parser;
    setUpLayers(parser);
    EXPECT_EQ(read("# NET \"A\"\n"
                   "ARS \"A\" \"SIGNAL_1\" POLY 3\n"
                   "VER 0 0\n"
                   "junk VER 10 0\n"
                   "VER 10 10\n"
                   "ISL 3\n"
                   "VER 1 1 VER 2 1 VER 2 2\n"
                   "# NET \"B\"\n"
                   "FIL \"B\" \"SIGNAL_1\" POLY 3 1 0 0 0 5\n"
                   "VER 0 0 VER 1 0 VER 1 1\n"
                   "ARS \"B\" \"SIGNAL_2\" POLY 3\n"
                   "VER 0 0 VER 2 0 VER 2 2\n"
                   "ISS 3\n"
                   "VER 0 0 VER 1 0 VER 1 1\n"
                   "FIL \"C\" \"SIGNAL_1\" POLY 3 0 0 0 0 7\n"
                   "VER 0 0 VER 1 0 VER 1 1\n"
                   "ARS \"C\" \"SIGNAL_1\" CUTOUT 3\n"
                   "VER 0 0 VER 1 0 VER 1 1\n"
                   "ARS \"C\" \"SIGNAL_1\" POLY 3\n"
                   "VER 5 5 VER 6 5 VER 6 6\n"
                   "ST\n",
                   parser),
              // One area keeps its island, after it in the list.
              "LayoutNet [A] []\n"
              "  area [SIGNAL_1] (0 0 10 0 10 10) 0\n"
              "  area [SIGNAL_1] (1 1 2 1 2 2) 0\n"
              // Two areas lose theirs; the ARS area takes the width of the last FIL.
              "LayoutNet [B] []\n"
              "  area [SIGNAL_1] (0 0 1 0 1 1) 5\n"
              "  area [SIGNAL_2] (0 0 2 0 2 2) 5\n"
              // The FIL with fill flag 0 and the CUTOUT are dropped; the FIL's width stays.
              "LayoutNet [C] []\n"
              "  area [SIGNAL_1] (5 5 6 5 6 6) 7\n");
}

TEST(TracesFileReader, NetsAndTheirLimits) {
    MentorParser parser;
    setUpLayers(parser);
    const std::string segments = "ANT 2\nSEG 0 0 1 1\nSEG 1 1 1 1\n";
    EXPECT_EQ(read("XRF 1 SIGNAL_1\n" + segments + "# NET \"NAME WITH  BLANKS\"\n" + segments
                       + "# NET 'EMPTY'\n# NET \"LAST\"\n" + segments,
                   parser),
              // The trace before the first header joins the first net that is stored;
              // EMPTY has no record, so the next header does not end it.
              "LayoutNet [NAME WITH  BLANKS] []\n"
              "  trace [ANT] [TOP] (0 0 1 1 1 1)\n"
              "  trace [ANT] [TOP] (0 0 1 1 1 1)\n");
}

TEST(TracesFileReader, CrossReferenceAndTestPoints) {
    MentorParser parser;
    setUpLayers(parser);
    readNeutralText(parser,
                    "NET GND\n"
                    "N_PIN U1-1 100 200 'SIGNAL_1' 1\n"
                    "N_PIN U1-2 100 200 'SIGNAL_2' 2\n"
                    "N_VIA 300 400 'VIA' 1 2\n"
                    "NET GND\n"
                    "N_PIN U9-3 100.000001 200 'SIGNAL_1' 1\n"
                    "NET OTHER\n"
                    "N_PIN U2-1 100 200 'SIGNAL_1' 1\n");
    readTracesText(parser,
                   "# UNITS Inches\n"
                   "XRF 1 SIGNAL_1\n"
                   "XRF 2 SIGNAL_2\n"
                   "XRF 3 SIGNAL_1\n"
                   "XRF 7 UNKNOWN\n"
                   "TTT 1 0.01 2 3 4.5\n"
                   "# NET \"GND\"\n"
                   "ARS \"GND\" \"SIGNAL_1\" POLY 0\n"
                   "TTI 0.1 0.2 5 45 0.02 0.03 15\n"
                   "TTI 0.3 0.4 6 0 0.01 0.01 1\n"
                   "TTI 0.3 0.4 I9 x\n"
                   "TTI 0.5 0.5 7 0 0 0 1\n"
                   "ST\n");
    // Layer 3 is a technology layer too, but SIGNAL_1 keeps its first layer; layer 7 is
    // no technology layer.
    EXPECT_EQ(parser.model.xrfToLayerName,
              (std::map<std::string, std::string>{{"SIGNAL_1", "TOP"}, {"SIGNAL_2", "BOTTOM"}}));
    EXPECT_EQ(parser.model.layerNumberToXrf,
              (std::map<int, std::string>{
                  {1, "SIGNAL_1"}, {2, "SIGNAL_2"}, {3, "SIGNAL_1"}, {7, "UNKNOWN"}}));
    // Inches to mils: 1000.
    ASSERT_EQ(parser.model.testPointTypes.size(), 1u);
    EXPECT_EQ(parser.model.testPointTypes[1].lineWidth, 10.0);
    EXPECT_EQ(parser.model.testPointTypes[1].int1, 2);
    EXPECT_EQ(parser.model.testPointTypes[1].int2, 3);
    EXPECT_EQ(parser.model.testPointTypes[1].value, 4.5);

    std::vector<std::string> got;
    for (const auto& record : parser.model.testPoints) {
        got.push_back(dump(record));
    }
    EXPECT_EQ(got, (std::vector<std::string>{
                       // The pins of both GND nets on layer 1 at (100, 200); U1-2 is on
                       // layer 2 and the net OTHER is not searched.
                       "[1] 5 100 200 45 20 30 15 [SIGNAL_1] [GND] 1",
                       "[3] 5 100 200 45 20 30 15 [SIGNAL_1] [GND] 1",
                       // No pin at (300, 400): the via, on both layers named SIGNAL_1.
                       "[null] 6 300 400 0 10 10 1 [SIGNAL_1] [GND] 1",
                       "[null] 6 300 400 0 10 10 1 [SIGNAL_1] [GND] 3",
                   }));
}

TEST(TracesFileReader, BadInputEndsTheReadingCleanly) {
    const auto timed = [](const std::string& text) {
        MentorParser parser;
        setUpLayers(parser);
        const auto start = std::chrono::steady_clock::now();
        readTracesText(parser, text);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        return dump(parser.model.layoutElements);
    };
    // Counts far beyond the data: the records take the rest of the text, and the net
    // they are in is still open at its end.
    EXPECT_EQ(timed("XRF 1 S\n# NET \"A\"\nANT 2147483647\nSEG 0 0 1 1\nSEG 1 1 1 1\nST\n"), "");
    EXPECT_EQ(timed("# NET \"A\"\nARS \"A\" \"S\" POLY 2147483647\nVER 0 0\nST\n"), "");
    EXPECT_EQ(timed("# NET \"A\"\nISL 2147483647\nVER 0 0\n# NET \"B\"\n"), "");
    // A malformed number fails the stream: the open net is lost, the one before stays.
    EXPECT_EQ(timed("# NET \"A\"\nARS \"A\" \"S\" P 1\nVER 1 2\n# NET \"B\"\n"
                    "ARS \"B\" \"S\" P 1\nVER 1 y\nST\n"),
              "LayoutNet [A] []\n  area [S] (1 2) 0\n");
    // An unterminated quoted net name runs to the end.
    EXPECT_EQ(timed("XRF 1 S\n# NET \"A\nXRF 2 T\nST\n"), "");

    std::mt19937 random(5);
    for (int round = 0; round < 200; ++round) {
        std::string garbage(4096, '\0');
        for (char& c : garbage) {
            c = static_cast<char>(random());
        }
        for (const char* start : {"ANT 3 ", "ARS \"A\" \"S\" P 4 ", "ISL 2 ", "TTI ", "# NET "}) {
            timed(start + garbage);
        }
    }
}
