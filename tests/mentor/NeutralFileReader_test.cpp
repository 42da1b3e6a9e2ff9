#include "mentor/NeutralFileReader.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <utility>

#include "mentor/MentorParser.h"
#include "tests/mentor/ModelDump.h"

using model_dump::dump;

namespace {

std::string read(std::string_view text, MentorParser& parser) {
    readNeutralText(parser, text);
    return dump(parser.model.elements);
}

std::string read(std::string_view text) {
    MentorParser parser;
    return read(text, parser);
}

}  // namespace

TEST(NeutralFileReader, SimpleRecords) {
    MentorParser parser;
    EXPECT_EQ(read("# a comment line: BOARD 'x'\n"
                   "BOARD demo OFFSET x:1.5 y:-2 ORIENTATION 90 B_UNITS MILS\n"
                   "P_ADDP 'PANEL' 'P2' 'P3' 10 20 1 2 3\n"
                   "P_ADDP 'PANEL' 'P2' 5.5 6 7 8 9\n"
                   "B_ADDP 'TOOLING' \"HOLE A\" 100 200 1 2 3 4\n"
                   "FIXTURE F1 10 20 TOP 3 PROBE\n",
                   parser),
              "Board [demo] 1.5 -2 90 [MILS]\n"
              // The last number of a panel line is read and dropped.
              "Panel ['PANEL'] ['P2'] ['P3'] 10 20 1 2\n"
              // A third name that begins with a digit is the x value.
              "Panel ['PANEL'] ['P2'] [] 5.5 6 7 8\n"
              "BoardAddedGeometry ['TOOLING'] [\"HOLE A\"] 100 200 1 2 3 4\n"
              "TestPoints [F1] 10 20 [TOP] 3 [PROBE]\n");
    EXPECT_EQ(parser.model.unitsName, "MILS");
    EXPECT_EQ(parser.currentElement, parser.model.elements.back());
}

TEST(NeutralFileReader, BoardKeywordPositionsAreTakenWhateverTheyHold) {
    // Without OFFSET the word in its place is lost: ORIENTATION is taken as the offset
    // keyword, its value as the orientation keyword, and B_UNITS still comes third.
    EXPECT_EQ(read("BOARD b ORIENTATION 90 B_UNITS MM\n"), "Board [b] 0 0 0 [MM]\n");
    // Offsets from the third character on; a word too short for it gives 0.
    EXPECT_EQ(read("BOARD b OFFSET x y:7 ORIENTATION 180 B_UNITS INCHES\n"),
              "Board [b] 0 7 180 [INCHES]\n");
    // Offset words of another letter leave the offsets at 0.
    EXPECT_EQ(read("BOARD b OFFSET a:1 b:2 ORIENTATION 0 B_UNITS MILS\n"),
              "Board [b] 0 0 0 [MILS]\n");
}

TEST(NeutralFileReader, TenthMilsIsOneUnitsNameOfTwoWordsOnOneLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"Tenth Mils", "Tenth Mils"}, {"tenth  mils", "tenth mils"}, {"TENTH MILS", "TENTH MILS"},
        {"Tenth MILS", "Tenth MILS"},  // joined; the units table does not know this spelling
        {"Tenth\nMils", "Tenth"},      // the next line is another record's
        {"Tenth Inches", "Tenth"},    {"Mils Tenth", "Mils"},
    };
    for (const auto& [units, expected] : cases) {
        MentorParser parser;
        read(std::string("BOARD b OFFSET x:0 y:0 ORIENTATION 0 B_UNITS ") + units + "\n", parser);
        EXPECT_EQ(parser.model.unitsName, expected) << units;
    }
}

