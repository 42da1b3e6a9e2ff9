#include "mentor/TracesFileReader.h"

#include <cmath>
#include <exception>
#include <iterator>
#include <map>
#include <utility>
#include <vector>

#include "corelib/Assert.h"
#include "corelib/FileText.h"
#include "corelib/Platform.h"
#include "mentor/Arena.h"
#include "mentor/MentorParser.h"
#include "mentor/TextStream.h"
#include "mentor/Units.h"

using namespace MentorBS;

namespace {

/// How close a test point must be to a pin or via, in design units.
constexpr double k_SamePosition = 0.00001;

class TracesFileReader {
public:
    TracesFileReader(MentorParser& parser, std::string_view text) : m_parser(parser), m_in(text) {}

    void read();

private:
    // # NET "<name>" | # UNITS <units> | # <anything else>
    void readHeader();
    // ANT|WIR|INC <count>, then <count> lines SEG <x> <y> <layer> <width>
    void readTrace(std::string_view keyword);
    // ARS|FIL "<net>" "<layer>" <type> <count> [FIL: <fill> <i> <i> <i> <width>], VER lines
    void readArea(bool fill);
    // ISL|ISS <count>, then <count> lines VER <x> <y>
    void readIsland();
    // XRF <layer number> <name>
    void readXRF();
    // TTT <key> <line width> <int> <int> <value>
    void readTTT();
    // TTI <x> <y> <owner> [<angle> <arm x> <arm y> <arm mask>]
    void readTTI();

    /// Reads VER lines up to `count` vertices; other words are passed over uncounted.
    void readVertices(int count, CoordinateList& vertices);
    /// Turns a run of one layer (x, y, width per point) into a trace of the current net.
    void makeTrace(std::vector<double>& run, int layerNumber, std::string_view keyword);
    /// Stores the current net with its traces and areas and starts afresh.
    void completeNet();
    /// The traces file's unit in the board's unit.
    double unitFactor() const { return conversionFactor(m_parser.model.unitsName, m_unitsName); }
    /// The neutral file's nets of the current net's name, in element order.
    const std::vector<const Net*>& netsNamed(const std::string& name);

