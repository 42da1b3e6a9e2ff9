// Cost of the output document: building its tree from a board model and writing the tree
// as text, for a generated library (pads, footprints, components) and a generated layout
// (traces, vias, planes with voids), each at a tenth of its size and at full size so that
// the growth shows. The export files are generated as text in memory and read by the real
// readers, so the model is the one a run would build; plane shapes are set on the model
// directly (the plane pass has its own benchmark).
//
// One JSON line per board:
//   build_s      building the document tree (every block, with the document context)
//   write_mb_s   writing the finished tree as text into memory, megabytes per second
//   tree_mb      bytes the finished tree holds on the heap (counted by this program's
//                operator new), in megabytes
//   text_mb      bytes of the written text
//   peak_rss_mb  the process's peak resident memory so far
// BS2VNF_BENCH_SCALE multiplies every size (for a quick look).

#include <malloc.h>
#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <new>
#include <random>
#include <string>

#include "corelib/TokenStream.h"
#include "mentor/Arena.h"
#include "mentor/GeometryFileReader.h"
#include "mentor/LayerFileReader.h"
#include "mentor/MentorParser.h"
#include "mentor/NeutralFileReader.h"
#include "mentor/TechFileReader.h"
#include "mentor/TracesFileReader.h"
#include "writer/DocumentContext.h"
#include "writer/NeutralFileWriter.h"

// Every heap block this program takes or gives back, so that the tree's share of the heap
// can be read off before and after it is built.
namespace {
std::atomic<long long> g_liveBytes{0};
}  // namespace

void* operator new(std::size_t size) {
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    g_liveBytes += static_cast<long long>(malloc_usable_size(p));
    return p;
}
void operator delete(void* p) noexcept {
    if (p != nullptr) {
        g_liveBytes -= static_cast<long long>(malloc_usable_size(p));
        std::free(p);
    }
}
void operator delete(void* p, std::size_t) noexcept {
    operator delete(p);
}

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double peakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

struct Sizes {
    int pads = 0;
    int footprints = 0;
    int components = 0;
    int segments = 0;
    int vias = 0;
    int planeVoids = 0;  ///< per plane; two planes
};

const char* const k_Layers = R"(SIGNAL_1 1 SIGNAL 0 1 0 0 0 0 0 0 0 0 0 0 0
POWER_1 2 POWER 0 1 0 0 0 0 0 0 0 0 0 0 0
POWER_2 3 POWER 0 1 0 0 0 0 0 0 0 0 0 0 0
SIGNAL_2 4 SIGNAL 0 1 0 0 0 0 0 0 0 0 0 0 0
PAD_1 5 PAD 0 0 0 0 0 0 0 0 0 0 0 0 0
PAD_2 6 PAD 0 0 0 0 0 0 0 0 0 0 0 0 0
SILKSCREEN_1 7 SILKSCREEN 0 0 0 0 0 0 0 0 0 0 0 0 0
SILKSCREEN_2 8 SILKSCREEN 0 0 0 0 0 0 0 0 0 0 0 0 0
)";

const char* const k_Tech = R"($$define_technology( "PCB");
$$define_rule_board( @DOUBLE);
$$define_physical_layer( 1 , "SIGNAL_1", "SIGNAL_1");
$$define_physical_layer( 2 , "POWER_1", "POWER_1");
$$define_physical_layer( 3 , "POWER_2", "POWER_2");
$$define_physical_layer( 4 , "SIGNAL_2", "SIGNAL_2");
)";

std::string number(std::mt19937_64& random, int whole) {
    return std::to_string(static_cast<long long>(random() % static_cast<unsigned>(whole)));
}

