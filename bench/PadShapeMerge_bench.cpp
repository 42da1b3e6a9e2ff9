// Cost of the pad-shape merge at the end of a geometry file's read, and how it grows with
// the number of pins. For 10,000 and 100,000 pins, each with a circle, a rectangle and a
// path on PAD_1 (merged into one outline) and a circle alone on SIGNAL_2 (dropped), the
// text is written in memory and read with readGeometryText, best of three runs (every
// text in turn in each run) with the model dropped between them. The same shapes drawn
// for components instead of pins are read in the same run as the baseline: components
// are never merged, so the difference is the merge. Prints one JSON line per count and
// kind, then the growth from 10,000 to 100,000 pins; a merge that grows linearly gives
// about 10. Times are the process's CPU time, not wall time: the machine may be shared
// with other builds.

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <random>
#include <string>

#include "mentor/Arena.h"
#include "mentor/GeometryFileReader.h"
#include "mentor/MentorParser.h"

namespace {

constexpr int k_Runs = 3;

/// A length with two decimals from `low` up to `low + span`.
std::string length(std::mt19937_64& random, double low, double span) {
    char text[32];
    const double value = low + span * static_cast<double>(random() % 10000) / 10000.0;
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

/// The geometry text of `count` owners of kind `kind` ("pin" or "component"), each with
/// the same four shapes around its origin, their sizes varied a little.
std::string geometryText(const char* kind, int count) {
    std::mt19937_64 random(20240611);
    std::string text = "$$create_board(\"bench\");\n$$page (0.0, 0.0, 0.0, @Mils, 1.0, 1.0) ;\n";
    for (int owner = 0; owner < count; ++owner) {
        const std::string diameter = length(random, 50, 20);
        const std::string halfWidth = length(random, 30, 20);
        const std::string halfHeight = length(random, 15, 10);
        const std::string reach = length(random, 40, 30);
        text += "$$create_";
        text += kind;
        text += "(\"P" + std::to_string(owner) + "\");\n";
        text += "$$page (0.0, 0.0, 0.0, @Mils, 1.0, 1.0) ;\n";
        text += "$$circle( \"PAD_1\", 0.0, 0.0, " + diameter + ", 0.0);\n";
        text += "$$polygon( \"PAD_1\", @solid, [-" + halfWidth + ", -" + halfHeight + ", "
                + halfWidth + ", -" + halfHeight + ", " + halfWidth + ", " + halfHeight + ", -"
                + halfWidth + ", " + halfHeight + "] );\n";
        text += "$$path( \"PAD_1\", 10.0, @open, [-" + reach + ", 0.0, " + reach + ", 0.0] );\n";
        text += "$$circle( \"SIGNAL_2\", 0.0, 0.0, " + diameter + ", 0.0);\n";
    }
    return text;
}

double secondsToRead(const std::string& text) {
    MentorBS::arena().clear();
    const std::clock_t start = std::clock();
    {
        MentorParser parser;
        parser.model.unitsName = "Mils";
        readGeometryText(parser, text);
    }
    const double seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
    MentorBS::arena().clear();
    return seconds;
}

/// The texts of one count and their best times.
struct Case {
    int count = 0;
    std::string pins;
    std::string components;
    double pinSeconds = 1e300;
    double componentSeconds = 1e300;
};

}  // namespace

int main() {
    Case cases[] = {{10000, geometryText("pin", 10000), geometryText("component", 10000)},
                    {100000, geometryText("pin", 100000), geometryText("component", 100000)}};
    // Every text in turn within each run, so that a busy moment of the machine hits all of
    // them rather than one count.
    for (int run = 0; run < k_Runs; ++run) {
        for (Case& c : cases) {
            c.componentSeconds = std::min(c.componentSeconds, secondsToRead(c.components));
            c.pinSeconds = std::min(c.pinSeconds, secondsToRead(c.pins));
        }
    }
    for (const Case& c : cases) {
        std::printf("{\"baseline_components\":%d,\"seconds\":%.4f,\"per_component_us\":%.2f}\n",
                    c.count, c.componentSeconds, c.componentSeconds / c.count * 1e6);
        std::printf(
            "{\"merge_pins\":%d,\"seconds\":%.4f,\"per_pin_us\":%.2f,\"vs_baseline\":%.1f}\n",
            c.count, c.pinSeconds, c.pinSeconds / c.count * 1e6, c.pinSeconds / c.componentSeconds);
    }
    std::printf("{\"growth_10x\":%.2f,\"baseline_growth_10x\":%.2f}\n",
                cases[1].pinSeconds / cases[0].pinSeconds,
                cases[1].componentSeconds / cases[0].componentSeconds);
    return 0;
}