TEST(NeutralFileReader, PowerNetNamesRunOverContinuedLines) {
    EXPECT_EQ(read("B_ATTR 'POWER_NET_NAMES'   'GND', -\n"
                   "   'VCC',-  \r\n"
                   "  'VEE'  \n"
                   "HOLE H1 1 2 3 4\n"),
              // The dash goes, the blanks before it stay; each line is trimmed.
              "BoardAttribute ['POWER_NET_NAMES'] ['GND', 'VCC','VEE'] ()\n"
              "Drill [H1] 1 2 3 4\n");
    EXPECT_EQ(read("B_ATTR 'POWER_NET_NAMES' 'GND'\nB_ATTR 'X' 'Y' 1\n"),
              "BoardAttribute ['POWER_NET_NAMES'] ['GND'] ()\n"
              "BoardAttribute ['X'] ['Y'] (1)\n");
}

TEST(NeutralFileReader, AttributeNumbers) {
    MentorParser parser;
    EXPECT_EQ(read("B_ATTR 'BOARD_ROUTING_OUTLINE' 'POLY' 0 0 .5 -1 - this rest is skipped\n"
                   "  1e1 2 B_ATTR 'BOARD_PLACEMENT_GRID' '' 5 2\n"
                   "B_ATTR 'BOARD_PLACEMENT_GRID' 'none' FIXTURE F 1 2 T 3 P\n",
                   parser),
              // ".5" and "-1" count: their second character is a digit.
              "BoardAttribute ['BOARD_ROUTING_OUTLINE'] ['POLY'] (0 0 0.5 -1 10 2)\n"
              "BoardAttribute ['BOARD_PLACEMENT_GRID'] [''] (5 2)\n"
              // The word that ends the numbers is another record's keyword: it is lost.
              "BoardAttribute ['BOARD_PLACEMENT_GRID'] ['none'] ()\n");
    // Twice the first number of the grid; the grid without numbers changes nothing.
    EXPECT_EQ(parser.model.doubledPlacementGrid, 10.0);
}

TEST(NeutralFileReader, NetsWithPinsViasAndTests) {
    EXPECT_EQ(read("NET GND\n"
                   "N_PROP (VOLTAGE,\"0 V\") (KIND,\"P\") N_PROP (A,\n"
                   " \"1\")\n"
                   "N_PIN U1-7 10 20 'SIGNAL_1' 1 3\n"
                   "N_PIN J1 30 40 \"TOP LAYER\" 2\n"
                   "N_PIN R2-1-A 50 60 'SIGNAL_2' 3 x\n"
                   "N_VIA 70 80 'VIA20' 1 4\n"
                   "N_TEST PIN 10 20 'U1' '7' T1\n"
                   "N_TEST PAD 70 80 'V' 'W'\n"
                   "NET VCC\n"
                   "N_PIN U1-8 1 2 'SIGNAL_1' 1   4   \n"
                   "#\n"),
              // Blanks inside a property are lost.
              "Net [GND] {[(VOLTAGE,\"0V\")] [(KIND,\"P\")] [(A,\"1\")]}\n"
              // The trailing number makes number2 the layer number.
              "  N_PIN [U1-7] 10 20 ['SIGNAL_1'] 1 1 3 [7]\n"
              // No dash: no component and no pin name; no trailing number.
              "  N_PIN [J1] 30 40 [\"TOP LAYER\"] 2 -1 0 []\n"
              "  N_PIN [R2-1-A] 50 60 ['SIGNAL_2'] 3 -1 0 [1]\n"
              "  N_VIA 70 80 ['VIA20'] 1 4\n"
              "  N_TEST PIN 10 20 ['U1'] ['7'] [T1]\n"
              "  N_TEST 70 80 ['V'] ['W']\n"
              "Net [VCC] {}\n"
              "  N_PIN [U1-8] 1 2 ['SIGNAL_1'] 1 1 4 [8]\n");
}

