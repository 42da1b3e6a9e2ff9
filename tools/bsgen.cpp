// bsgen: writes a synthetic Board Station export (the seven ASCII files the translator reads)
// into a directory, every choice drawn from a seed, so that a board of any size can be made
// again byte for byte. docs/bsgen.md describes the board and its parameters.
//
// Lengths are held as whole counts of 10 nm, the traces file's own unit: every other file
// writes them in millimetres as exact decimals, so the files agree to the last digit and no
// floating-point result can differ between machines. The traces are streamed as they are
// routed; only the components, their pins, the nets and the vias are kept.

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <limits>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using Length = std::int64_t;

/// Counts of 10 nm in a millimetre.
constexpr Length k_Mm = 100000;
/// How far components keep from the board's edge: their pins must stay on the board.
constexpr Length k_PlacementMargin = 8 * k_Mm;
/// How far routed points keep from the board's edge.
constexpr Length k_RoutingMargin = 2 * k_Mm;

// ---- Random numbers

/// splitmix64: a tiny generator whose sequence is fixed by its definition, unlike the
/// distributions of the standard library.
class Random {
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (m_state += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    /// A value in [0, n) for n > 0; the remainder's bias is far below anything that matters.
    std::int64_t below(std::int64_t n) {
        return static_cast<std::int64_t>(next() % static_cast<std::uint64_t>(n));
    }
    /// A value in [low, high].
    std::int64_t between(std::int64_t low, std::int64_t high) {
        return low + below(high - low + 1);
    }
    bool percent(int chance) { return below(100) < chance; }

private:
    std::uint64_t m_state;
};

/// An independent generator for one part of the board, so that what one part draws does
/// not shift another.
Random stream(std::uint64_t seed, std::uint64_t part) {
    return Random(Random(seed ^ (part * 0xd1342543de82ef95ULL)).next());
}

// ---- Text output

/// A file written through a large buffer, with the few number forms the export uses.
class Output {
public:
    Output() { m_buffer.reserve(k_Flush + 4096); }
    ~Output() { close(); }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    bool open(const std::filesystem::path& path) {
        m_path = path.string();
        m_file = std::fopen(m_path.c_str(), "wb");
        return m_file != nullptr;
    }
    /// Flushes and closes; false when anything could not be written.
    bool close() {
        if (!m_file) {
            return !m_failed;
        }
        flush();
        m_failed = std::fclose(m_file) != 0 || m_failed;
        m_file = nullptr;
        return !m_failed;
    }
    const std::string& path() const { return m_path; }

    Output& operator<<(std::string_view text) {
        m_buffer.append(text);
        return spill();
    }
    Output& operator<<(char c) {
        m_buffer.push_back(c);
        return spill();
    }
    Output& operator<<(std::int64_t value) {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        m_buffer.append(digits, end);
        return spill();
    }
    Output& operator<<(int value) { return *this << static_cast<std::int64_t>(value); }

private:
    static constexpr std::size_t k_Flush = 1 << 20;

    Output& spill() {
        if (m_buffer.size() >= k_Flush) {
            flush();
        }
        return *this;
    }
    void flush() {
        if (m_file && !m_buffer.empty()
            && std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_file) != m_buffer.size()) {
            m_failed = true;
        }
        m_buffer.clear();
    }

    std::FILE* m_file = nullptr;
    std::string m_path;
    std::string m_buffer;
    bool m_failed = false;
};

/// A length in millimetres, exact, with at least one decimal ("200.0", "-0.635"): the
/// geometry file ends a coordinate list at a word such as "5," that has no point.
struct Mm {
    Length counts;
};

Output& operator<<(Output& out, Mm length) {
    char text[32];
    char* end = text;
    Length value = length.counts;
    if (value < 0) {
        *end++ = '-';
        value = -value;
    }
    end = std::to_chars(end, text + sizeof text, value / k_Mm).ptr;
    *end++ = '.';
    Length fraction = value % k_Mm;
    int digits = 5;
    while (digits > 1 && fraction % 10 == 0) {
        fraction /= 10;
        --digits;
    }
    for (int i = digits - 1; i >= 0; --i) {
        end[i] = static_cast<char>('0' + fraction % 10);
        fraction /= 10;
    }
    return out << std::string_view(text, static_cast<std::size_t>(end + digits - text));
}

// ---- Parameters

struct Options {
    std::uint64_t seed = 1;
    std::int64_t segments = 10000;
    int layers = 20;
    int planes = 8;
    std::int64_t components = -1;  ///< -1: in proportion to the segments
    std::int64_t vias = -1;        ///< -1: as the routes need, plus stitching vias
    std::int64_t antipads = -1;    ///< -1: one per via or pin and plane it clears
    std::int64_t widthMm = 200;
    std::int64_t heightMm = 150;
    bool zeroWidths = false;
    std::string out;
};

constexpr const char* k_Help =
    "usage: bsgen --out DIR [options]\n"
    "\n"
    "Writes a synthetic Board Station export (MentorNeutralFile, MentorLayerFile,\n"
    "MentorTechFile, MentorGeometryFile, MentorTracesFile, MentorPinsFile, MentorGatesFile)\n"
    "into DIR. The same seed and parameters give the same bytes.\n"
    "\n"
    "  --out DIR          directory to write (created when missing)\n"
    "  --seed N           seed of every random choice (default 1)\n"
    "  --segments N       SEG lines of the traces file, exactly; 0 or at least 2\n"
    "                     (default 10000). The other counts follow it unless given.\n"
    "  --layers N         copper layers, 2 to 64 (default 20)\n"
    "  --planes N         how many of them are plane layers, 0 to layers-2 (default 8)\n"
    "  --components N     placed components, at least 2 (default max(6, segments/50))\n"
    "  --vias N           N_VIA records, exactly: routes change layer while vias remain and\n"
    "                     the rest are stitching vias (default: as the routes need, plus\n"
    "                     components/10 stitching vias when there are planes)\n"
    "  --antipads N       board circles and polygons on the plane layers, exactly (default:\n"
    "                     one per plane a via or through pin of another net passes, plus\n"
    "                     max(planes, components/25) polygons); needs a plane when N > 0\n"
    "  --width MM         board width in millimetres, 50 to 2000 (default 200)\n"
    "  --height MM        board height in millimetres, 50 to 2000 (default 150)\n"
    "  --zero-widths      give about one run in ten a point of width 0\n"
    "  --help             print this text\n";

bool parseNumber(std::string_view text, std::int64_t& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

/// Reads the command line; an empty result means success, otherwise it is the complaint.
std::string parseOptions(int argc, char** argv, Options& options, bool& help) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view name = argv[i];
        if (name == "--help" || name == "-h") {
            help = true;
            return {};
        }
        if (name == "--zero-widths") {
            options.zeroWidths = true;
            continue;
        }
        if (i + 1 >= argc) {
            return std::string(name) + " needs a value";
        }
        const std::string_view text = argv[++i];
        if (name == "--out") {
            options.out = text;
            continue;
        }
        std::int64_t value = 0;
        if (!parseNumber(text, value) || value < 0) {
            return std::string(name) + " takes a whole number, not '" + std::string(text) + "'";
        }
        if (name == "--seed") {
            options.seed = static_cast<std::uint64_t>(value);
        } else if (name == "--segments") {
            options.segments = value;
        } else if (name == "--layers") {
            options.layers = static_cast<int>(std::min<std::int64_t>(value, 1000));
        } else if (name == "--planes") {
            options.planes = static_cast<int>(std::min<std::int64_t>(value, 1000));
        } else if (name == "--components") {
            options.components = value;
        } else if (name == "--vias") {
            options.vias = value;
        } else if (name == "--antipads") {
            options.antipads = value;
        } else if (name == "--width") {
            options.widthMm = value;
        } else if (name == "--height") {
            options.heightMm = value;
        } else {
            return "unknown option " + std::string(name);
        }
    }
    if (options.out.empty()) {
        return "--out DIR is required";
    }
    if (options.segments == 1) {
        return "--segments must be 0 or at least 2: a single point draws no trace";
    }
    if (options.layers < 2 || options.layers > 64) {
        return "--layers must lie between 2 and 64";
    }
    if (options.planes > options.layers - 2) {
        return "--planes must leave the two outer layers for signals";
    }
    if (options.components == -1) {
        options.components = std::max<std::int64_t>(6, options.segments / 50);
    }
    if (options.components < 2 || options.components > 10'000'000) {
        return "--components must lie between 2 and 10000000";
    }
    if (options.antipads > 0 && options.planes == 0) {
        return "--antipads needs at least one plane layer";
    }
    for (const std::int64_t size : {options.widthMm, options.heightMm}) {
        if (size < 50 || size > 2000) {
            return "--width and --height must lie between 50 and 2000 mm";
        }
    }
    return {};
}

