// The translation report that BS2VNF_REPORT asks for, on the example design and on a
// variant of it with two faults.

#include "driver/TranslationReport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "corelib/VnfSummary.h"
#include "corelib/VnfText.h"
#include "driver/Bs2Vnf.h"
#include "tests/support/Recorder.h"
#include "tests/support/TempDir.h"

using testing_support::TempDir;

namespace {

const std::filesystem::path k_Source = BS2VNF_SOURCE_DIR;

/// Translates the design in `dir` with BS2VNF_REPORT set to `report` (unset when empty).
void translate(const TempDir& dir, const std::string& report) {
    ::setenv("SOURCE_DATE_EPOCH", "86400", 1);
    if (!report.empty()) {
        ::setenv("BS2VNF_REPORT", report.c_str(), 1);
    }
    const std::string directory = dir.str();
    const char* argv[] = {"bs2vnf", "nomerge", directory.c_str(), "demo"};
    EXPECT_EQ(runBs2vnf(4, argv), 0);
    ::unsetenv("BS2VNF_REPORT");
    ::unsetenv("SOURCE_DATE_EPOCH");
}

/// The report without its phases, which alone may differ from run to run.
std::string withoutPhases(const std::string& report) {
    return report.substr(0, report.find("  \"phases\":"));
}

/// The one line of the report that starts with `key`.
std::string line(const std::string& report, const std::string& key) {
    const std::size_t start = report.find("\n" + key);
    return start == std::string::npos
               ? std::string()
               : report.substr(start + 1, report.find('\n', start + 1) - start - 1);
}

}  // namespace

TEST(TranslationReport, CountsTheExampleDesignsFilesAndOutput) {
    TempDir dir;
    std::filesystem::copy(k_Source / "examples/demo", dir.path());
    testing_support::Recorder recorder;
    translate(dir, dir.str() + "/report.json");
    const std::string report = dir.read("report.json");

    // Inputs, read from the files by hand:
    // - neutral: BOARD, 3 B_ATTR, B_ADDP, 5 NET, 3 GEOM, 6 COMP, 4 PAD, 2 HOLE, 2 FIXTURE
    //   make 27 records of one element each. The "#" line after HDR2's G_ATTR ends its
    //   numbers and "# Components" ends the GEOM, so the dispatcher meets "Components".
    // - layer: 10 layer lines. tech: 6 "$$" commands, 4 physical layer numbers.
    // - geometry: 50 records (board 14 with its 7 plane circles, SOIC8 5, R0603 5, HDR2 4,
    //   SMD_SOIC 4, SMD_0603 5, THT60 6, VIA20 4 with its terminals inside the initial,
    //   stackup 3). 35 elements: board 13, components 4 + 4 + 3, 5 more pages and one
    //   outline for 6 of the 9 pin/via layers; the other 3 are lone circles (THT60 on
    //   PAD_1 and SIGNAL_2, VIA20 on SIGNAL_2).
    // - traces: 4 XRF, TTT, then GND 6 (FIL, ISL, 3 ANT, TTI), VCC 3, IN 1, INM 3, OUT 1:
    //   19 records, 5 nets. pins: 7 PIN. gates: 7 GATE and a PINSET.
    // Output:
    // - pad shapes: per pad one pair for each shape size plus one outline per merged
    //   layer: SMD_SOIC 2 + 2, SMD_0603 2 + 2, THT60 4 + 1, VIA20 4 + 1, and the null pad.
    // - padstacks: 4 PAD records and the _XTRA twin of SMD_0603, used on both sides (R3 is
    //   on the bottom). footprints: 3 GEOM. components: 6 COMP. nets: 5 NET.
    // - traces: 12 runs (OUT's 8 segments run on layers 1, 4, 1), and 2 more pieces where
    //   a width changes (GND's second ANT, IN's ANT). vias: 5 N_VIA. test-point paths: 2
    //   TTI records with arm mask 15, two paths each.
    // - plane shapes: POWER_1 (GND) and POWER_2 (VCC). areas: GND's FIL area. voids: 3
    //   clearance circles on POWER_1; 4 on POWER_2 and the slot INM's trace cuts there;
    //   GND's island and the 2 loops of the shrunk outline minus it: 3 + 5 + 3.
    // Warnings: none. Traces lie on layers 1, 3 and 4, all defined; 3 power net names for
    // 2 power layers; the GND area shrinks by half of 25400 to a rectangle; every net pin
    // is a component pin.
    EXPECT_EQ(withoutPhases(report), R"({
  "inputs":[
    {"file":"MentorNeutralFile","records":27,"elements":27,"skipped":{"unknown keyword":1,"unpaired or too few coordinates":0}},
    {"file":"MentorLayerFile","records":10,"elements":10,"skipped":{}},
    {"file":"MentorTechFile","records":6,"elements":4,"skipped":{"unknown command":0,"duplicate layer number":0}},
    {"file":"MentorGeometryFile","records":50,"elements":35,"skipped":{"unknown keyword":0,"unknown owner kind":0,"incomplete page":0,"unused attribute":0,"too few coordinates":0,"non-conductive layer":0,"unknown shape keyword":0,"lone round pad shape":3,"empty merged outline":0}},
    {"file":"MentorTracesFile","records":19,"elements":5,"skipped":{"unknown keyword":0,"unknown layer number":0,"layer not cross-referenced":0,"too few coordinates":0,"cut-out area":0,"unfilled area":0,"island of a net without one area":0,"net open at end of file":0,"test point owned by I or F":0,"test point on no pin or via":0}},
    {"file":"MentorPinsFile","records":7,"elements":7,"skipped":{"unknown keyword":0}},
    {"file":"MentorGatesFile","records":8,"elements":8,"skipped":{"unknown keyword":0}}
  ],
  "output":{"pad_shapes":19,"padstacks":5,"footprints":3,"components":6,"nets":5,"traces":14,"vias":5,"test_point_paths":4,"plane_shapes":2,"voids":11,"areas":1},
  "warnings":{
    "undefined_trace_layers":{"count":0,"names":[]},
    "power_layers_without_net":{"count":0,"names":[]},
    "empty_shrinks":{"count":0,"names":[]},
    "net_pins_without_terminal":{"count":0,"names":[]}
  },
)");

    // The output counts are those of the file written.
    const io::VnfParseResult parsed = io::parseVnfText(dir.read("demo_V4.vnf"));
    ASSERT_NE(parsed.root, nullptr) << parsed.error;
    EXPECT_EQ(line(report, "  \"output\":"),
              "  \"output\":" + io::vnfSummaryJson(io::summarizeVnf(*parsed.root)) + ",");

    // Three phases in order, each with its time and the peak memory so far.
    const std::string phaseLine = line(report, "  \"phases\":");
    std::size_t at = 0;
    std::vector<double> peaks;
    for (const char* phase : {"read", "prepare", "write"}) {
        const std::string opening = std::string("\"") + phase + "\":{\"seconds\":";
        at = phaseLine.find(opening, at);
        ASSERT_NE(at, std::string::npos) << phaseLine;
        at = phaseLine.find(",\"peak_rss_mb\":", at);
        ASSERT_NE(at, std::string::npos) << phaseLine;
        peaks.push_back(std::strtod(phaseLine.c_str() + at + 15, nullptr));
    }
    EXPECT_GT(peaks[0], 0.0);
    EXPECT_LE(peaks[0], peaks[1]);
    EXPECT_LE(peaks[1], peaks[2]);
    EXPECT_TRUE(report.ends_with("}}\n}\n"));

    // A second run reports the same but for the phases.
    translate(dir, dir.str() + "/report.json");
    EXPECT_EQ(withoutPhases(dir.read("report.json")), withoutPhases(report));
    EXPECT_TRUE(recorder.messageBoxes.empty());
}