/// Neutral file: pads, geometries with pins, components placed on both sides with their
/// pins and properties, and nets with vias.
std::string neutralText(const Sizes& sizes, std::mt19937_64& random) {
    std::string out =
        "BOARD bench OFFSET x:0 y:0 ORIENTATION 0 B_UNITS Mils\n"
        "B_ATTR 'POWER_NET_NAMES' 'GND', 'VCC'\n"
        "B_ATTR 'BOARD_ROUTING_OUTLINE' 'POLY' 0 0 8000 0 8000 6000 0 6000\n#\n# Nets\n";
    const int nets = std::max(2, sizes.vias / 10);
    for (int net = 0; net < nets; ++net) {
        out += net == 0   ? "NET GND\n"
               : net == 1 ? "NET VCC\n"
                          : "NET N" + std::to_string(net) + "\n";
        for (int via = net; via < sizes.vias; via += nets) {
            out += "N_VIA " + number(random, 8000) + " " + number(random, 6000) + " 'VIA20' 1 4\n";
        }
    }
    out += "#\n# Geometries\n";
    for (int geometry = 0; geometry < sizes.footprints; ++geometry) {
        out += "GEOM 'G" + std::to_string(geometry) + "'\n";
        for (int pin = 1; pin <= 4; ++pin) {
            out += "G_PIN " + std::to_string(pin) + " " + std::to_string(pin * 50) + " 0 'P"
                   + std::to_string((geometry * 4 + pin) % sizes.pads) + "' 'SIGNAL_1' 0\n";
        }
        out += "G_ATTR 'COMPONENT_PLACEMENT_OUTLINE' POLY -20 -30 220 -30 220 30 -20 30\n#\n";
    }
    out += "# Components\n";
    for (int component = 0; component < sizes.components; ++component) {
        const int geometry = component % sizes.footprints;
        const bool bottom = component % 3 == 0;
        out += "COMP 'U" + std::to_string(component) + "' 'PART" + std::to_string(geometry % 50)
               + "' 'G" + std::to_string(geometry) + "' 'DEV' " + number(random, 8000) + " "
               + number(random, 6000) + (bottom ? " 2 180\n" : " 1 90\n");
        out += component % 2 ? "C_PROP (Value,\"4k7\") (TOLERANCE,\"1%\")\n"
                             : "C_PROP (Value,\"100n\")\n";
        for (int pin = 1; pin <= 4; ++pin) {
            out += "C_PIN '" + std::to_string(pin) + "' " + number(random, 8000) + " "
                   + number(random, 6000) + (bottom ? " 4 2 0 'P" : " 1 1 0 'P")
                   + std::to_string((geometry * 4 + pin) % sizes.pads) + "' '" + std::to_string(pin)
                   + "'\n";
        }
    }
    out += "#\n# Padstacks\n";
    for (int pad = 0; pad < sizes.pads; ++pad) {
        const std::string size = std::to_string(20 + pad % 40);
        if (pad % 2) {
            out += "PAD PIN 'P" + std::to_string(pad) + "' Thru 35 PTH\n"
                   "P_SHAPE 'SIGNAL_1' 'PAD' CIRCLE " + size + "\n"
                   "P_SHAPE 'POWER_1' 'ANTIPAD' CIRCLE 80\n"
                   "P_SHAPE 'SIGNAL_2' 'PAD' CIRCLE " + size + "\n";
        } else {
            out += "PAD PIN 'P" + std::to_string(pad) + "' Surf 0\n"
                   "P_SHAPE 'SIGNAL_1' 'PAD' RECTANGLE " + size + " 24\n"
                   "P_SHAPE 'PAD_1' 'PAD' RECTANGLE " + size + " 24\n";
        }
    }
    out +=
        "PAD VIA 'VIA20' Thru 12\nV_SHAPE 'SIGNAL_1' 'PAD' CIRCLE 24\n"
        "V_SHAPE 'POWER_1' 'ANTIPAD' CIRCLE 40\nV_SHAPE 'SIGNAL_2' 'PAD' CIRCLE 24\n";
    return out;
}

/// Geometry file: the board and each footprint's drawing.
std::string geometryText(const Sizes& sizes) {
    std::string out =
        "$$create_board(\"bench\");\n$$page (0.0, 0.0, 0.0, @Mils, 1.0, 1.0) ;\n"
        "$$attribute( \"BOARD_ROUTING_OUTLINE\", [0.0, 0.0, 8000.0, 0.0, 8000.0, "
        "6000.0, 0.0, 6000.0] );\n";
    for (int geometry = 0; geometry < sizes.footprints; ++geometry) {
        out += "$$create_component(\"G" + std::to_string(geometry) +
               "\");\n$$page (0.0, 0.0, 0.0, @Mils, 1.0, 1.0) ;\n"
               "$$path( \"SILKSCREEN_1\", 5.0, @open, [-20.0, -30.0, 220.0, -30.0, 220.0, 30.0] "
               ");\n$$circle( \"SILKSCREEN_1\", -10.0, 20.0, 10.0, 0.0);\n"
               "$$text( \"SILKSCREEN_1\", \"REF\", 0.0, 40.0, 30.0, @BL, 100.0, 0.0);\n";
    }
    return out;
}

/// Traces file: nets of traces on both signal layers, widths changing now and then.
std::string tracesText(const Sizes& sizes, std::mt19937_64& random) {
    std::string out =
        "# UNITS Mils\nXRF 1 SIGNAL_1\nXRF 2 POWER_1\nXRF 3 POWER_2\nXRF 4 SIGNAL_2\n";
    int written = 0;
    for (int net = 2; written < sizes.segments; ++net) {
        out += "# NET \"N" + std::to_string(net) + "\"\n";
        for (int trace = 0; trace < 4 && written < sizes.segments; ++trace) {
            const int count = 2 + static_cast<int>(random() % 12);
            out += "ANT " + std::to_string(count) + "\n";
            long long x = static_cast<long long>(random() % 18000000);
            long long y = static_cast<long long>(random() % 13000000);
            const char* layer = random() % 2 ? " 1 " : " 4 ";
            long long width = 20320;
            for (int point = 0; point < count; ++point, ++written) {
                x += static_cast<long long>(random() % 100000);
                y += static_cast<long long>(random() % 100000);
                if (random() % 16 == 0) {
                    width = width == 20320 ? 30480 : 20320;
                }
                out += "SEG " + std::to_string(x) + " " + std::to_string(y) + layer
                       + std::to_string(width) + "\n";
            }
        }
    }
    return out;
}