// ---- The board

struct Point {
    Length x = 0;
    Length y = 0;
    friend bool operator==(Point, Point) = default;
};

/// The copper layers: SIGNAL_1 on top, the last signal layer at the bottom, the planes
/// (POWER_1 ...) spread evenly between the signal layers inside. Layer numbers are the
/// positions from the top, 1 to `count`.
struct Stackup {
    int count = 0;
    std::vector<std::string> names;  ///< by layer number; [0] unused
    std::vector<int> planeOrdinal;   ///< by layer number: k for POWER_k, 0 for a signal layer
    std::vector<int> signalLayers;   ///< layer numbers, top to bottom
    std::vector<int> planeLayers;    ///< layer numbers, top to bottom

    bool isPlane(int layer) const { return planeOrdinal[static_cast<std::size_t>(layer)] != 0; }
    const std::string& name(int layer) const { return names[static_cast<std::size_t>(layer)]; }
};

Stackup makeStackup(int layers, int planes) {
    Stackup stackup;
    stackup.count = layers;
    stackup.names.assign(static_cast<std::size_t>(layers) + 1, std::string());
    stackup.planeOrdinal.assign(static_cast<std::size_t>(layers) + 1, 0);
    const int inner = layers - 2;
    for (int layer = 1; layer <= layers; ++layer) {
        const int k = layer - 2;
        const bool plane =
            layer > 1 && layer < layers && (k + 1) * planes / inner > k * planes / inner;
        if (plane) {
            stackup.planeLayers.push_back(layer);
            stackup.planeOrdinal[static_cast<std::size_t>(layer)] =
                static_cast<int>(stackup.planeLayers.size());
            stackup.names[static_cast<std::size_t>(layer)] =
                "POWER_" + std::to_string(stackup.planeLayers.size());
        } else {
            stackup.signalLayers.push_back(layer);
            stackup.names[static_cast<std::size_t>(layer)] =
                "SIGNAL_" + std::to_string(stackup.signalLayers.size());
        }
    }
    return stackup;
}

/// A pin or via padstack. Through pads are round, with a clearance on every plane.
struct PadStyle {
    const char* name;
    bool through;
    Length width;   ///< pad width, or diameter of a round pad
    Length height;  ///< pad height (surface pads)
    Length drill;
    Length antipad;  ///< clearance diameter on the planes (through pads)
};

constexpr std::array<PadStyle, 5> k_PinPads = {{
    {"SMD_0402", false, 60000, 50000, 0, 0},
    {"SMD_SOT", false, 60000, 70000, 0, 0},
    {"SMD_SOIC", false, 155000, 60000, 0, 0},
    {"SMD_TSSOP", false, 150000, 40000, 0, 0},
    {"THT_100", true, 170000, 170000, 100000, 210000},
}};
constexpr std::array<PadStyle, 2> k_ViaPads = {{
    {"VIA_T", true, 50000, 50000, 25000, 70000},
    {"VIA_B", true, 35000, 35000, 15000, 55000},
}};

enum class Kind { Resistor, Capacitor, Transistor, OpAmp, ShiftRegister, Header };

struct Footprint {
    const char* name;
    std::size_t pad;                   ///< into k_PinPads
    std::vector<Point> pins;           ///< offsets from the origin, pin 1 first
    Length halfWidth, halfHeight;      ///< placement outline
    int groundPin = 0, supplyPin = 0;  ///< pin numbers; 0 for none
};

/// What a kind of part is called and which footprint it sits on.
struct PartStyle {
    Kind kind;
    const char* prefix;  ///< reference designator letter
    const char* device;
    std::size_t footprint;
    std::vector<std::string> values;  ///< Value properties; empty for named parts
    const char* partName;             ///< for named parts
};

/// Two rows of `perSide` pins `pitch` apart, `span` between the rows, numbered counter-
/// clockwise from the top left as on a small-outline package.
std::vector<Point> dualRow(int perSide, Length pitch, Length span) {
    std::vector<Point> pins;
    const Length top = (perSide - 1) * pitch / 2;
    for (int i = 0; i < perSide; ++i) {
        pins.push_back({-span / 2, top - i * pitch});
    }
    for (int i = perSide - 1; i >= 0; --i) {
        pins.push_back({span / 2, top - i * pitch});
    }
    return pins;
}

std::vector<Footprint> makeFootprints() {
    std::vector<Footprint> footprints;
    footprints.push_back({"R0402", 0, {{-50000, 0}, {50000, 0}}, 100000, 50000});
    footprints.push_back({"C0402", 0, {{-50000, 0}, {50000, 0}}, 100000, 50000});
    footprints.push_back(
        {"SOT23", 1, {{-95000, -110000}, {95000, -110000}, {0, 110000}}, 150000, 160000});
    footprints.push_back({"SOIC8", 2, dualRow(4, 127000, 540000), 350000, 260000, 4, 8});
    footprints.push_back({"TSSOP16", 3, dualRow(8, 65000, 580000), 370000, 270000, 8, 16});
    // A two-row header: pins 1, 3, 5, ... on the left, numbered down the rows.
    std::vector<Point> header;
    for (int i = 0; i < 10; ++i) {
        header.push_back({(i % 2) * 254000 - 127000, 508000 - (i / 2) * 254000});
    }
    footprints.push_back({"HDR2X5", 4, header, 270000, 650000, 9, 0});
    return footprints;
}

const std::vector<PartStyle>& partStyles() {
    static const std::vector<PartStyle> styles = {
        {Kind::Resistor, "R", "RES", 0, {"10k", "4k7", "100", "1k", "22R", "100k"}, nullptr},
        {Kind::Capacitor, "C", "CAP", 1, {"100n", "1u", "10p", "4u7", "22n"}, nullptr},
        {Kind::Transistor, "Q", "NPN", 2, {}, "BC817"},
        {Kind::OpAmp, "U", "OPAMP", 3, {}, "LM358"},
        {Kind::ShiftRegister, "U", "LOGIC", 4, {}, "74HC595"},
        {Kind::Header, "J", "CONN", 5, {}, "HDR_2X5"},
    };
    return styles;
}

std::string upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

struct Component {
    std::size_t style = 0;  ///< into partStyles()
    std::size_t value = 0;  ///< into its style's values
    int side = 1;           ///< 1 top, 2 bottom
    int rotation = 0;       ///< degrees, a multiple of 90
    Point at;
    std::size_t firstPin = 0;
    std::string reference;

    const PartStyle& part() const { return partStyles()[style]; }
    std::string partName() const {
        const PartStyle& p = part();
        return p.values.empty() ? p.partName : p.device + ("_" + upper(p.values[value]));
    }
};

struct Pin {
    std::size_t component = 0;
    int number = 0;
    Point at;
    int layer = 1;  ///< the pad's layer number; through pins reach every layer from 1
    bool through = false;
    int net = -1;
};

struct Net {
    std::string name;
    bool plane = false;
    std::vector<std::size_t> pins;
};

struct Via {
    Point at;
    int net = 0;
    int low = 1, high = 1;  ///< layer numbers
    bool through = true;    ///< from the top layer to the bottom one
};

/// A test point of a net with an area: on one of the net's vias, or on one of its pins on
/// the area's layer (the traces file looks for both on the layer of the last area).
struct TestPoint {
    int net = 0;
    Point at;
    std::size_t pin = 0;  ///< when not on a via
    std::size_t via = 0;  ///< when on a via
    bool onVia = false;
    std::string layer;
};

/// A routed connection: from one pin to the next pin of its net, or from a plane net's
/// surface pin to the via that takes it down to the planes (a fanout, `to` unset).
struct Connection {
    int net = 0;
    std::size_t from = 0;
    std::size_t to = 0;
    bool fanout = false;
};

struct Board {
    Options options;
    Length width = 0, height = 0;
    std::string name;
    Stackup stackup;
    std::vector<Footprint> footprints;
    std::vector<std::string> powerNetNames;  ///< by plane ordinal - 1, as the attribute lists
    std::vector<int> planeNetOfLayer;        ///< by layer number; -1 for a signal layer
    std::vector<Component> components;
    std::vector<Pin> pins;
    std::vector<Net> nets;  ///< plane nets first
    std::vector<Connection> connections;
    std::vector<Via> vias;
    std::vector<TestPoint> testPoints;

