// Throughput of the traces, neutral and geometry file readers against `wc -w` on the same
// files in the same run. Writes a seeded traces file, neutral file and geometry file of at
// least 200 MB each into a fresh temporary directory, reads each with `wc -w` (best of
// three) and with our reader (one first run, then three more, best taken; the file is warm
// in the page cache for both), prints one JSON line per file and removes the directory.
// BS2VNF_BENCH_MB sets another size, for a quick look.
//
// "ours_mb_s" is the best run; "ours_first_mb_s" the first one. They differ by the cost of
// fresh memory: the model of a file is about as large as the file (the neutral file's
// three to four times), and the first run takes all of it from the system page by page,
// which `wc -w` never does. Between runs the model is dropped (the arena emptied), so the
// later runs reuse memory the process already has, as the first one would with a cheap
// page fault.
//
// The geometry file's read ends with the merge of pin and via shapes; they are about two
// percent of the generated file, so the line measures reading. PadShapeMerge_bench times
// the merge.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <new>
#include <random>
#include <string>
#include <string_view>

#include "mentor/Arena.h"
#include "mentor/GeometryFileReader.h"
#include "mentor/MentorParser.h"
#include "mentor/NeutralFileReader.h"
#include "mentor/TracesFileReader.h"

#if defined(__unix__)
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int k_Runs = 3;

/// Writes text in large pieces.
class Writer {
public:
    explicit Writer(const fs::path& file) : m_out(file, std::ios::binary) {}
    ~Writer() { flush(); }
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    Writer& operator<<(std::string_view text) {
        m_buffer += text;
        if (m_buffer.size() > (1 << 20)) {
            flush();
        }
        return *this;
    }
    Writer& operator<<(long long value) { return *this << std::to_string(value); }
    void flush() {
        m_written += m_buffer.size();
        m_out.write(m_buffer.data(), static_cast<std::streamsize>(m_buffer.size()));
        m_buffer.clear();
    }
    std::size_t size() const { return m_written + m_buffer.size(); }

private:
    std::ofstream m_out;
    std::string m_buffer;
    std::size_t m_written = 0;
};

/// A number with two decimals, as the neutral file writes lengths.
std::string decimal(std::mt19937_64& random, int whole) {
    const long long value = static_cast<long long>(random() % (whole * 100ULL));
    char text[32];
    std::snprintf(text, sizeof text, "%lld.%02lld", value / 100, value % 100);
    return text;
}

/// A traces file: nets of traces on two layers, filled areas with islands and test points.
void writeTraces(const fs::path& file, std::size_t bytes, std::mt19937_64& random) {
    Writer out(file);
    out << "# UNITS Mils\n";
    for (int layer = 1; layer <= 4; ++layer) {
        out << "XRF " << layer << " SIGNAL_" << std::to_string(layer) << "\n";
    }
    for (long long net = 0; out.size() < bytes; ++net) {
        out << "# NET \"N" << net << "\"\n";
        for (int trace = 0; trace < 8; ++trace) {
            const int count = 2 + static_cast<int>(random() % 12);
            out << "ANT " << count << "\n";
            long long x = static_cast<long long>(random() % 50000000);
            long long y = static_cast<long long>(random() % 50000000);
            // A trace changes layer at a via now and then, and its width more rarely.
            long long layer = 1 + static_cast<long long>(random() % 2);
            long long width = 2540;
            for (int segment = 0; segment < count; ++segment) {
                x += static_cast<long long>(random() % 200000);
                y += static_cast<long long>(random() % 200000);
                if (random() % 8 == 0) {
                    layer = 3 - layer;
                }
                if (random() % 16 == 0) {
                    width = width == 2540 ? 5080 : 2540;
                }
                out << "SEG " << x << " " << y << " " << layer << " " << width << "\n";
            }
        }
        if (net % 4 == 0) {
            out << "ARS \"N" << net << "\" \"SIGNAL_1\" POLY 4\n"
                << "VER 0 0\nVER 1000000 0\nVER 1000000 1000000\nVER 0 1000000\n"
                << "ISL 3\nVER 10 10\nVER 20 10\nVER 20 20\n";
        }
        out << "TTI 12.5 30.25 1 0 5 5 15\n";
    }
}