    MentorParser& m_parser;
    TextStream m_in;
    bool m_inNet = false;
    std::string m_netName;
    std::string m_layerName;
    std::string m_unitsName;
    /// The width of the last FIL record; ARS areas have none of their own.
    double m_fillWidth = 0;
    /// The points of the current layer (kept between records for its room).
    std::vector<double> m_run;
    std::vector<TraceRecord> m_traces;
    std::vector<AreaRecord> m_areas;
    std::vector<AreaRecord> m_islands;
    /// The element list's nets by name, built at the first test point.
    std::map<std::string, std::vector<const Net*>> m_netsByName;
    bool m_netsIndexed = false;
};

void TracesFileReader::read() {
    std::string_view token = m_in.word();
    while (m_in.good()) {
        if (beginsWith(token, '#')) {
            readHeader();
            token = m_in.word();
            continue;
        }
        if (token == "ANT" || token == "WIR" || token == "INC") {
            readTrace(token);
        } else if (token == "ARS" || token == "FIL") {
            readArea(token == "FIL");
        } else if (token == "ISL" || token == "ISS") {
            readIsland();
        } else if (token == "XRF") {
            readXRF();
        } else if (token == "TTT") {
            readTTT();
        } else if (token == "TTI") {
            readTTI();
        } else if (!token.empty()) {
            m_parser.model.readCounts.traces.skip(SkipReason::UnknownKeyword);
        }
        token = m_in.word();
        // A net ends where the next header, an ST record or a FIL area begins; a net
        // still open at the end of the file is not stored.
        if (m_inNet && (beginsWith(token, '#') || token == "ST" || token == "FIL")) {
            completeNet();
        }
    }
    if (m_inNet || !m_traces.empty() || !m_areas.empty() || !m_islands.empty()) {
        m_parser.model.readCounts.traces.skip(SkipReason::NetOpenAtEnd);
    }
}

void TracesFileReader::readHeader() {
    const std::string_view kind = m_in.word();
    if (kind == "NET") {
        m_netName = cut(m_in.quoted(), 1, 1);
        m_inNet = true;
    } else if (kind == "UNITS") {
        m_unitsName = m_in.word();
    } else {
        m_in.ignoreLine();
    }
}

void TracesFileReader::readTrace(std::string_view keyword) {
    ++m_parser.model.readCounts.traces.records;
    int count = 0;
    m_in.number(count);
    m_in.ignoreLine();
    // Points gather into a run while they stay on one layer; a change of layer turns
    // the run into a trace, so the run of a layer met again starts empty.
    std::vector<double>& run = m_run;
    run.clear();
    int runLayer = 0;
    for (int taken = 0; taken < count;) {
        const std::string_view token = m_in.word();
        if (token.empty()) {
            break;
        }
        if (token != "SEG") {
            m_in.ignoreLine();
            continue;
        }
        double x = 0;
        double y = 0;
        int layer = 0;
        m_in.number(x);
        m_in.number(y);
        m_in.number(layer);
        int width = 0;
        if (!isDecimalInteger(m_in.word(), width)) {
            width = 0;
        }
        m_in.ignoreLine();
        if (taken > 0 && layer != runLayer) {
            makeTrace(run, runLayer, keyword);
        }
        run.insert(run.end(), {x, y, static_cast<double>(width)});
        runLayer = layer;
        ++taken;
    }
    makeTrace(run, runLayer, keyword);
}

void TracesFileReader::makeTrace(std::vector<double>& run, int layerNumber,
                                 std::string_view keyword) {
    if (run.size() < 6) {
        // A single point draws nothing.
        m_parser.model.readCounts.traces.skip(SkipReason::TooFewCoordinates);
        run.clear();
        return;
    }
    // A copy of the exact size; the run keeps its room for the next one.
    std::vector<double> values(run);
    run.clear();
    const auto layer = m_parser.model.layerNumbers.find(layerNumber);
    if (layer == m_parser.model.layerNumbers.end()) {
        m_parser.model.readCounts.traces.skip(SkipReason::UnknownLayerNumber);
        m_parser.model.readCounts.undefinedTraceLayers.add(std::to_string(layerNumber));
        platform::reporter().standardOutput(m_netName + " has invalid layer number."
                                            + " not found\n");
        return;
    }
    bool crossReferenced = false;
    for (const auto& [xrfName, layerName] : m_parser.model.xrfToLayerName) {
        crossReferenced = crossReferenced || layerName == layer->second;
    }
    if (!crossReferenced) {
        m_parser.model.readCounts.traces.skip(SkipReason::LayerNotCrossReferenced);
        VCORE_ASSERT_TEXT("MentorParser", false, "false");
        return;
    }
    m_traces.push_back({layer->second, std::move(values), std::string(keyword)});
}

void TracesFileReader::readArea(bool fill) {
    ++m_parser.model.readCounts.traces.records;
    m_netName = cut(m_in.word(), 1, 1);
    m_layerName = cut(m_in.word(), 1, 1);
    const std::string_view type = m_in.word();
    int count = 0;
    m_in.number(count);
    bool dropped = false;
    if (fill) {
        int filled = 0;
        m_in.number(filled);
        dropped = filled == 0;
        int unused = 0;
        m_in.number(unused);
        m_in.number(unused);
        m_in.number(unused);
        m_in.number(m_fillWidth);
    }
    m_in.ignoreLine();
    CoordinateList vertices;
    readVertices(count, vertices);
    if (type != "CUTOUT" && !dropped) {
        m_areas.push_back({m_layerName, std::move(vertices), m_fillWidth});
    } else {
        m_parser.model.readCounts.traces.skip(type == "CUTOUT" ? SkipReason::CutoutArea
                                                               : SkipReason::UnfilledArea);
    }
    m_inNet = true;
}

void TracesFileReader::readIsland() {
    ++m_parser.model.readCounts.traces.records;
    int count = 0;
    m_in.number(count);
    m_in.ignoreLine();
    CoordinateList vertices;
    readVertices(count, vertices);
    m_islands.push_back({m_layerName, std::move(vertices), 0});
}

void TracesFileReader::readVertices(int count, CoordinateList& vertices) {
    // The count bounds nothing by itself: every step takes a word of the text.
    for (int taken = 0; taken < count;) {
        const std::string_view token = m_in.word();
        if (token.empty()) {
            break;
        }
        if (token == "VER") {
            double x = 0;
            double y = 0;
            m_in.number(x);
            m_in.number(y);
            vertices.push_back(x);
            vertices.push_back(y);
            ++taken;
        }
    }
}

void TracesFileReader::completeNet() {
    // Islands belong to the net's area only when there is exactly one.
    if (m_areas.size() == 1) {
        m_areas.insert(m_areas.end(), std::make_move_iterator(m_islands.begin()),
                       std::make_move_iterator(m_islands.end()));
    } else {
        m_parser.model.readCounts.traces.skip(SkipReason::DiscardedIsland,
                                              static_cast<std::int64_t>(m_islands.size()));
    }
    LayoutNet* net =
        make<LayoutNet>(m_netName, m_unitsName, std::move(m_traces), std::move(m_areas));
    m_parser.model.layoutElements.push_back(net);
    m_parser.currentElement = net;
    m_traces.clear();
    m_areas.clear();
    m_islands.clear();
    m_inNet = false;
}

void TracesFileReader::readXRF() {
    ++m_parser.model.readCounts.traces.records;
    int number = 0;
    m_in.number(number);
    std::string name(m_in.word());
    if (const auto layer = m_parser.model.layerNumbers.find(number);
        layer != m_parser.model.layerNumbers.end()) {
        m_parser.model.xrfToLayerName.emplace(name, layer->second);
    }
    m_parser.model.layerNumberToXrf[number] = std::move(name);
}

void TracesFileReader::readTTT() {
    ++m_parser.model.readCounts.traces.records;
    int key = 0;
    m_in.number(key);
    TestPointType type;
    m_in.number(type.lineWidth);
    type.lineWidth *= unitFactor();
    m_in.number(type.int1);
    m_in.number(type.int2);
    m_in.number(type.value);
    m_parser.model.testPointTypes[key] = type;
}

const std::vector<const Net*>& TracesFileReader::netsNamed(const std::string& name) {
    if (!m_netsIndexed) {
        for (const MentorElement* element : m_parser.model.elements) {
            if (const Net* net = element->asNet()) {
                m_netsByName[net->name].push_back(net);
            }
        }
        m_netsIndexed = true;
    }
    static const std::vector<const Net*> k_None;
    const auto found = m_netsByName.find(name);
    return found == m_netsByName.end() ? k_None : found->second;
}

void TracesFileReader::readTTI() {
    ++m_parser.model.readCounts.traces.records;
    double x = 0;
    double y = 0;
    m_in.number(x);
    m_in.number(y);
    const std::string_view owner = m_in.word();
    if (beginsWith(owner, 'I') || beginsWith(owner, 'F')) {
        m_parser.model.readCounts.traces.skip(SkipReason::TestPointOwnedByIOrF);
        return;
    }
    TestPointRecord record;
    scanInt(owner, record.index);
    m_in.number(record.angle);
    m_in.number(record.armX);
    m_in.number(record.armY);
    m_in.number(record.armMask);
    const double factor = unitFactor();
    record.armX *= factor;
    record.armY *= factor;
    record.x = x * factor;
    record.y = y * factor;
    record.layerName = m_layerName;
    record.netName = m_netName;
    record.ownerName = "null";
    const auto atPoint = [&](double px, double py) {
        return std::fabs(px - record.x) <= k_SamePosition
               && std::fabs(py - record.y) <= k_SamePosition;
    };
    const auto xrfName = [&](int number) -> const std::string* {
        const auto found = m_parser.model.layerNumberToXrf.find(number);
        return found == m_parser.model.layerNumberToXrf.end() ? nullptr : &found->second;
    };
    const std::size_t testPointsBefore = m_parser.model.testPoints.size();
    for (const Net* net : netsNamed(m_netName)) {
        for (const NetPin* pin : net->pins) {
            const std::string* name = xrfName(pin->number);
            if (atPoint(pin->x, pin->y) && name && *name == m_layerName) {
                record.ownerName = pin->pinName.ToNarrow();
                record.xrfLayerNumber = pin->number;
                m_parser.model.testPoints.push_back(record);
            }
        }
        if (record.ownerName != "null") {
            continue;
        }
        // No pin of the net lies there: the test point sits on the net's vias, on every
        // layer of the current layer's name.
        for (const NetVia* via : net->vias) {
            if (!atPoint(via->x, via->y)) {
                continue;
            }
            for (const auto& [number, name] : m_parser.model.layerNumberToXrf) {
                if (name == m_layerName) {
                    record.xrfLayerNumber = number;
                    m_parser.model.testPoints.push_back(record);
                }
            }
        }
    }
    if (m_parser.model.testPoints.size() == testPointsBefore) {
        m_parser.model.readCounts.traces.skip(SkipReason::TestPointOnNoPinOrVia);
    }
}

}  // namespace

bool readTracesText(MentorParser& parser, std::string_view text) {
    const std::size_t netsBefore = parser.model.layoutElements.size();
    try {
        TracesFileReader(parser, text).read();
    } catch (const std::exception&) {
        // Out of memory on a pathological file: the nets stored so far stay.
    }
    parser.model.readCounts.traces.elements +=
        static_cast<std::int64_t>(parser.model.layoutElements.size() - netsBefore);
    return true;
}

bool readTracesFile(MentorParser& parser, const std::string& designDirectory) {
    const std::string path = designDirectory + "/MentorTracesFile";
    FileText file;
    if (!file.open(path)) {
        reportMissingFile(path + " not found");
        return true;
    }
    return readTracesText(parser, file.text());
}
