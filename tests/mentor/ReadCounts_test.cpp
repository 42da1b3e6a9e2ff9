// What the readers count for the translation report: records read, elements made and
// parts skipped by reason. Each case's text meets every reason of its reader once (the
// example design's counts, those of the pins and gates files included, are checked in
// tests/driver/TranslationReport_test.cpp).

#include "mentor/ReadCounts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "mentor/GeometryFileReader.h"
#include "mentor/MentorParser.h"
#include "mentor/NeutralFileReader.h"
#include "mentor/TechFileReader.h"
#include "mentor/TracesFileReader.h"
#include "tests/support/Recorder.h"

using namespace MentorBS;

TEST(ReadCounts, EachReaderCountsWhereItMakesOrSkips) {
    using enum SkipReason;
    const auto tech = [](MentorParser& parser, std::string_view text) {
        std::map<int, std::string> layers;
        readTechText(parser, layers, text);
    };
    struct Case {
        const char* name;
        std::function<void(MentorParser&, std::string_view)> read;
        FileCounts ReadCounts::*file;
        const char* text;
        std::int64_t records;
        std::int64_t elements;
        std::vector<SkipReason> skippedOnce;  // every other reason 0
    };
    const Case cases[] = {
        // FOO is no keyword; the NET ends at "#" and the G_ATTR has four numbers.
        {"neutral",
         readNeutralText,
         &ReadCounts::neutral,
         "FOO\nNET N\n#\nGEOM G\nG_ATTR 'A' POLY 1 2 3 4\n",
         2,
         2,
         {UnknownKeyword, UnpairedCoordinates}},
        // Four commands; layer 1 is defined twice, so the table holds one layer.
        {"tech",
         tech,
         &ReadCounts::tech,
         "$$define_technology( \"PCB\");\n"
         "$$define_physical_layer( 1 , \"SIGNAL_1\", \"SIGNAL_1\");\n"
         "$$define_physical_layer( 1 , \"SIGNAL_2\", \"SIGNAL_2\");\n"
         "$$define_layer_set( x);\n",
         4,
         1,
         {UnknownCommand, DuplicateLayerNumber}},
        // Twelve records (the "$$arc" closes the initial shape; the record inside the
        // "other" object is skipped with it). The board's page is the only element: the
        // pin's copper circle is alone on its layer, and its polygon of three equal
        // points on PAD_2 unites to nothing.
        {"geometry",
         readGeometryText,
         &ReadCounts::geometry,
         "$$create_board(\"b\");\n"
         "$$page (0.0, 0.0, 0.0, @Mils, 1.0, 1.0) ;\n"
         "$$polygon( \"S\", @solid, [0.0, 0.0, 1.0, 1.0] );\n"
         "$$attribute( \"OTHER\", 1.0);\n"
         "$$lock_windows( x);\n"
         "$$create_pin(\"P\");\n"
         "$$page (0.0, 0.0, 0.0, @Mils, x) ;\n"
         "$$initial([0.0, 0.0]);\n$$arc( x);\n"
         "$$polygon( \"PAD_2\", @solid, [0.0, 0.0, 0.0, 0.0, 0.0, 0.0] );\n"
         "$$circle( \"SILKSCREEN_1\", 0.0, 0.0, 10.0, 0.0);\n"
         "$$circle( \"PAD_1\", 0.0, 0.0, 10.0, 0.0);\n"
         "$$create_other(\"x\");\n"
         "$$circle( \"PAD_1\", 0.0, 0.0, 10.0, 0.0);\n",
         12,
         1,
         {UnknownKeyword, UnknownOwnerKind, IncompletePage, UnusedAttribute, TooFewCoordinates,
          NonConductiveLayer, UnknownShapeKeyword, LoneRoundPad, EmptyMergedOutline}},
        // Nine records; net N (completed at the NET header) is the one element, with no
        // area for its island, and net M is still open at the end. Layer 9 is undefined,
        // layer 2 has no XRF record, the ANT run has one point.
        {"traces",
         readTracesText,
         &ReadCounts::traces,
         "FOO\nXRF 1 SIGNAL_1\n"
         "WIR 2\nSEG 0 0 9 10\nSEG 1 1 9 10\n"
         "ANT 1\nSEG 0 0 1 10\n"
         "ANT 2\nSEG 0 0 2 10\nSEG 1 1 2 10\n"
         "FIL \"N\" \"SIGNAL_1\" POLY 0 0 0 0 0 0\n"
         "ARS \"N\" \"SIGNAL_1\" CUTOUT 0\n"
         "ISL 0\nTTI 5 5 I1\nTTI 5 5 1 0 1 1 15\n# NET \"M\"\n",
         9,
         1,
         {UnknownKeyword, UnknownLayerNumber, LayerNotCrossReferenced, TooFewCoordinates,
          CutoutArea, UnfilledArea, DiscardedIsland, NetOpenAtEnd, TestPointOwnedByIOrF,
          TestPointOnNoPinOrVia}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testing_support::Recorder recorder;
        MentorParser parser;
        parser.model.layerNumbers = {{1, "SIGNAL_1"}, {2, "SIGNAL_2"}};
        c.read(parser, c.text);
        const FileCounts& counts = parser.model.readCounts.*c.file;
        EXPECT_EQ(counts.records, c.records);
        EXPECT_EQ(counts.elements, c.elements);
        for (std::size_t r = 0; r < static_cast<std::size_t>(Count); ++r) {
            const auto reason = static_cast<SkipReason>(r);
            const bool once = std::find(c.skippedOnce.begin(), c.skippedOnce.end(), reason)
                              != c.skippedOnce.end();
            EXPECT_EQ(counts.skippedFor(reason), once ? 1 : 0) << skipReasonText(reason);
        }
        if (c.file == &ReadCounts::traces) {
            EXPECT_EQ(parser.model.readCounts.undefinedTraceLayers.names,
                      std::vector<std::string>{"9"});
        }
    }
}