TEST(NeutralFileReader, PinsByComponentInFileOrder) {
    // Many components, short and long names, pins of each spread over many nets: every
    // component lists exactly its pins with a trailing number, in file order.
    std::string text;
    std::map<std::string, std::vector<std::string>> expected;
    for (int net = 0; net < 300; ++net) {
        text += "NET N" + std::to_string(net) + "\n";
        for (int pin = 0; pin < 10; ++pin) {
            const int component = (net * 7 + pin * 131) % 1500;
            const std::string name =
                component % 3 ? "U" + std::to_string(component)
                              : "A_VERY_LONG_COMPONENT_NAME_" + std::to_string(component);
            const std::string reference = name + "-" + std::to_string(pin);
            text += "N_PIN " + reference + " 0 0 'L' 1" + (pin % 2 ? " 2\n" : "\n");
            if (pin % 2) {
                expected[name].push_back(reference);
            }
        }
    }
    MentorParser parser;
    readNeutralText(parser, text);
    std::map<std::string, std::vector<std::string>> got;
    for (const auto& [component, pins] : parser.model.pinsByComponent) {
        for (const MentorBS::NetPin* pin : pins) {
            got[component.ToNarrow()].push_back(pin->pinRef);
        }
    }
    EXPECT_EQ(got, expected);
}

TEST(NeutralFileReader, NetPropertiesRunToTheNextPinLine) {
    // Keywords between N_PROP and N_PIN are property text; the via line is lost.
    EXPECT_EQ(read("NET A N_PROP (X,\"1\") N_VIA 1 2 'V' 1 2 N_PIN P-1 0 0 'L' 1\n#"),
              "Net [A] {[(X,\"1\")N_VIA12'V'12]}\n"
              "  N_PIN [P-1] 0 0 ['L'] 1 -1 0 [1]\n");
    // Without a pin line the list takes the rest of the text, the next net included.
    EXPECT_EQ(read("NET A N_PROP (X,\"1\")\nNET B\n"), "Net [A] {[(X,\"1\")NETB]}\n");
}

TEST(NeutralFileReader, GeometryPinsAndAttributes) {
    EXPECT_EQ(read("GEOM SOIC8\n"
                   "G_PIN 1 -50 25 'PAD60' 'TOP' 90\n"
                   "G_PIN 2 -50 -25 'PAD60' 'TOP'\n"
                   "G_ATTR 'COMPONENT_PLACEMENT_OUTLINE' POLY 0 0 100 0 -\n"
                   " 100 50 0 50\n"
                   "G_PIN 3 50 -25 'PAD60' 'TOP' 180\n"
                   "G_PIN 4 50 25 'PAD60' 'TOP' 0\n"
                   "GEOM DIP2\n"
                   "G_PIN 1 0 0 'P' 'T' 5\n"),
              "Geometry [SOIC8]\n"
              "  G_PIN [1] -50 25 ['PAD60'] ['TOP'] 90\n"
              // No value on the line: the one before is repeated.
              "  G_PIN [2] -50 -25 ['PAD60'] ['TOP'] 90\n"
              // Pin 3 follows the attribute line, which takes its keyword: it is lost.
              "  G_PIN [4] 50 25 ['PAD60'] ['TOP'] 0\n"
              "  G_ATTR ['COMPONENT_PLACEMENT_OUTLINE'] [POLY] (0 0 100 0 100 50 0 50)\n"
              "Geometry [DIP2]\n"
              "  G_PIN [1] 0 0 ['P'] ['T'] 5\n");
    // An attribute needs an even count of at least 6 numbers.
    const std::pair<const char*, bool> counts[] = {
        {"0 0 1 0", false}, {"0 0 1 0 1 1 0", false}, {"1 2 3 4 5 6", true}};
    for (const auto& [numbers, kept] : counts) {
        EXPECT_EQ(
            read(std::string("GEOM G G_ATTR 'O' T ") + numbers),
            std::string("Geometry [G]\n") + (kept ? "  G_ATTR ['O'] [T] (1 2 3 4 5 6)\n" : ""))
            << numbers;
    }
}