    int bottomLayer() const { return stackup.count; }
    const Footprint& footprintOf(const Component& c) const {
        return footprints[c.part().footprint];
    }
};

Point clamp(const Board& board, Point p, Length margin) {
    return {std::clamp(p.x, margin, board.width - margin),
            std::clamp(p.y, margin, board.height - margin)};
}

/// A pin offset placed: mirrored for the bottom side, then turned.
Point placed(const Component& component, Point offset) {
    if (component.side == 2) {
        offset.x = -offset.x;
    }
    switch (component.rotation) {
    case 90:
        offset = {-offset.y, offset.x};
        break;
    case 180:
        offset = {-offset.x, -offset.y};
        break;
    case 270:
        offset = {offset.y, -offset.x};
        break;
    default:
        break;
    }
    return {component.at.x + offset.x, component.at.y + offset.y};
}

void makePlaneNets(Board& board) {
    static constexpr std::array<const char*, 6> k_Supplies = {"VCC",  "V3V3", "V1V8",
                                                              "V1V2", "V2V5", "V5"};
    board.planeNetOfLayer.assign(static_cast<std::size_t>(board.stackup.count) + 1, -1);
    for (std::size_t k = 1; k <= board.stackup.planeLayers.size(); ++k) {
        const std::string name = k % 2 == 1 ? "GND" : k_Supplies[(k / 2 - 1) % k_Supplies.size()];
        board.powerNetNames.push_back(name);
        const auto known = std::find_if(board.nets.begin(), board.nets.end(),
                                        [&](const Net& net) { return net.name == name; });
        int net = static_cast<int>(known - board.nets.begin());
        if (known == board.nets.end()) {
            board.nets.push_back({name, true, {}});
        }
        board.planeNetOfLayer[static_cast<std::size_t>(board.stackup.planeLayers[k - 1])] = net;
    }
}

void placeComponents(Board& board) {
    Random random = stream(board.options.seed, 1);
    const std::size_t count = static_cast<std::size_t>(board.options.components);
    board.components.resize(count);
    std::size_t perSide[3] = {0, 0, 0};
    for (std::size_t i = 0; i < count; ++i) {
        Component& c = board.components[i];
        // Weights of the part styles, in percent; the first part is a plain resistor so
        // that every board has at least one signal net.
        static constexpr std::array<int, 6> k_Weights = {30, 30, 10, 14, 8, 8};
        std::int64_t roll = i == 0 ? 0 : random.below(100);
        c.style = 0;
        while (roll >= k_Weights[c.style]) {
            roll -= k_Weights[c.style++];
        }
        const std::size_t values = c.part().values.size();
        c.value = values == 0
                      ? 0
                      : static_cast<std::size_t>(random.below(static_cast<std::int64_t>(values)));
        c.side = c.part().kind != Kind::Header && random.percent(35) ? 2 : 1;
        c.rotation = static_cast<int>(random.below(4)) * 90;
        c.reference = c.part().prefix + std::to_string(i + 1);
        ++perSide[c.side];
    }
    // Each side is a grid of cells over the board inside the margin, filled row by row; a
    // component sits near its cell's centre.
    std::size_t placedOnSide[3] = {0, 0, 0};
    const Length usableWidth = board.width - 2 * k_PlacementMargin;
    const Length usableHeight = board.height - 2 * k_PlacementMargin;
    for (Component& c : board.components) {
        const std::size_t n = perSide[c.side];
        std::size_t columns = 1;
        while (columns * columns * static_cast<std::size_t>(usableHeight)
               < n * static_cast<std::size_t>(usableWidth)) {
            ++columns;
        }
        const std::size_t rows = (n + columns - 1) / columns;
        const Length cellWidth = usableWidth / static_cast<Length>(columns);
        const Length cellHeight = usableHeight / static_cast<Length>(rows);
        const std::size_t k = placedOnSide[c.side]++;
        const Length jitterX = cellWidth / 4;
        const Length jitterY = cellHeight / 4;
        c.at = {k_PlacementMargin + static_cast<Length>(k % columns) * cellWidth + cellWidth / 2
                    + random.between(-jitterX, jitterX),
                k_PlacementMargin + static_cast<Length>(k / columns) * cellHeight + cellHeight / 2
                    + random.between(-jitterY, jitterY)};
        // Whole micrometres keep every millimetre text short.
        c.at.x -= c.at.x % 100;
        c.at.y -= c.at.y % 100;
    }
}

void makePins(Board& board) {
    for (std::size_t i = 0; i < board.components.size(); ++i) {
        Component& c = board.components[i];
        c.firstPin = board.pins.size();
        const Footprint& footprint = board.footprintOf(c);
        const bool through = k_PinPads[footprint.pad].through;
        for (std::size_t p = 0; p < footprint.pins.size(); ++p) {
            Pin pin;
            pin.component = i;
            pin.number = static_cast<int>(p) + 1;
            pin.at = placed(c, footprint.pins[p]);
            pin.through = through;
            pin.layer = !through && c.side == 2 ? board.bottomLayer() : 1;
            board.pins.push_back(pin);
        }
    }
}

/// Ground and supply pins go to the plane nets; the other pins are dealt out, a few
/// neighbours at a time, into signal nets of two to four pins.
void makeNets(Board& board) {
    Random random = stream(board.options.seed, 2);
    const bool planes = !board.nets.empty();
    std::vector<int> supplies;
    for (std::size_t n = 1; n < board.nets.size(); ++n) {
        supplies.push_back(static_cast<int>(n));
    }
    std::vector<std::size_t> signalPins;
    for (std::size_t i = 0; i < board.components.size(); ++i) {
        const Component& c = board.components[i];
        const Footprint& footprint = board.footprintOf(c);
        int ground = footprint.groundPin;
        int supply = footprint.supplyPin;
        if (c.part().kind == Kind::Capacitor && i > 0 && random.percent(50)) {
            // A decoupling capacitor: pin 1 on a supply, pin 2 on ground.
            ground = 2;
            supply = 1;
        }
        const int supplyNet = supplies.empty() ? -1
                                               : supplies[static_cast<std::size_t>(random.below(
                                                   static_cast<std::int64_t>(supplies.size())))];
        for (std::size_t p = c.firstPin; p < c.firstPin + footprint.pins.size(); ++p) {
            Pin& pin = board.pins[p];
            if (planes && pin.number == ground) {
                pin.net = 0;
            } else if (pin.number == supply && supplyNet >= 0) {
                pin.net = supplyNet;
            } else {
                signalPins.push_back(p);
            }
        }
    }
    // Shuffle within windows of neighbouring pins, so that nets stay local.
    constexpr std::size_t k_Window = 32;
    for (std::size_t start = 0; start < signalPins.size(); start += k_Window) {
        const std::size_t end = std::min(signalPins.size(), start + k_Window);
        for (std::size_t i = end - 1; i > start; --i) {
            const std::size_t j =
                start
                + static_cast<std::size_t>(random.below(static_cast<std::int64_t>(i - start + 1)));
            std::swap(signalPins[i], signalPins[j]);
        }
    }
    int counter = 0;
    for (std::size_t start = 0; start < signalPins.size();) {
        std::size_t size = static_cast<std::size_t>(random.between(2, 4));
        if (signalPins.size() - start < size + 2) {
            // The last few pins join this net rather than leave a net of one pin.
            size = signalPins.size() - start;
        }
        Net net{"N" + std::to_string(++counter), false, {}};
        net.pins.assign(signalPins.begin() + static_cast<std::ptrdiff_t>(start),
                        signalPins.begin() + static_cast<std::ptrdiff_t>(start + size));
        board.nets.push_back(std::move(net));
        start += size;
    }
    for (std::size_t p = 0; p < board.pins.size(); ++p) {
        if (board.pins[p].net >= 0) {
            board.nets[static_cast<std::size_t>(board.pins[p].net)].pins.push_back(p);
        }
    }
    for (std::size_t n = 0; n < board.nets.size(); ++n) {
        Net& net = board.nets[n];
        if (!net.plane) {
            for (const std::size_t p : net.pins) {
                board.pins[p].net = static_cast<int>(n);
            }
            // Routed from left to right.
            std::sort(net.pins.begin(), net.pins.end(), [&](std::size_t a, std::size_t b) {
                const Point pa = board.pins[a].at;
                const Point pb = board.pins[b].at;
                return pa.x != pb.x ? pa.x < pb.x : (pa.y != pb.y ? pa.y < pb.y : a < b);
            });
        }
    }
    for (std::size_t n = 0; n < board.nets.size(); ++n) {
        const Net& net = board.nets[n];
        for (std::size_t i = 0; i < net.pins.size(); ++i) {
            if (net.plane) {
                if (!board.pins[net.pins[i]].through) {
                    board.connections.push_back({static_cast<int>(n), net.pins[i], 0, true});
                }
            } else if (i > 0) {
                board.connections.push_back(
                    {static_cast<int>(n), net.pins[i - 1], net.pins[i], false});
            }
        }
    }
}

