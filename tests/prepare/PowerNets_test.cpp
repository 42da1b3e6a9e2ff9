#include "prepare/PowerNets.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "corelib/TokenStream.h"
#include "mentor/Arena.h"
#include "tests/support/Recorder.h"

using namespace MentorBS;

namespace {

struct Layer {
    int number;
    const char* name;
    const char* xrfName;  ///< "" for a layer without a cross-reference
};

struct Case {
    const char* what;
    const char* netNames;  ///< the attribute's value; nullptr for no attribute
    std::vector<Layer> layers;
    std::map<std::string, std::string> expectedNets;
    int expectedMessages;
    const char* expectedLog;
};

}  // namespace

TEST(PowerNets, PlaneLayersTakeTheNetTheirXrfNumberNames) {
    const char* const tooFew =
        "The number of power/ground nets is less than the number of power/ground layers";
    const Case cases[] = {
        {"POWER_n takes the n-th name",
         "'VCC', 'GND'",
         {{1, "P1", "POWER_2"}, {2, "P2", "POWER_1"}},
         {{"P1", "GND"}, {"P2", "VCC"}},
         0,
         "Physical Layer P1 is mapped to power net GND\n"
         "Physical Layer P2 is mapped to power net VCC\n\n"},
        {"a number past the list takes the last name",
         "'VCC', 'GND'",
         {{1, "P5", "POWER_5"}},
         {{"P5", "GND"}},
         0,
         "Physical Layer P5 is mapped to power net GND\n\n"},
        // Counted per power layer, whatever its number: the second one finds no name left.
        {"one name for two power layers",
         "'GND'",
         {{1, "A", "POWER_1"}, {3, "SIG", "SIGNAL_1"}, {4, "B", "POWER_2"}},
         {{"A", "GND"}},
         1,
         "Physical Layer A is mapped to power net GND\n\n"},
        {"no POWER group, no cross-reference, no number",
         "'GND'",
         {{1, "X", "POWERPLANE_1"}, {2, "Y", ""}, {3, "Z", "POWER_TOP"}, {4, "W", "_POWER_1"}},
         {},
         0,
         "\n"},
        {"blanks inside the value are dropped",
         "'GND', 'V CC', 'VEE'",
         {{2, "POWER_1", "POWER_3"}, {3, "POWER_2", "POWER_2"}},
         {{"POWER_1", "VEE"}, {"POWER_2", "VCC"}},
         0,
         "Physical Layer POWER_1 is mapped to power net VEE\n"
         "Physical Layer POWER_2 is mapped to power net VCC\n\n"},
        {"without the attribute nothing is mapped or logged",
         nullptr,
         {{1, "A", "POWER_1"}},
         {},
         0,
         ""},
    };
    for (const Case& c : cases) {
        BoardModel model;
        model.elements.push_back(make<BoardAttribute>("'OTHER'", "'X'", std::vector<double>{}));
        if (c.netNames) {
            model.elements.push_back(
                make<BoardAttribute>("'POWER_NET_NAMES'", c.netNames, std::vector<double>{}));
        }
        for (const Layer& layer : c.layers) {
            model.layerNumbers[layer.number] = layer.name;
            if (*layer.xrfName) {
                model.xrfToLayerName[layer.xrfName] = layer.name;
            }
        }
        testing_support::Recorder recorder;
        io::CString_ostream log;
        mapPowerNets(model, log);
        EXPECT_EQ(model.planeNets, c.expectedNets) << c.what;
        EXPECT_EQ(log.str(), c.expectedLog) << c.what;
        ASSERT_EQ(recorder.messageBoxes.size(), static_cast<std::size_t>(c.expectedMessages))
            << c.what;
        for (const auto& box : recorder.messageBoxes) {
            EXPECT_EQ(box.text, tooFew);
            EXPECT_EQ(box.caption, "File I/O Error");
        }
    }
}