/// A neutral file: mostly nets with their pins and vias, then components and pads.
void writeNeutral(const fs::path& file, std::size_t bytes, std::mt19937_64& random) {
    Writer out(file);
    out << "# Board Station neutral file\nBOARD bench OFFSET x:0 y:0 ORIENTATION 0 B_UNITS Mils\n"
        << "B_ATTR 'POWER_NET_NAMES' 'GND', 'VCC'\n";
    for (long long item = 0; out.size() < bytes; ++item) {
        if (item % 16 == 15) {
            out << "COMP 'U" << item << "' 'PART" << item % 97 << "' 'SOIC8' 'DEVICE' "
                << decimal(random, 9000) << " " << decimal(random, 9000) << " 1 90\n"
                << "C_PROP (VALUE,\"10k\") (TOLERANCE,\"1%\")\n";
            for (int pin = 1; pin <= 8; ++pin) {
                out << "C_PIN '" << pin << "' " << decimal(random, 9000) << " "
                    << decimal(random, 9000) << " 1 1 0 'PAD60' 'SIGNAL_1'\n";
            }
            continue;
        }
        out << "NET N" << item << "\n";
        const int pins = 2 + static_cast<int>(random() % 8);
        for (int pin = 0; pin < pins; ++pin) {
            out << "N_PIN U" << static_cast<long long>(random() % 5000) << "-"
                << static_cast<long long>(1 + random() % 64) << " " << decimal(random, 9000) << " "
                << decimal(random, 9000) << " 'SIGNAL_1' 1" << (pin % 2 ? " 2\n" : "\n");
        }
        out << "N_VIA " << decimal(random, 9000) << " " << decimal(random, 9000)
            << " 'VIA20' 1 4\n";
    }
    out << "#\nPAD PIN 'PAD60' Thru 35 PTH\nP_SHAPE 'SIGNAL_1' 'PAD' CIRCLE 60\n#\n";
}

/// A length with one to four decimals: from -whole to whole, or above zero up to whole.
std::string length(std::mt19937_64& random, int whole, bool positive = false) {
    const int decimals = 1 + static_cast<int>(random() % 4);
    long long scale = 1;
    for (int i = 0; i < decimals; ++i) {
        scale *= 10;
    }
    const long long top = static_cast<long long>(whole) * scale;
    const long long value =
        positive
            ? 1 + static_cast<long long>(random() % static_cast<unsigned long long>(top))
            : static_cast<long long>(random() % static_cast<unsigned long long>(2 * top)) - top;
    const long long magnitude = value < 0 ? -value : value;
    char text[48];
    std::snprintf(text, sizeof text, "%s%lld.%0*lld", value < 0 ? "-" : "", magnitude / scale,
                  decimals, magnitude % scale);
    return text;
}

std::string positiveLength(std::mt19937_64& random, int whole) {
    return length(random, whole, true);
}

/// "[x, y, ...]" with `points` points within `whole` of the origin.
std::string coordinates(std::mt19937_64& random, int points, int whole) {
    std::string list = "[";
    for (int point = 0; point < points; ++point) {
        if (point > 0) {
            list += ", ";
        }
        list += length(random, whole);
        list += ", ";
        list += length(random, whole);
    }
    return list + "]";
}

const char* const k_GeometryPage = "$$page (0.0, 0.0, 0.0, @Mils, 1.0, 1.0) ;\n";