// ---- Traces file

/// Widths of one run of points: a base width, a change from some point on, a narrower
/// first point (a neck at a pin) and, on request, a point of width 0.
struct WidthPlan {
    Length base = 0;
    Length changed = 0;
    std::int64_t changeAt = -1;  ///< first point of the changed width; -1 for none
    Length neck = 0;             ///< width of the first point; 0 for none
    std::int64_t zeroAt = -1;

    Length at(std::int64_t i) const {
        if (i == zeroAt) {
            return 0;
        }
        if (i == 0 && neck > 0) {
            return neck;
        }
        return changeAt >= 0 && i >= changeAt ? changed : base;
    }
};

class TraceRouter {
public:
    TraceRouter(Board& board, Output& out)
        : m_board(board), m_out(out), m_random(stream(board.options.seed, 3)) {
        m_viaBudget =
            board.options.vias < 0 ? std::numeric_limits<std::int64_t>::max() : board.options.vias;
    }

    void write();

private:
    /// How many points connection `c` gets: two each while the segments last, the rest
    /// shared out evenly over the signal connections (over the fanouts when there are none).
    std::int64_t pointsFor(std::size_t c) const;
    void writeNet(std::size_t netIndex, std::size_t firstConnection, std::size_t endConnection);
    void writeArea(const Net& net);
    void writeFanout(const Connection& connection, std::int64_t points);
    void writeConnection(const Connection& connection, std::int64_t points);
    /// One trace record: runs of points, each on its layer, joined by vias.
    struct Run {
        int layer;
        Point from, to;
        std::int64_t points;
    };
    void writeRecord(const std::vector<Run>& runs, Length width);
    void writeRun(const Run& run, Length width);
    /// A point a little way from a pin, away from its component's centre.
    Point stubEnd(std::size_t pin, Length distance);
    /// A point moved by a small step until it differs from both `a` and `b`.
    Point apart(Point p, Point a, Point b) const;
    void addVia(Point at, int net, int layerA, int layerB);
    /// A routing layer other than `a` and `b`: an inner signal layer, now and then a plane;
    /// 0 when there is none.
    int routingLayer(int a, int b);

    Board& m_board;
    Output& m_out;
    Random m_random;
    std::int64_t m_viaBudget;
    std::int64_t m_minimum = 0;
    std::int64_t m_extra = 0;
    std::size_t m_extendable = 0;
    std::size_t m_firstExtendable = 0;
    /// The layer of the last area record: the traces file matches test points on it.
    std::string m_areaLayer;
};

std::int64_t TraceRouter::pointsFor(std::size_t c) const {
    const std::int64_t total = m_board.options.segments;
    const std::int64_t index = static_cast<std::int64_t>(c);
    if (total < m_minimum) {
        const std::int64_t full = total / 2;
        if (index < full - 1 || (index == full - 1 && total % 2 == 0)) {
            return 2;
        }
        return index == full - 1 ? 3 : 0;
    }
    std::int64_t points = 2;
    if (c >= m_firstExtendable && c - m_firstExtendable < m_extendable) {
        const auto share = [&](std::size_t i) {
            // Below 2^63: at most 10^9 extra points times 1.6 * 10^8 connections.
            return m_extra * static_cast<std::int64_t>(i) / static_cast<std::int64_t>(m_extendable);
        };
        const std::size_t i = c - m_firstExtendable;
        points += share(i + 1) - share(i);
    }
    return points;
}

void TraceRouter::write() {
    const Stackup& stackup = m_board.stackup;
    m_out
        << "# Board Station traces file written by bsgen\n"
        << "# Coordinates and widths in counts of 10 nanometres; test points in the units below.\n"
        << "# UNITS Mm\n";
    for (int layer = 1; layer <= stackup.count; ++layer) {
        m_out << "XRF " << layer << ' ' << stackup.name(layer) << '\n';
    }
    m_out << "TTT 1 0.2 15 0 0\n";

    const std::vector<Connection>& connections = m_board.connections;
    m_minimum = 2 * static_cast<std::int64_t>(connections.size());
    m_extra = std::max<std::int64_t>(0, m_board.options.segments - m_minimum);
    const auto firstSignal = std::find_if(connections.begin(), connections.end(),
                                          [](const Connection& c) { return !c.fanout; });
    m_firstExtendable = firstSignal == connections.end()
                            ? 0
                            : static_cast<std::size_t>(firstSignal - connections.begin());
    m_extendable = connections.size() - m_firstExtendable;

    std::size_t c = 0;
    for (std::size_t n = 0; n < m_board.nets.size(); ++n) {
        const std::size_t first = c;
        while (c < connections.size() && connections[c].net == static_cast<int>(n)) {
            ++c;
        }
        writeNet(n, first, c);
    }
    // A net is stored when the next header begins.
    m_out << "# END\n";
}

void TraceRouter::writeNet(std::size_t netIndex, std::size_t firstConnection,
                           std::size_t endConnection) {
    const Net& net = m_board.nets[netIndex];
    const int n = static_cast<int>(netIndex);
    // Ground carries a pour on the bottom layer; about one signal net in twelve has one.
    const bool area = net.plane ? netIndex == 0 : m_random.percent(8);
    // A net is written once it has a record: a header followed directly by another header
    // stores nothing.
    bool opened = false;
    const auto open = [&] {
        if (!opened) {
            m_out << "# NET \"" << net.name << "\"\n";
            opened = true;
        }
    };
    if (area) {
        // A FIL record ends the net before it, so it comes first in its own.
        open();
        writeArea(net);
    }
    const std::size_t firstVia = m_board.vias.size();
    for (std::size_t c = firstConnection; c < endConnection; ++c) {
        const std::int64_t points = pointsFor(c);
        if (points < 2) {
            continue;
        }
        open();
        if (m_board.connections[c].fanout) {
            writeFanout(m_board.connections[c], points);
        } else {
            writeConnection(m_board.connections[c], points);
        }
    }
    if (!area) {
        return;
    }
    // A test point on the net's first via, else on a pin of the area's layer.
    TestPoint testPoint;
    testPoint.net = n;
    testPoint.layer = m_areaLayer;
    bool found = false;
    if (m_board.vias.size() > firstVia) {
        testPoint.at = m_board.vias[firstVia].at;
        testPoint.via = firstVia;
        testPoint.onVia = true;
        found = true;
    } else {
        for (const std::size_t p : net.pins) {
            if (m_board.stackup.name(m_board.pins[p].layer) == m_areaLayer) {
                testPoint.at = m_board.pins[p].at;
                testPoint.pin = p;
                found = true;
                break;
            }
        }
    }
    if (found) {
        const int angle = m_random.percent(30) ? 45 : 0;
        const std::int64_t mask = m_random.between(1, 15);
        m_out << "TTI " << Mm{testPoint.at.x} << ' ' << Mm{testPoint.at.y} << " 1 " << angle
              << " 0.5 0.5 " << mask << '\n';
        m_board.testPoints.push_back(testPoint);
    }
}