TEST(TranslationReport, WarnsOfAnUndefinedTraceLayerAndAPowerLayerWithoutNet) {
    TempDir dir;
    std::filesystem::copy(k_Source / "examples/demo", dir.path());
    // INM's trace on layer 3 moves to layer 7, which no file defines; one power net name
    // is left for the two power layers, so POWER_2 gets none.
    std::string traces = dir.read("MentorTracesFile");
    for (const char* point : {"SEG 1600200 1524000 3", "SEG 2032000 1524000 3"}) {
        const std::size_t at = traces.find(point);
        ASSERT_NE(at, std::string::npos);
        traces[at + std::string(point).size() - 1] = '7';
    }
    dir.write("MentorTracesFile", traces);
    std::string neutral = dir.read("MentorNeutralFile");
    const std::string names = "'GND', -\n  'VCC', -\n  'VEE'";
    ASSERT_NE(neutral.find(names), std::string::npos);
    dir.write("MentorNeutralFile", neutral.replace(neutral.find(names), names.size(), "'GND'"));

    testing_support::Recorder recorder;
    translate(dir, dir.str() + "/report.json");
    const std::string report = dir.read("report.json");
    EXPECT_TRUE(
        recorder.standardOutputText.starts_with("INM has invalid layer number. not found\n"));
    ASSERT_EQ(recorder.messageBoxes.size(), 1u);
    EXPECT_EQ(line(report, "    \"undefined_trace_layers\":"),
              R"(    "undefined_trace_layers":{"count":1,"names":["7"]},)");
    EXPECT_EQ(line(report, "    \"power_layers_without_net\":"),
              R"(    "power_layers_without_net":{"count":1,"names":["POWER_2"]},)");
    EXPECT_NE(line(report, "    {\"file\":\"MentorTracesFile\"").find("\"unknown layer number\":1"),
              std::string::npos);
}

TEST(TranslationReport, AnUnwritableReportIsOneLineAndNoVariableNoReport) {
    TempDir dir;
    std::filesystem::copy(k_Source / "examples/demo", dir.path());
    testing_support::Recorder recorder;
    const std::string path = dir.str() + "/no such directory/report.json";
    translate(dir, path);
    EXPECT_EQ(recorder.standardErrorText, "Translation report " + path + " could not be written\n");
    EXPECT_TRUE(dir.exists("demo_V4.vnf"));

    // Without the variable the run adds to the seven files and the README only the .vnf
    // and the .log.
    TempDir plain;
    std::filesystem::copy(k_Source / "examples/demo", plain.path());
    translate(plain, "");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(plain.path()),
                            std::filesystem::directory_iterator()),
              8 + 2);
}