MentorBS::BoardModel readModel(const Sizes& sizes) {
    std::mt19937_64 random(20261206);
    MentorParser parser;
    readNeutralText(parser, neutralText(sizes, random));
    readLayerText(parser, k_Layers);
    readGeometryText(parser, geometryText(sizes));
    std::map<int, std::string> techLayers;
    techLayers = readTechText(parser, techLayers, k_Tech);
    readTracesText(parser, tracesText(sizes, random));
    MentorBS::BoardModel model = parser.takeModel();
    model.techLayers = std::move(techLayers);
    // Two planes: the board outline with round clearances, as the plane pass leaves them
    // (units of the design: mils).
    const char* const planes[][2] = {{"GND", "POWER_1"}, {"VCC", "POWER_2"}};
    for (const auto& [netName, layer] : planes) {
        if (sizes.planeVoids == 0) {
            break;
        }
        auto* net = MentorBS::make<MentorBS::LayoutNet>(netName);
        std::vector<MentorBS::MentorElement*> group{MentorBS::make<MentorBS::MyArcPolygon>(
            layer, "", MentorBS::CoordinateList{0, 0, 0, 8000, 0, 0, 8000, 6000, 0, 0, 6000, 0}, "",
            "")};
        for (int hole = 0; hole < sizes.planeVoids; ++hole) {
            group.push_back(MentorBS::make<MentorBS::MyCircle>(
                layer, 10.0 + static_cast<double>(random() % 7980000) / 1000.0,
                10.0 + static_cast<double>(random() % 5980000) / 1000.0, 40.0, 0.0, "", ""));
        }
        net->planeShapeGroups.push_back(std::move(group));
        model.layoutElements.push_back(net);
    }
    return model;
}

/// Counts the bytes written to it and keeps none.
class CountingStream : public io::CAbstract_ostream {
public:
    void WriteBytes(std::string_view bytes) override { m_bytes += bytes.size(); }
    std::size_t bytes() const { return m_bytes; }

private:
    std::size_t m_bytes = 0;
};

void measure(const char* block, const Sizes& sizes, long long items) {
    const MentorBS::BoardModel model = readModel(sizes);
    CountingStream log;
    const long long before = g_liveBytes;
    const auto buildStart = Clock::now();
    DocumentContext context(model, false);
    io::CBlockPtr root = buildDocument(model, context, VString(L"bench"), log);
    const double build = seconds(buildStart);
    const long long tree = g_liveBytes - before;

    // The best of three writes: the tree is warm for each.
    double write = 1e300;
    std::size_t textBytes = 0;
    for (int run = 0; run < 3; ++run) {
        CountingStream out;
        out.SetPrecision(16);
        const auto writeStart = Clock::now();
        out << *root;
        write = std::min(write, seconds(writeStart));
        textBytes = out.bytes();
    }
    const double textMb = static_cast<double>(textBytes) / 1e6;
    std::printf(
        "{\"block\":\"%s\",\"items\":%lld,\"build_s\":%.3f,\"write_mb_s\":%.1f,"
        "\"tree_mb\":%.1f,\"text_mb\":%.1f,\"tree_per_text\":%.2f,\"peak_rss_mb\":%.0f}\n",
        block, items, build, textMb / write, static_cast<double>(tree) / 1e6, textMb,
        static_cast<double>(tree) / static_cast<double>(textBytes), peakRssMb());
    std::fflush(stdout);
    root = io::CBlockPtr(L"");
    MentorBS::arena().clear();
}

}  // namespace

int main() {
    double scale = 1.0;
    if (const char* text = std::getenv("BS2VNF_BENCH_SCALE")) {
        scale = std::strtod(text, nullptr);
    }
    for (const double step : {0.1, 1.0}) {
        const double f = step * scale;
        const auto n = [&](int full) { return std::max(1, static_cast<int>(full * f)); };
        Sizes library{n(10000), n(2000), n(20000), 0, 0, 0};
        measure("library", library,
                static_cast<long long>(library.pads + library.footprints + library.components));
    }
    for (const double step : {0.1, 1.0}) {
        const double f = step * scale;
        const auto n = [&](int full) { return std::max(1, static_cast<int>(full * f)); };
        Sizes layout{1, 1, 1, n(100000), n(20000), n(5000)};
        measure("layout", layout,
                static_cast<long long>(layout.segments + layout.vias + 2 * layout.planeVoids));
    }
    return 0;
}