void TraceRouter::writeArea(const Net& net) {
    const Stackup& stackup = m_board.stackup;
    const bool ground = net.plane;
    const int layer = ground ? m_board.bottomLayer()
                             : stackup.signalLayers[static_cast<std::size_t>(m_random.below(
                                 static_cast<std::int64_t>(stackup.signalLayers.size())))];
    m_areaLayer = stackup.name(layer);
    // A rectangle, or an L with its top right corner cut away; islands sit in its lower
    // part, one per column, so they never touch each other or the outline.
    const Length w = ground ? m_board.width / 3 : m_random.between(6, 20) * k_Mm;
    const Length h = ground ? m_board.height / 3 : m_random.between(6, 20) * k_Mm;
    const Point corner{m_random.between(3 * k_Mm, m_board.width - 3 * k_Mm - w),
                       m_random.between(3 * k_Mm, m_board.height - 3 * k_Mm - h)};
    std::vector<Point> outline = {
        corner, {corner.x + w, corner.y}, {corner.x + w, corner.y + h}, {corner.x, corner.y + h}};
    if (m_random.percent(40)) {
        outline = {corner,
                   {corner.x + w, corner.y},
                   {corner.x + w, corner.y + h * 3 / 5},
                   {corner.x + w * 3 / 5, corner.y + h * 3 / 5},
                   {corner.x + w * 3 / 5, corner.y + h},
                   {corner.x, corner.y + h}};
    }
    const std::int64_t islands = ground ? 3 : m_random.below(3);
    m_out << "FIL \"" << net.name << "\" \"" << m_areaLayer << "\" POLY "
          << static_cast<std::int64_t>(outline.size()) << " 1 0 0 0 20000\n";
    for (const Point p : outline) {
        m_out << "VER " << p.x << ' ' << p.y << '\n';
    }
    const Length column = w / std::max<std::int64_t>(islands, 1);
    for (std::int64_t i = 0; i < islands; ++i) {
        const Length side = std::min(column, h * 2 / 5) / 2;
        const Point low{corner.x + i * column + column / 2 - side / 2, corner.y + h / 5 - side / 2};
        m_out << "ISL 4\n"
              << "VER " << low.x << ' ' << low.y << '\n'
              << "VER " << low.x + side << ' ' << low.y << '\n'
              << "VER " << low.x + side << ' ' << low.y + side << '\n'
              << "VER " << low.x << ' ' << low.y + side << '\n';
    }
}

Point TraceRouter::stubEnd(std::size_t pin, Length distance) {
    const Pin& p = m_board.pins[pin];
    const Point centre = m_board.components[p.component].at;
    const Length dx = p.at.x >= centre.x ? distance : -distance;
    const Length dy = p.at.y >= centre.y ? distance : -distance;
    return apart(clamp(m_board, {p.at.x + dx, p.at.y + dy}, k_RoutingMargin), p.at, p.at);
}

Point TraceRouter::apart(Point p, Point a, Point b) const {
    constexpr Length k_Step = 5000;
    const std::array<Point, 4> moves = {{{0, k_Step}, {k_Step, 0}, {0, -k_Step}, {-k_Step, 0}}};
    for (std::size_t i = 0; (p == a || p == b) && i < moves.size(); ++i) {
        p = clamp(m_board, {p.x + moves[i].x, p.y + moves[i].y}, k_RoutingMargin);
    }
    return p;
}

int TraceRouter::routingLayer(int a, int b) {
    const Stackup& stackup = m_board.stackup;
    if (!stackup.planeLayers.empty() && m_random.percent(6)) {
        // A signal crossing a plane layer: the plane is cut where it runs.
        return stackup.planeLayers[static_cast<std::size_t>(
            m_random.below(static_cast<std::int64_t>(stackup.planeLayers.size())))];
    }
    std::vector<int> candidates;
    for (const int layer : stackup.signalLayers) {
        if (layer != a && layer != b) {
            candidates.push_back(layer);
        }
    }
    if (candidates.empty()) {
        return 0;
    }
    return candidates[static_cast<std::size_t>(
        m_random.below(static_cast<std::int64_t>(candidates.size())))];
}

void TraceRouter::addVia(Point at, int net, int layerA, int layerB) {
    Via via;
    via.at = at;
    via.net = net;
    via.low = std::min(layerA, layerB);
    via.high = std::max(layerA, layerB);
    if (m_random.percent(50)) {
        // Half the vias are drilled through; the others are blind, from an outer layer to
        // the layer the trace changes to.
        via.low = 1;
        via.high = m_board.bottomLayer();
    }
    via.through = via.low == 1 && via.high == m_board.bottomLayer();
    m_board.vias.push_back(via);
    --m_viaBudget;
}

void TraceRouter::writeFanout(const Connection& connection, std::int64_t points) {
    const Pin& pin = m_board.pins[connection.from];
    const Point via = stubEnd(connection.from, m_random.between(50, 100) * 1000);
    writeRecord({{pin.layer, pin.at, via, points}}, m_random.percent(50) ? 30000 : 40000);
    if (m_viaBudget > 0) {
        addVia(via, connection.net, 1, m_board.bottomLayer());
    }
}

void TraceRouter::writeConnection(const Connection& connection, std::int64_t points) {
    const Pin& a = m_board.pins[connection.from];
    const Pin& b = m_board.pins[connection.to];
    static constexpr std::array<Length, 5> k_Widths = {10000, 12700, 15000, 20000, 25400};
    const Length width = k_Widths[static_cast<std::size_t>(m_random.below(k_Widths.size()))];
    const int middle =
        points >= 6 && m_viaBudget >= 2 && (a.layer != b.layer || m_random.percent(70))
            ? routingLayer(a.layer, b.layer)
            : 0;
    if (middle != 0) {
        // Down from pin a, across on the routing layer, up to pin b.
        const Point a1 = stubEnd(connection.from, m_random.between(40, 120) * 1000);
        const Point b1 = apart(stubEnd(connection.to, m_random.between(40, 120) * 1000), a1, a1);
        writeRecord({{a.layer, a.at, a1, 2}, {middle, a1, b1, points - 4}, {b.layer, b1, b.at, 2}},
                    width);
        addVia(a1, connection.net, a.layer, middle);
        addVia(b1, connection.net, middle, b.layer);
    } else if (points >= 4 && m_viaBudget >= 1 && a.layer != b.layer) {
        const Point mid = apart(clamp(m_board,
                                      {(a.at.x + b.at.x) / 2 + m_random.between(-100, 100) * 1000,
                                       (a.at.y + b.at.y) / 2 + m_random.between(-100, 100) * 1000},
                                      k_RoutingMargin),
                                a.at, b.at);
        writeRecord({{a.layer, a.at, mid, points / 2}, {b.layer, mid, b.at, points - points / 2}},
                    width);
        addVia(mid, connection.net, a.layer, b.layer);
    } else {
        writeRecord({{a.layer, a.at, b.at, points}}, width);
    }
}

void TraceRouter::writeRecord(const std::vector<Run>& runs, Length width) {
    std::int64_t total = 0;
    for (const Run& run : runs) {
        total += run.points;
    }
    m_out << (m_random.percent(10) ? "WIR " : "ANT ") << total << '\n';
    for (const Run& run : runs) {
        writeRun(run, width);
    }
}

void TraceRouter::writeRun(const Run& run, Length width) {
    const std::int64_t m = run.points;
    WidthPlan plan;
    plan.base = width;
    if (m >= 3 && m_random.percent(30)) {
        plan.changeAt = m_random.between(1, m - 1);
        plan.changed = m_random.percent(50) ? width * 3 / 2 : width * 2 / 3;
    }
    if (m_random.percent(20)) {
        plan.neck = width / 2;
    }
    if (m_board.options.zeroWidths && m_random.percent(10)) {
        plan.zeroAt = m_random.below(m);
    }
    // The points in between zigzag across the straight line from one end to the other.
    const Point p = run.from;
    const Point q = run.to;
    const Length amplitude = m_random.between(20, 150) * 1000;
    const bool acrossY = (q.x > p.x ? q.x - p.x : p.x - q.x) >= (q.y > p.y ? q.y - p.y : p.y - q.y);
    const std::string layer = " " + std::to_string(run.layer) + " ";
    Point previous = p;
    for (std::int64_t i = 0; i < m; ++i) {
        Point point = p;
        if (i == m - 1) {
            // Only a run of two points from a place to the same place can meet this.
            point = q == previous && i > 0 ? apart(q, previous, previous) : q;
        } else if (i > 0) {
            const Length offset = i % 2 == 1 ? amplitude : -amplitude;
            const auto along = [&](Length from, Length to) {
                return from + (to - from) * i / (m - 1);
            };
            point = {along(p.x, q.x) + (acrossY ? 0 : offset),
                     along(p.y, q.y) + (acrossY ? offset : 0)};
            point = apart(clamp(m_board, point, k_RoutingMargin), previous, q);
        }
        m_out << "SEG " << point.x << ' ' << point.y << layer << plan.at(i) << '\n';
        previous = point;
    }
}

// ---- Neutral file