/// One drawing record of a component or the board: mostly paths and polygons, then
/// circles, texts and now and then a point-by-point shape or an attribute we skip.
void writeDrawingRecord(Writer& out, std::mt19937_64& random, int whole) {
    static const char* const k_Layers[] = {"SILKSCREEN_1", "SILKSCREEN_2", "ASSEMBLY_1",
                                           "COMPONENT_OUTLINE", "SOLDERMASK_1"};
    const char* const layer = k_Layers[random() % 5];
    const unsigned kind = static_cast<unsigned>(random() % 32);
    if (kind < 13) {
        out << "$$path( \"" << layer << "\", " << positiveLength(random, 10) << ", @open, "
            << coordinates(random, 2 + static_cast<int>(random() % 7), whole) << " );\n";
    } else if (kind < 21) {
        out << "$$polygon( \"" << layer << "\", @" << (random() % 2 ? "solid" : "outline") << ", "
            << coordinates(random, 4 + static_cast<int>(random() % 8), whole) << " );\n";
    } else if (kind < 26) {
        out << "$$circle( \"" << layer << "\", " << length(random, whole) << ", "
            << length(random, whole) << ", " << positiveLength(random, 100) << ", 0.0);\n";
    } else if (kind < 30) {
        out << "$$text( \"" << layer << "\", \"" << (random() % 3 ? "REF" : "VALUE ")
            << static_cast<long long>(random() % 1000) << "\", " << length(random, whole) << ", "
            << length(random, whole) << ", " << positiveLength(random, 80) << ", @BL, "
            << positiveLength(random, 400) << ", 0.0);\n";
    } else if (kind < 31) {
        const int points = 4 + static_cast<int>(random() % 4);
        for (int point = 0; point < points; ++point) {
            out << (point == 0 ? "$$initial([" : "$$terminal([") << length(random, whole) << ", "
                << length(random, whole) << "]);\n";
        }
        out << "$$polygon( \"" << layer << "\"), @solid);\n";
    } else {
        out << "$$attribute( \"COMPONENT_HEIGHT\", \"" << positiveLength(random, 500) << "\" );\n";
    }
}

/// A pin or via: its page and a few shapes on pad and signal layers, one of them now and
/// then on a layer that does not conduct.
void writePadOwner(Writer& out, std::mt19937_64& random, const char* kind, long long item) {
    static const char* const k_Layers[] = {"PAD_1",    "PAD_2",   "SIGNAL_1",
                                           "SIGNAL_2", "POWER_1", "SOLDERMASK_1"};
    out << "$$create_" << kind << "(\"" << (kind[0] == 'p' ? "PIN" : "VIA") << item << "\");\n"
        << k_GeometryPage;
    const int shapes = 2 + static_cast<int>(random() % 3);
    for (int shape = 0; shape < shapes; ++shape) {
        const char* const layer = k_Layers[random() % 6];
        const std::string half = positiveLength(random, 40);
        if (random() % 2) {
            out << "$$circle( \"" << layer << "\", 0.0, 0.0, " << half << ", 0.0);\n";
        } else {
            out << "$$polygon( \"" << layer << "\", @solid, [-" << half << ", -" << half << ", "
                << half << ", -" << half << ", " << half << ", " << half << ", -" << half << ", "
                << half << "] );\n";
        }
    }
}