TEST(NeutralFileReader, WordEndingGeometryAttributeNumbersIsUsedUp) {
    // Whatever word ends the numbers, the record goes on with the word after it. A comment
    // there once ended the whole record and lost the attribute after it.
    struct Case {
        const char* ender;
        const char* text;
        const char* dump;
    };
    const Case cases[] = {
        {"a comment, whose words are passed over",
         "GEOM G\n"
         "G_PIN 1 0 0 'P' 'T' 5\n"
         "G_ATTR 'A' POLY 0 0 1 0 1 1\n"
         "# second outline\n"
         "G_ATTR 'B' POLY 0 0 2 0 2 2\n",
         "Geometry [G]\n"
         "  G_PIN [1] 0 0 ['P'] ['T'] 5\n"
         "  G_ATTR ['A'] [POLY] (0 0 1 0 1 1)\n"
         "  G_ATTR ['B'] [POLY] (0 0 2 0 2 2)\n"},
        {"GEOM, which starts no geometry: what follows belongs to G",
         "GEOM G\n"
         "G_ATTR 'A' POLY 0 0 1 0 1 1\n"
         "GEOM H\n"
         "G_PIN 2 3 4 'Q' 'B' 6\n"
         "G_ATTR 'B' POLY 0 0 2 0 2 2\n",
         "Geometry [G]\n"
         "  G_PIN [2] 3 4 ['Q'] ['B'] 6\n"
         "  G_ATTR ['A'] [POLY] (0 0 1 0 1 1)\n"
         "  G_ATTR ['B'] [POLY] (0 0 2 0 2 2)\n"},
        // Pin 2 is never read, so pin 3 repeats the value of pin 1.
        {"G_PIN, whose line is passed over",
         "GEOM G\n"
         "G_PIN 1 0 0 'P' 'T' 5\n"
         "G_ATTR 'A' POLY 0 0 1 0 1 1\n"
         "G_PIN 2 3 4 'Q' 'B' 6\n"
         "G_PIN 3 7 8 'Q' 'B'\n"
         "G_ATTR 'B' POLY 0 0 2 0 2 2\n",
         "Geometry [G]\n"
         "  G_PIN [1] 0 0 ['P'] ['T'] 5\n"
         "  G_PIN [3] 7 8 ['Q'] ['B'] 5\n"
         "  G_ATTR ['A'] [POLY] (0 0 1 0 1 1)\n"
         "  G_ATTR ['B'] [POLY] (0 0 2 0 2 2)\n"},
        {"G_ATTR, whose line is passed over",
         "GEOM G\n"
         "G_ATTR 'A' POLY 0 0 1 0 1 1\n"
         "G_ATTR 'B' POLY 0 0 2 0 2 2\n"
         "G_ATTR 'C' POLY 0 0 3 0 3 3\n",
         "Geometry [G]\n"
         "  G_ATTR ['A'] [POLY] (0 0 1 0 1 1)\n"
         "  G_ATTR ['C'] [POLY] (0 0 3 0 3 3)\n"},
        {"another record's keyword, which is lost with its record",
         "GEOM G\n"
         "G_ATTR 'A' POLY 0 0 1 0 1 1\n"
         "HOLE H1 1 2 3 4\n"
         "G_ATTR 'B' POLY 0 0 2 0 2 2\n",
         "Geometry [G]\n"
         "  G_ATTR ['A'] [POLY] (0 0 1 0 1 1)\n"
         "  G_ATTR ['B'] [POLY] (0 0 2 0 2 2)\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(read(c.text), c.dump) << "ended by " << c.ender;
    }
}

TEST(NeutralFileReader, ComponentsWithAndWithoutPlacement) {
    EXPECT_EQ(read("COMP 'U1' 'LM358' 'SOIC8' 'OPAMP' 1000 2000 1 90\n"
                   "C_PROP (VALUE,\"LM358\") (TOL,\n"
                   " \"5%\")\n"
                   "C_PIN '1' 950 2025 1 1 0 'PAD60' 'A'\n"
                   "C_PIN '2' 950 1975 1 2 270 'PAD60' 'B'\n"
                   "COMP \"J 1\" 'CONN' 'HDR2' 'CONN' UNPLACED\n"
                   "C_PIN '1' 0 0 2 2 180 'PAD60' 'A'\n"
                   "COMP 'R1' 'R' 'R0603' 'RES' -5 7.5 2 0\n"
                   "#\n"),
              "Component [U1] ['LM358'] ['SOIC8'] ['OPAMP'] 1000 2000 1 90 "
              "{[(VALUE,\"LM358\")] [(TOL,\"5%\")]}\n"
              "  C_PIN ['1'] 950 2025 1 1 0 ['PAD60'] ['A']\n"
              "  C_PIN ['2'] 950 1975 1 2 270 ['PAD60'] ['B']\n"
              // A quoted name keeps its blank; the word in the placement's place is dropped.
              "Component [J 1] ['CONN'] ['HDR2'] ['CONN'] 0 0 0 0 {}\n"
              "  C_PIN ['1'] 0 0 2 2 180 ['PAD60'] ['A']\n"
              // A placement whose second character is the first digit.
              "Component [R1] ['R'] ['R0603'] ['RES'] -5 7.5 2 0 {}\n");
}

TEST(NeutralFileReader, PadsAndTheirShapes) {
    EXPECT_EQ(read("PAD PIN 'P60' Thru 35 PTH\n"
                   "P_SHAPE 'SIGNAL_1' 'PAD' RECTANGLE 60 40 CENTER 5 -5\n"
                   "P_SHAPE 'SIGNAL_2' 'PAD' CIRCLE 60\n"
                   "PAD PIN 'SMD' Surf 0 P_SHAPE 'SIGNAL_1' 'PAD' RECTANGLE 20 30\n"
                   "PAD PIN 'BL' Blind 10 SIGNAL_1 SIGNAL_2 P_SHAPE 'SIGNAL_1' 'PAD' CIRCLE 30\n"
                   "PAD PIN 'EMPTY' Blind 10 SIGNAL_1\n"
                   "PAD VIA 'V20' Thru 20 V_SHAPE 'SIGNAL_1' 'V' CIRCLE 40\n"
                   "# end\n"),
              "Pad [PIN] ['P60'] [Thru] 35 {} [PTH]\n"
              "  shape ['SIGNAL_1'] ['PAD'] [RECTANGLE] (60 40) 5 -5\n"
              "  shape ['SIGNAL_2'] ['PAD'] [CIRCLE] (60) 0 0\n"
              "Pad [PIN] ['SMD'] [Surf] 0 {} []\n"
              "  shape ['SIGNAL_1'] ['PAD'] [RECTANGLE] (20 30) 0 0\n"
              "Pad [PIN] ['BL'] [Blind] 10 {[SIGNAL_1] [SIGNAL_2]} []\n"
              "  shape ['SIGNAL_1'] ['PAD'] [CIRCLE] (30) 0 0\n"
              // The next PAD ends a pad without shapes.
              "Pad [PIN] ['EMPTY'] [Blind] 10 {[SIGNAL_1]} []\n"
              "Pad [VIA] ['V20'] [Thru] 20 {} []\n"
              "  shape ['SIGNAL_1'] ['V'] [CIRCLE] (40) 0 0\n");
    // A through pin pad without plating skips everything up to a comment, the next PAD
    // record included; the comment's words are then read as records.
    EXPECT_EQ(read("PAD PIN 'X' Thru 35 P_SHAPE 'S' 'P' CIRCLE 1\n"
                   "PAD VIA 'V' Thru 1 V_SHAPE 'S' 'P' CIRCLE 2\n"
                   "#x HOLE H 1 2 3 4\n"),
              "Pad [PIN] ['X'] [Thru] 35 {} []\n"
              "Drill [H] 1 2 3 4\n");
}

TEST(NeutralFileReader, HoleFollowedByHole) {
    EXPECT_EQ(read("HOLE H1 35 1 2\nHOLE H2 40 1 2 3.5\nHOLE H3 10 20 30 # end\n"),
              "Drill [H1] 35 1 2 0\n"
              "Drill [H2] 40 1 2 3.5\n"
              "Drill [H3] 10 20 30 0\n");
}

TEST(NeutralFileReader, CommentsEndRecordsAndTheDispatcherSkipsThem) {
    // Seen by the dispatcher, a comment hides its whole line; ending a record, it does
    // not, and its words are read as records.
    EXPECT_EQ(read("# HOLE H0 1 2 3 4\nNET A\n# HOLE H1 5 6 7 8\n"),
              "Net [A] {}\n"
              "Drill [H1] 5 6 7 8\n");
}

TEST(NeutralFileReader, MalformedStreamNumberStopsTheFile) {
    EXPECT_EQ(read("NET A\nN_VIA 1 abc 'V' 1 2\nN_VIA 3 4 'W' 1 2\nNET B\n"),
              // y fails (0) and so does everything after it; the net keeps the via.
              "Net [A] {}\n"
              "  N_VIA 1 0 [] 0 0\n");
    // A malformed number in a token converted on its own changes nothing else.
    EXPECT_EQ(read("HOLE H1 1 2 3 x4\nHOLE H2 1 2 3 4"),
              "Drill [H1] 1 2 3 0\n"
              "Drill [H2] 1 2 3 4\n");
}

TEST(NeutralFileReader, EndOfTextInsideARecordKeepsWhatWasRead) {
    EXPECT_EQ(read("NET A\nN_PIN U1-1 1 2 'open quote"),
              "Net [A] {}\n"
              "  N_PIN [U1-1] 1 2 ['open quote] 0 -1 0 [1]\n");
    EXPECT_EQ(read("GEOM G G_PIN 1 2 3 'a' 'b'"), "Geometry [G]\n  G_PIN [1] 2 3 ['a'] ['b'] 0\n");
    EXPECT_EQ(read("COMP 'C' 'a' 'b' 'c' 1 2 1 0 C_PROP (A,\"1\")"),
              "Component [C] ['a'] ['b'] ['c'] 1 2 1 0 {[(A,\"1\")]}\n");
    EXPECT_EQ(read("PAD PIN 'P' Thru 1 PTH P_SHAPE 'L' 'x' CIRCLE 5"),
              "Pad [PIN] ['P'] [Thru] 1 {} [PTH]\n  shape ['L'] ['x'] [CIRCLE] (5) 0 0\n");
    EXPECT_EQ(read("PAD PIN 'P' Blind 1 SIGNAL_1"), "Pad [PIN] ['P'] [Blind] 1 {[SIGNAL_1]} []\n");
    EXPECT_EQ(read("B_ATTR 'POWER_NET_NAMES' 'A',-"),
              "BoardAttribute ['POWER_NET_NAMES'] ['A',] ()\n");
}

TEST(NeutralFileReader, LongLinesAndBinaryGarbage) {
    // A comment line longer than the 1024-byte line buffer fails the stream there.
    EXPECT_EQ(read("HOLE H1 1 2 3 4\n# " + std::string(1 << 20, 'x') + "\nHOLE H2 1 2 3 4\n"),
              "Drill [H1] 1 2 3 4\n");
    // One just short enough is skipped whole.
    EXPECT_EQ(read("# " + std::string(1021, 'x') + "\nHOLE H2 1 2 3 4\n"), "Drill [H2] 1 2 3 4\n");

    std::mt19937 random(99);
    for (int round = 0; round < 200; ++round) {
        std::string garbage(4096, '\0');
        for (char& c : garbage) {
            c = static_cast<char>(random());
        }
        // Records with garbage inside them must not hang or crash either.
        for (const char* keyword : {"NET ", "GEOM ", "COMP ", "PAD PIN ", "B_ATTR ", "HOLE "}) {
            MentorParser parser;
            readNeutralText(parser, keyword + garbage);
        }
    }
}