void writeNeutralFile(const Board& board, Output& out) {
    const Stackup& stackup = board.stackup;
    const int bottom = board.bottomLayer();
    out << "# Board Station neutral file written by bsgen\n"
        << "BOARD " << board.name << " OFFSET x:0 y:0 ORIENTATION 0 B_UNITS mm\n#\n";
    if (!board.powerNetNames.empty()) {
        out << "B_ATTR 'POWER_NET_NAMES'";
        for (std::size_t i = 0; i < board.powerNetNames.size(); ++i) {
            out << (i == 0 ? " '" : "  '") << board.powerNetNames[i] << '\''
                << (i + 1 < board.powerNetNames.size() ? ", -\n" : "\n");
        }
    }
    out << "B_ATTR 'BOARD_ROUTING_OUTLINE' 'POLY' 0 0 " << Mm{board.width} << " 0 -\n  "
        << Mm{board.width} << ' ' << Mm{board.height} << " 0 " << Mm{board.height} << '\n'
        << "B_ATTR 'BOARD_PLACEMENT_GRID' 'GRID' 0.05 0.05\n#\n";
    for (const Point hole : {Point{4 * k_Mm, 4 * k_Mm}, Point{board.width - 4 * k_Mm, 4 * k_Mm},
                             Point{board.width - 4 * k_Mm, board.height - 4 * k_Mm},
                             Point{4 * k_Mm, board.height - 4 * k_Mm}}) {
        out << "B_ADDP 'TOOLING_HOLE' 'HOLE_3' " << Mm{hole.x} << ' ' << Mm{hole.y} << " 1 "
            << bottom << " 0 0\n";
    }
    out << "#\n";

    // Nets with their pins, vias and test points. Vias and test points were made net by net.
    std::vector<std::vector<std::size_t>> viasOfNet(board.nets.size());
    for (std::size_t v = 0; v < board.vias.size(); ++v) {
        viasOfNet[static_cast<std::size_t>(board.vias[v].net)].push_back(v);
    }
    std::vector<std::vector<std::size_t>> testsOfNet(board.nets.size());
    for (std::size_t t = 0; t < board.testPoints.size(); ++t) {
        testsOfNet[static_cast<std::size_t>(board.testPoints[t].net)].push_back(t);
    }
    for (std::size_t n = 0; n < board.nets.size(); ++n) {
        const Net& net = board.nets[n];
        out << "NET " << net.name << '\n';
        // A property list runs to the next pin line, so only a net with pins has one.
        if (!net.pins.empty() && (net.plane || n % 7 == 0)) {
            out << (net.plane ? "N_PROP (NET_TYPE,\"POWER\")\n" : "N_PROP (CRITICAL,\"YES\")\n");
        }
        for (const std::size_t p : net.pins) {
            const Pin& pin = board.pins[p];
            const Component& c = board.components[pin.component];
            const int last = pin.through ? bottom : pin.layer;
            out << "N_PIN " << c.reference << '-' << pin.number << ' ' << Mm{pin.at.x} << ' '
                << Mm{pin.at.y} << " '" << stackup.name(pin.layer) << "' " << pin.layer << ' '
                << last << '\n';
        }
        for (const std::size_t v : viasOfNet[n]) {
            const Via& via = board.vias[v];
            out << "N_VIA " << Mm{via.at.x} << ' ' << Mm{via.at.y} << " '"
                << k_ViaPads[via.through ? 0 : 1].name << "' " << via.low << ' ' << via.high
                << '\n';
        }
        for (const std::size_t t : testsOfNet[n]) {
            const TestPoint& test = board.testPoints[t];
            if (test.onVia) {
                out << "N_TEST PAD " << Mm{test.at.x} << ' ' << Mm{test.at.y} << " '"
                    << k_ViaPads[board.vias[test.via].through ? 0 : 1].name << "' '" << test.layer
                    << "'\n";
            } else {
                const Pin& pin = board.pins[test.pin];
                out << "N_TEST PIN " << Mm{test.at.x} << ' ' << Mm{test.at.y} << " '"
                    << board.components[pin.component].reference << "' '" << pin.number << "' TP"
                    << static_cast<std::int64_t>(t + 1) << '\n';
            }
        }
    }
    out << "#\n";

    for (const Footprint& footprint : board.footprints) {
        out << "GEOM '" << footprint.name << "'\n";
        for (std::size_t p = 0; p < footprint.pins.size(); ++p) {
            out << "G_PIN " << static_cast<std::int64_t>(p + 1) << ' ' << Mm{footprint.pins[p].x}
                << ' ' << Mm{footprint.pins[p].y} << " '" << k_PinPads[footprint.pad].name
                << "' 'SIGNAL_1' 0\n";
        }
        const Length w = footprint.halfWidth;
        const Length h = footprint.halfHeight;
        // The word after the numbers is used up unread, so a comment line follows; a
        // second one ends the record.
        out << "G_ATTR 'COMPONENT_PLACEMENT_OUTLINE' POLY " << Mm{-w} << ' ' << Mm{-h} << ' '
            << Mm{w} << ' ' << Mm{-h} << " -\n  " << Mm{w} << ' ' << Mm{h} << ' ' << Mm{-w} << ' '
            << Mm{h} << "\n#\n#\n";
    }

    static constexpr std::array<const char*, 3> k_Tolerances = {"1%", "5%", "0.1%"};
    for (std::size_t i = 0; i < board.components.size(); ++i) {
        const Component& c = board.components[i];
        const PartStyle& part = c.part();
        const Footprint& footprint = board.footprintOf(c);
        out << "COMP '" << c.reference << "' '" << c.partName() << "' '" << footprint.name << "' '"
            << part.device << "' " << Mm{c.at.x} << ' ' << Mm{c.at.y} << ' ' << c.side << ' '
            << c.rotation << '\n';
        if (part.values.empty()) {
            out << "C_PROP (VALUE,\"" << part.partName << "\") (PART_NUMBER,\"" << part.partName
                << "-" << c.reference << "\")\n";
        } else {
            out << "C_PROP (Value,\"" << part.values[c.value] << "\") (TOLERANCE,\""
                << k_Tolerances[i % k_Tolerances.size()] << "\")\n";
        }
        for (std::size_t p = c.firstPin; p < c.firstPin + footprint.pins.size(); ++p) {
            const Pin& pin = board.pins[p];
            out << "C_PIN '" << c.reference << '-' << pin.number << "' " << Mm{pin.at.x} << ' '
                << Mm{pin.at.y} << ' ' << pin.layer << " 1 " << c.rotation << " '"
                << k_PinPads[footprint.pad].name << "' '" << pin.number << "'\n";
        }
    }
    out << "#\n";

    for (const PadStyle& pad : k_PinPads) {
        if (pad.through) {
            out << "PAD PIN '" << pad.name << "' Thru " << Mm{pad.drill} << " PTH\n";
            for (int layer = 1; layer <= stackup.count; ++layer) {
                out << "P_SHAPE '" << stackup.name(layer) << "' "
                    << (stackup.isPlane(layer) ? "'ANTIPAD' CIRCLE " : "'PAD' CIRCLE ")
                    << Mm{stackup.isPlane(layer) ? pad.antipad : pad.width} << '\n';
            }
        } else {
            out << "PAD PIN '" << pad.name << "' Surf 0\n"
                << "P_SHAPE 'SIGNAL_1' 'PAD' RECTANGLE " << Mm{pad.width} << ' ' << Mm{pad.height}
                << " CENTER 0 0\n"
                << "P_SHAPE 'PAD_1' 'PAD' RECTANGLE " << Mm{pad.width} << ' ' << Mm{pad.height}
                << '\n';
        }
    }
    for (const PadStyle& pad : k_ViaPads) {
        out << "PAD VIA '" << pad.name << "' Thru " << Mm{pad.drill} << '\n';
        for (int layer = 1; layer <= stackup.count; ++layer) {
            out << "V_SHAPE '" << stackup.name(layer) << "' "
                << (stackup.isPlane(layer) ? "'ANTIPAD' CIRCLE " : "'PAD' CIRCLE ")
                << Mm{stackup.isPlane(layer) ? pad.antipad : pad.width} << '\n';
        }
    }
    out << "#\n";
    out << "HOLE D100 " << Mm{k_PinPads[4].drill} << " 1 " << bottom << " 1\n"
        << "HOLE D25 " << Mm{k_ViaPads[0].drill} << " 1 " << bottom << " 1\n";
    for (std::size_t t = 0; t < board.testPoints.size(); ++t) {
        const TestPoint& test = board.testPoints[t];
        out << "FIXTURE TP" << static_cast<std::int64_t>(t + 1) << ' ' << Mm{test.at.x} << ' '
            << Mm{test.at.y} << " BOTTOM 1 PROBE_50\n";
    }
    out << "#\n";
}