/// A geometry file: the board and a few stackups, then component geometries (drawings
/// with their placement outlines), with a pin every twenty components and a via every
/// hundred.
void writeGeometry(const fs::path& file, std::size_t bytes, std::mt19937_64& random) {
    Writer out(file);
    out << "/ Board Station geometry file: bench\n$$create_board(\"bench\");\n"
        << k_GeometryPage
        << "$$attribute( \"BOARD_ROUTING_OUTLINE\", [0.0, 0.0, 9000.0, 0.0, 9000.0, 9000.0, "
           "0.0, 9000.0] );\n";
    for (int record = 0; record < 40; ++record) {
        writeDrawingRecord(out, random, 9000);
    }
    for (int stackup = 1; stackup <= 3; ++stackup) {
        out << "$$create_stackup(\"STACKUP" << stackup << "\");\n"
            << k_GeometryPage
            << "$$attribute( \"STACKUP_ID_LAYER_DEFINITION\", \"SIGNAL_1 POWER_1 SIGNAL_2 "
               "POWER_2 SIGNAL_"
            << stackup + 2 << "\" );\n";
    }
    for (long long item = 0; out.size() < bytes; ++item) {
        if (item % 20 == 19) {
            writePadOwner(out, random, "pin", item);
            continue;
        }
        if (item % 100 == 98) {
            writePadOwner(out, random, "via", item);
            continue;
        }
        out << "$$create_component(\"GEOM" << item << "\");\n"
            << k_GeometryPage << "$$attribute( \"COMPONENT_PLACEMENT_OUTLINE\", "
            << coordinates(random, 4, 300) << " );\n";
        const int records = 3 + static_cast<int>(random() % 6);
        for (int record = 0; record < records; ++record) {
            writeDrawingRecord(out, random, 300);
        }
    }
}

double secondsOf(const std::function<void()>& work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

/// Drops every board-model object made so far. The program itself never does this (it
/// reads each file once).
void emptyArena() {
    MentorBS::arena().clear();
}

void report(const char* name, const fs::path& file, const std::function<void()>& read) {
    const double megabytes = static_cast<double>(fs::file_size(file)) / 1e6;
    const std::string command = "wc -w < '" + file.string() + "' > /dev/null";
    const auto wc = [&] {
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "wc -w failed\n");
        }
    };
    emptyArena();
    double wcBest = secondsOf(wc);
    const double first = secondsOf(read);
    double best = first;
    // wc and our reader take turns, so that a busy moment of the machine hits both.
    for (int run = 0; run < k_Runs; ++run) {
        emptyArena();
        wcBest = std::min(wcBest, secondsOf(wc));
        best = std::min(best, secondsOf(read));
    }
    emptyArena();
    const double ours = megabytes / best;
    const double wcRate = megabytes / wcBest;
    std::printf(
        "{\"file\": \"%s\", \"mb\": %.1f, \"ours_mb_s\": %.1f, \"wc_mb_s\": %.1f, \"ratio\": "
        "%.2f, \"ours_first_mb_s\": %.1f}\n",
        name, megabytes, ours, wcRate, ours / wcRate, megabytes / first);
    std::fflush(stdout);
}

}  // namespace

int main() {
    std::size_t megabytes = 200;
    if (const char* size = std::getenv("BS2VNF_BENCH_MB")) {
        megabytes = static_cast<std::size_t>(std::strtoull(size, nullptr, 10));
    }
    const std::size_t bytes = megabytes * 1000 * 1000;
    long long process = 0;
#if defined(__unix__)
    process = static_cast<long long>(getpid());
#endif
    const fs::path directory =
        fs::temp_directory_path() / ("bs2vnf-readers-bench-" + std::to_string(process));
    fs::create_directories(directory);
    std::mt19937_64 random(20240611);
    writeTraces(directory / "MentorTracesFile", bytes, random);
    writeNeutral(directory / "MentorNeutralFile", bytes, random);
    writeGeometry(directory / "MentorGeometryFile", bytes, random);

    report("MentorTracesFile", directory / "MentorTracesFile", [&] {
        MentorParser parser;
        parser.model.unitsName = "Mils";
        parser.model.layerNumbers = {
            {1, "SIGNAL_1"}, {2, "SIGNAL_2"}, {3, "SIGNAL_3"}, {4, "SIGNAL_4"}};
        readTracesFile(parser, directory.string());
    });
    report("MentorNeutralFile", directory / "MentorNeutralFile", [&] {
        MentorParser parser;
        readNeutralFile(parser, directory.string());
    });
    report("MentorGeometryFile", directory / "MentorGeometryFile", [&] {
        MentorParser parser;
        parser.model.unitsName = "Mils";
        readGeometryFile(parser, directory.string());
    });
    fs::remove_all(directory);
    return 0;
}