// ---- Geometry file

/// The shapes that cut the plane layers, in order: the clearance of every via and through
/// pin on each plane of another net it passes, then keep-out polygons; past the natural
/// list, more polygons and circles anywhere on the board.
class Antipads {
public:
    explicit Antipads(const Board& board) : m_board(board) {}

    /// Writes them, `wanted` of them (all when negative).
    void write(Output& out, std::int64_t wanted);

private:
    void circle(Output& out, int layer, Point at, Length diameter);
    void polygon(Output& out, int layer, Point at, Random& random);
    bool full() const { return m_wanted >= 0 && m_written >= m_wanted; }

    const Board& m_board;
    std::int64_t m_wanted = -1;
    std::int64_t m_written = 0;
};

void Antipads::circle(Output& out, int layer, Point at, Length diameter) {
    out << "$$circle( \"" << m_board.stackup.name(layer) << "\", " << Mm{at.x} << ", " << Mm{at.y}
        << ", " << Mm{diameter} << ", 0.0);\n";
    ++m_written;
}

void Antipads::polygon(Output& out, int layer, Point at, Random& random) {
    const Length w = random.between(5, 30) * 10000;
    const Length h = random.between(5, 30) * 10000;
    std::vector<Point> points = {
        {at.x - w, at.y - h}, {at.x + w, at.y - h}, {at.x + w, at.y + h}, {at.x - w, at.y + h}};
    if (random.percent(40)) {
        // An octagon, as drawn around a press-fit pin.
        const Length c = std::min(w, h) / 3;
        points = {{at.x - w + c, at.y - h}, {at.x + w - c, at.y - h}, {at.x + w, at.y - h + c},
                  {at.x + w, at.y + h - c}, {at.x + w - c, at.y + h}, {at.x - w + c, at.y + h},
                  {at.x - w, at.y + h - c}, {at.x - w, at.y - h + c}};
    }
    out << "$$polygon( \"" << m_board.stackup.name(layer) << "\", @solid, [";
    for (std::size_t i = 0; i < points.size(); ++i) {
        out << (i == 0 ? "" : ", ") << Mm{points[i].x} << ", " << Mm{points[i].y};
    }
    out << "] );\n";
    ++m_written;
}

void Antipads::write(Output& out, std::int64_t wanted) {
    m_wanted = wanted;
    const Board& board = m_board;
    const std::vector<int>& planes = board.stackup.planeLayers;
    if (planes.empty()) {
        return;
    }
    const auto ofOtherNet = [&](int layer, int net) {
        return board.planeNetOfLayer[static_cast<std::size_t>(layer)] != net;
    };
    for (const Via& via : board.vias) {
        for (const int layer : planes) {
            if (layer >= via.low && layer <= via.high && ofOtherNet(layer, via.net) && !full()) {
                circle(out, layer, via.at, k_ViaPads[via.through ? 0 : 1].antipad);
            }
        }
    }
    for (const Pin& pin : board.pins) {
        for (const int layer : planes) {
            if (pin.through && ofOtherNet(layer, pin.net) && !full()) {
                circle(out, layer, pin.at, k_PinPads[4].antipad);
            }
        }
    }
    Random random = stream(board.options.seed, 4);
    const auto somewhere = [&] {
        return Point{random.between(5, board.width / k_Mm - 5) * k_Mm + random.below(100) * 1000,
                     random.between(5, board.height / k_Mm - 5) * k_Mm + random.below(100) * 1000};
    };
    const std::int64_t keepOuts = std::max<std::int64_t>(static_cast<std::int64_t>(planes.size()),
                                                         board.options.components / 25);
    for (std::int64_t i = 0; i < keepOuts && !full(); ++i) {
        const Point at = somewhere();
        polygon(out, planes[static_cast<std::size_t>(i) % planes.size()], at, random);
    }
    for (std::int64_t i = 0; !full() && m_wanted >= 0; ++i) {
        const int layer = planes[static_cast<std::size_t>(i) % planes.size()];
        const Point at = somewhere();
        if (i % 2 == 0) {
            circle(out, layer, at, random.between(40, 120) * 1000);
        } else {
            polygon(out, layer, at, random);
        }
    }
}

void writeGeometryFile(const Board& board, Output& out) {
    const Stackup& stackup = board.stackup;
    constexpr std::string_view k_Page = "$$page (0.0, 0.0, 0.0, @Mm, 1.0, 1.0) ;\n";
    const Mm w{board.width};
    const Mm h{board.height};
    out << "/ Board Station geometry file written by bsgen. Lengths in millimetres; pins and\n"
        << "/ vias are drawn about their origin. The board's shapes on the plane layers are\n"
        << "/ the clearances that cut the planes.\n"
        << "$$create_board(\"" << board.name << "\");\n"
        << k_Page << "$$attribute( \"BOARD_ROUTING_OUTLINE\", [0.0, 0.0, " << w << ", 0.0, " << w
        << ", " << h << ", 0.0, " << h << "] );\n"
        << "$$path( \"BOARD_OUTLINE\", 0.2, @open, [0.0, 0.0, " << w << ", 0.0, " << w << ", " << h
        << ", 0.0, " << h << ", 0.0, 0.0] );\n"
        << "$$text( \"SILKSCREEN_1\", \"" << board.name << " REV A\", 5.0, "
        << Mm{board.height - 5 * k_Mm} << ", 2.0, @BL, 30.0, 0.0);\n";
    Antipads(board).write(out, board.options.antipads);

    for (const Footprint& footprint : board.footprints) {
        const Mm x{footprint.halfWidth};
        const Mm y{footprint.halfHeight};
        const Mm mx{-footprint.halfWidth};
        const Mm my{-footprint.halfHeight};
        out << "$$create_component(\"" << footprint.name << "\");\n"
            << k_Page << "$$attribute( \"COMPONENT_PLACEMENT_OUTLINE\", [" << mx << ", " << my
            << ", " << x << ", " << my << ", " << x << ", " << y << ", " << mx << ", " << y
            << "] );\n"
            << "$$path( \"SILKSCREEN_1\", 0.12, @open, [" << mx << ", " << my << ", " << x << ", "
            << my << ", " << x << ", " << y << ", " << mx << ", " << y << "] );\n";
    }
    for (const PadStyle& pad : k_PinPads) {
        out << "$$create_pin(\"" << pad.name << "\");\n" << k_Page;
        const Mm x{pad.width / 2};
        const Mm y{pad.height / 2};
        const Mm mx{-pad.width / 2};
        const Mm my{-pad.height / 2};
        if (pad.through) {
            // A square pin 1 marking on the top layer over the round pads.
            out << "$$polygon( \"SIGNAL_1\", @solid, [" << mx << ", " << my << ", " << x << ", "
                << my << ", " << x << ", " << y << ", " << mx << ", " << y << "] );\n";
            for (const int layer : stackup.signalLayers) {
                out << "$$circle( \"" << stackup.name(layer) << "\", 0.0, 0.0, " << Mm{pad.width}
                    << ", 0.0);\n";
            }
            continue;
        }
        for (const char* layer : {"PAD_1", "SIGNAL_1"}) {
            out << "$$polygon( \"" << layer << "\", @solid, [" << mx << ", " << my << ", " << x
                << ", " << my << ", " << x << ", " << y << ", " << mx << ", " << y << "] );\n";
        }
        // A short neck out of the pad, merged with it into one outline.
        out << "$$path( \"SIGNAL_1\", " << Mm{pad.height / 2} << ", @open, [0.0, 0.0, " << x
            << ", 0.0] );\n";
    }
    for (const PadStyle& pad : k_ViaPads) {
        const Mm x{pad.width / 2};
        const Mm mx{-pad.width / 2};
        out << "$$create_via(\"" << pad.name << "\");\n"
            << k_Page << "$$initial([" << mx << ", " << mx << "]);\n"
            << "$$terminal([" << x << ", " << mx << "]);\n"
            << "$$terminal([" << x << ", " << x << "]);\n"
            << "$$terminal([" << mx << ", " << x << "]);\n"
            << "$$polygon( \"SIGNAL_1\"), @solid);\n";
        for (const int layer : stackup.signalLayers) {
            if (layer != 1) {
                out << "$$circle( \"" << stackup.name(layer) << "\", 0.0, 0.0, " << Mm{pad.width}
                    << ", 0.0);\n";
            }
        }
    }
    out << "$$create_stackup(\"BOARD_STACKUP\");\n"
        << k_Page << "$$attribute( \"STACKUP_ID_LAYER_DEFINITION\", \"";
    for (int layer = 1; layer <= stackup.count; ++layer) {
        out << (layer == 1 ? "" : " ") << stackup.name(layer);
    }
    out << "\" );\n";
}

// ---- The small files

void writeLayerFile(const Board& board, Output& out) {
    const Stackup& stackup = board.stackup;
    out << "# Board Station layer file written by bsgen\n"
        << "# name number type, then thirteen attributes (the second is the copper thickness)\n";
    for (int layer = 1; layer <= stackup.count; ++layer) {
        out << stackup.name(layer) << ' ' << layer
            << (stackup.isPlane(layer) ? " POWER" : " SIGNAL") << " 0 1 0 0 0 0 0 0 0 0 0 0 0\n";
    }
    int number = stackup.count;
    for (const char* name : {"PAD_1", "PAD_2", "SILKSCREEN_1", "SILKSCREEN_2", "SOLDER_MASK_1",
                             "SOLDER_MASK_2", "BOARD_OUTLINE"}) {
        std::string type(name);
        if (type.size() > 2 && type[type.size() - 2] == '_') {
            type.resize(type.size() - 2);
        }
        out << name << ' ' << ++number << ' ' << type << " 0 0 0 0 0 0 0 0 0 0 0 0 0\n";
    }
}

void writeTechFile(const Board& board, Output& out) {
    out << "// Board Station technology file written by bsgen\n"
        << "$$define_technology( \"PCB\");\n"
        << "$$define_rule_board( @DOUBLE);\n";
    for (int layer = 1; layer <= board.stackup.count; ++layer) {
        const std::string& name = board.stackup.name(layer);
        out << "$$define_physical_layer( " << layer << " , \"" << name << "\", \"" << name
            << "\");\n";
    }
}

/// The pin groups of a footprint: "(1,2,3)".
std::string pinGroup(const std::vector<int>& numbers) {
    std::string group = "(";
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        group += (i == 0 ? "" : ",") + std::to_string(numbers[i]);
    }
    return group + ")";
}

void writePinsFile(const Board& board, Output& out) {
    out << "# Board Station pins file written by bsgen\n";
    std::map<std::string, std::size_t> pinCounts;
    for (const Component& c : board.components) {
        pinCounts.emplace(c.partName(), board.footprintOf(c).pins.size());
    }
    for (const auto& [part, count] : pinCounts) {
        std::vector<int> numbers;
        for (std::size_t p = 1; p <= count; ++p) {
            numbers.push_back(static_cast<int>(p));
        }
        out << "PIN " << part << ' ' << pinGroup(numbers) << '\n';
    }
}

void writeGatesFile(const Board& board, Output& out) {
    out << "# Board Station gates file written by bsgen\n";
    // Gate pin names by kind; a gate's entries are 'name':terminal and the pin's place in
    // the gate.
    const auto gate = [&](const Component& c, const char* name, int number,
                          const std::vector<std::pair<const char*, int>>& entries) {
        out << "GATE " << c.reference << ' ' << name << " ' ' " << number << ' ';
        std::vector<int> terminals;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            out << '\'' << entries[i].first << "':" << entries[i].second << ' '
                << static_cast<std::int64_t>(i + 1) << ' ';
            terminals.push_back(entries[i].second);
        }
        out << pinGroup(terminals) << '\n';
    };
    for (const Component& c : board.components) {
        switch (c.part().kind) {
        case Kind::Resistor:
        case Kind::Capacitor:
            gate(c, "A", 1, {{"A", 1}, {"B", 2}});
            break;
        case Kind::Transistor:
            gate(c, "A", 1, {{"B", 1}, {"E", 2}, {"C", 3}});
            break;
        case Kind::OpAmp:
            gate(c, "A", 1, {{"OUT", 1}, {"IN-", 2}, {"IN+", 3}});
            gate(c, "B", 2, {{"OUT", 7}, {"IN-", 6}, {"IN+", 5}});
            out << "PINSET " << c.reference << " LM358 1 V+ V- [ 8 4 ]\n";
            break;
        case Kind::ShiftRegister: {
            std::vector<std::pair<const char*, int>> entries;
            static constexpr std::array<const char*, 14> k_Names = {
                "QB",  "QC",    "QD",    "QE",   "QF", "QG",  "QH",
                "QH'", "SRCLR", "SRCLK", "RCLK", "OE", "SER", "QA"};
            const std::array<int, 14> terminals = {1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 14, 15};
            for (std::size_t i = 0; i < k_Names.size(); ++i) {
                entries.emplace_back(k_Names[i], terminals[i]);
            }
            gate(c, "A", 1, entries);
            break;
        }
        case Kind::Header:
            gate(c, "A", 1,
                 {{"P1", 1},
                  {"P2", 2},
                  {"P3", 3},
                  {"P4", 4},
                  {"P5", 5},
                  {"P6", 6},
                  {"P7", 7},
                  {"P8", 8}});
            break;
        }
    }
}

bool writeFile(const std::filesystem::path& directory, const char* name,
               const std::function<void(Output&)>& contents) {
    Output out;
    if (!out.open(directory / name)) {
        std::fprintf(stderr, "bsgen: cannot write %s\n", out.path().c_str());
        return false;
    }
    contents(out);
    if (!out.close()) {
        std::fprintf(stderr, "bsgen: cannot write %s\n", out.path().c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    bool help = false;
    const std::string complaint = parseOptions(argc, argv, options, help);
    if (help) {
        std::fputs(k_Help, stdout);
        return 0;
    }
    if (!complaint.empty()) {
        std::fprintf(stderr, "bsgen: %s\n(bsgen --help lists the options)\n", complaint.c_str());
        return 2;
    }
    const std::filesystem::path directory(options.out);
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (error) {
        std::fprintf(stderr, "bsgen: cannot create %s\n", options.out.c_str());
        return 1;
    }

    Board board;
    board.options = options;
    board.width = options.widthMm * k_Mm;
    board.height = options.heightMm * k_Mm;
    board.name = "BSGEN_" + std::to_string(options.seed);
    board.stackup = makeStackup(options.layers, options.planes);
    board.footprints = makeFootprints();
    makePlaneNets(board);
    placeComponents(board);
    makePins(board);
    makeNets(board);

    // The traces come first: routing them decides the vias and test points the others list.
    bool ok = writeFile(directory, "MentorTracesFile",
                        [&](Output& out) { TraceRouter(board, out).write(); });
    const std::int64_t routed = static_cast<std::int64_t>(board.vias.size());
    const std::int64_t stitching =
        options.vias >= 0 ? std::max<std::int64_t>(0, options.vias - routed)
                          : (board.stackup.planeLayers.empty() ? 0 : options.components / 10);
    Random random = stream(options.seed, 5);
    for (std::int64_t i = 0; i < stitching; ++i) {
        // Stitching vias tie the ground planes together; a board without planes gives them
        // to its first net.
        Via via;
        via.at = {random.between(5 * k_Mm, board.width - 5 * k_Mm) / 100 * 100,
                  random.between(5 * k_Mm, board.height - 5 * k_Mm) / 100 * 100};
        via.net = 0;
        via.low = 1;
        via.high = board.bottomLayer();
        board.vias.push_back(via);
    }
    ok = ok && writeFile(directory, "MentorNeutralFile", [&](Output& out) {
             writeNeutralFile(board, out);
         });
    ok = ok && writeFile(directory, "MentorGeometryFile", [&](Output& out) {
             writeGeometryFile(board, out);
         });
    ok = ok && writeFile(directory, "MentorLayerFile", [&](Output& out) {
             writeLayerFile(board, out);
         });
    ok = ok
         && writeFile(directory, "MentorTechFile", [&](Output& out) { writeTechFile(board, out); });
    ok = ok
         && writeFile(directory, "MentorPinsFile", [&](Output& out) { writePinsFile(board, out); });
    ok = ok && writeFile(directory, "MentorGatesFile", [&](Output& out) {
             writeGatesFile(board, out);
         });
    return ok ? 0 : 1;
}
