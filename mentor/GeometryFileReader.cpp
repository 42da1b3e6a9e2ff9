#include "mentor/GeometryFileReader.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "corelib/FileText.h"
#include "math/geometry/Boolean.h"
#include "math/geometry/Discretize.h"
#include "math/geometry/Polygon.h"
#include "math/geometry/PolygonCollection.h"
#include "math/geometry/PolygonWithHolesCollection.h"
#include "mentor/Arena.h"
#include "mentor/DrawnShape.h"
#include "mentor/MentorParser.h"
#include "mentor/TextStream.h"
#include "mentor/Units.h"

using namespace MentorBS;

namespace {

/// The union of a pin's shapes on one layer is taken within this accuracy.
constexpr double k_MergeAccuracy = 0.0001;
/// Circles of pin shapes become polygons whose edges turn by at most this many degrees.
constexpr double k_CircleStepDegrees = 20.0;

/// A token "$$<keyword>(..." opens a record; "create" at characters 3 to 8 opens a
/// create record, whatever follows it.
bool isCreate(std::string_view token) {
    return token.size() >= 8 && token.substr(2, 6) == "create";
}

/// The record keyword: from the third character of the token up to its first "(".
std::string_view keywordOf(std::string_view token) {
    if (token.size() < 2) {
        return {};
    }
    const std::string_view rest = token.substr(2);
    return rest.substr(0, rest.find('('));
}

/// `token` up to (not including) the first `stop`.
std::string_view before(std::string_view token, char stop) {
    return token.substr(0, token.find(stop));
}

/// Powers of ten up to the largest that plainValue divides by; all are exact doubles.
constexpr double k_PowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                    1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

/// The value of a token that is nothing but a plain decimal of at most 15 digits
/// ("-12.5", "300."), which is how the file writes almost every number. Such digits read
/// as an integer below 2^53, so the integer and the power of ten are exact doubles and
/// their quotient is the correctly rounded value, the one scanDouble finds. False for
/// any other token.
bool plainValue(std::string_view token, double& value) {
    const bool negative = beginsWith(token, '-');
    const std::string_view text = token.substr(negative ? 1 : 0);
    if (text.empty() || text.size() > 16) {
        return false;
    }
    // One pass with no branch on the characters: the digits before and after the point
    // vary from number to number, so a loop that stopped at the point would be
    // mispredicted on most numbers.
    std::uint64_t digits = 0;
    std::size_t points = 0;
    std::size_t point = 0;
    std::size_t others = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned digit = static_cast<unsigned char>(text[i]) - unsigned{'0'};
        const bool isPoint = text[i] == '.';
        digits = digit <= 9 ? digits * 10 + digit : digits;
        point = isPoint ? i : point;
        points += isPoint ? 1 : 0;
        others += digit > 9 && !isPoint ? 1 : 0;
    }
    const std::size_t count = text.size() - points;
    if (others != 0 || points > 1 || count == 0 || count > 15) {
        return false;
    }
    const std::size_t fraction = points == 0 ? 0 : text.size() - 1 - point;
    value = static_cast<double>(digits) / k_PowersOfTen[fraction];
    if (negative) {
        value = -value;
    }
    return true;
}

/// The value of a number token, or 0 when it does not begin with a number.
double valueOf(std::string_view token) {
    double value = 0;
    if (!plainValue(token, value)) {
        scanDouble(token, value);
    }
    return value;
}

/// A coordinate token: one of its first three characters is a digit ("[-1.5,", "-20,").
bool hasDigitInFirstThree(std::string_view token) {
    return std::any_of(token.begin(), token.begin() + std::min<std::size_t>(3, token.size()),
                       isDigit);
}

bool beginsWithDigit(std::string_view text) {
    return !text.empty() && isDigit(text.front());
}

/// A layer conducts when the part of its name before the first "_" is SIGNAL, POWER or
/// PAD (a name that begins with "_" is its own group).
bool isConductive(std::string_view layer) {
    const std::size_t end = layer.find('_');
    const std::string_view group = end == 0 ? layer : layer.substr(0, end);
    return group == "SIGNAL" || group == "POWER" || group == "PAD";
}

/// Owner kinds whose shapes are pad shapes: merged per layer at the end of the file.
bool isPadOwner(std::string_view kind) {
    return kind == "pin" || kind == "via";
}

bool isDrawingOwner(std::string_view kind) {
    return kind == "board" || kind == "component";
}

bool allFinite(const CoordinateList& values) {
    for (double value : values) {
        if (!std::isfinite(value)) {
            return false;
        }
    }
    return true;
}

/// The closed polygon through the points of a coordinate list.
geom::Polygon polygonOf(const CoordinateList& points) {
    std::vector<geom::Point> vertices;
    vertices.reserve(points.size() / 2);
    for (std::size_t i = 0; i + 1 < points.size(); i += 2) {
        vertices.emplace_back(points[i], points[i + 1]);
    }
    return geom::Polygon(vertices, true);
}

/// The kernel polygons of one pad shape: the polygon itself, a circle as a polygon of
/// chords, a path as one stroke per segment. Shapes with values that are not finite
/// numbers contribute nothing.
void addKernelPolygons(const MentorElement& element, std::vector<geom::Polygon>& out) {
    if (const MyPolygon* e = element.asMyPolygon()) {
        if (allFinite(e->points)) {
            out.push_back(polygonOf(e->points));
        }
    } else if (const Initial* e = element.asInitial()) {
        if (allFinite(e->points)) {
            out.push_back(polygonOf(e->points));
        }
    } else if (const MyCircle* e = element.asMyCircle()) {
        const double radius = e->diameter / 2;
        if (std::isfinite(e->x) && std::isfinite(e->y) && std::isfinite(radius) && radius > 0) {
            const geom::Circle circle(geom::Point(e->x, e->y), radius);
            out.emplace_back(
                geom::DiscretizeCircle_G(circle, geom::k_CCW, geom::Angle(), false,
                                         geom::Angle(geom::Angle::k_Degrees, k_CircleStepDegrees)),
                true);
        }
    } else if (const Path* e = element.asPath()) {
        if (e->points.size() >= 4 && allFinite(e->points) && std::isfinite(e->width)) {
            for (std::size_t i = 0; i + 3 < e->points.size(); i += 2) {
                const geom::Segment segment(geom::Point(e->points[i], e->points[i + 1]),
                                            geom::Point(e->points[i + 2], e->points[i + 3]));
                out.emplace_back(segment, e->width);
            }
        }
    }
}

/// The outline of a group of pad shapes on one layer: the greatest outer polygon of their
/// union (holes ignored), as a polygon element; null when the union leaves none.
MentorElement* mergedOutline(const std::vector<MentorElement*>& group) {
    std::vector<geom::Polygon> polygons;
    for (const MentorElement* element : group) {
        addKernelPolygons(*element, polygons);
    }
    const geom::PolygonWithHolesCollection united =
        geom::Unite_G(geom::PolygonCollection(polygons), k_MergeAccuracy);
    const geom::Polygon* greatest = nullptr;
    // The members in the collection's own order, without a copy of them.
    for (const geom::PolygonWithHoles& member : united.GetTree()) {
        if (!greatest || *greatest < member.GetPolygon()) {
            greatest = &member.GetPolygon();
        }
    }
    if (!greatest) {
        return nullptr;
    }
    const std::vector<geom::Point> vertices = greatest->GetVertices();
    CoordinateList points;
    points.reserve(2 * vertices.size());
    for (const geom::Point& vertex : vertices) {
        points.push_back(vertex.GetX());
        points.push_back(vertex.GetY());
    }
    if (points.size() < 6) {
        return nullptr;
    }
    const DrawnShape first = drawnShape(*group.front());
    return make<Initial>(std::move(points), *first.ownerKind, *first.ownerName, *first.layer,
                         "polygon", 0.0);
}

/// Reads the comma-separated arguments of a record whatever the blanks between them:
/// "(0.0, 0.0," and "(0.0,0.0," give the same two arguments. An argument ends at a comma,
/// or at the end of a token that closes the list with ")".
class ArgumentReader {
public:
    /// `opening` is the record's keyword token: what follows its "(" is the first text.
    ArgumentReader(TextStream& in, std::string_view opening) : m_in(in) {
        const std::size_t open = opening.find('(');
        if (open != std::string_view::npos) {
            m_rest = opening.substr(open + 1);
        }
    }

    /// The next argument, without a "(" that opens the list; `startedToken` is set when
    /// the argument began with a new token of the stream (then `token` is that token).
    /// The text stays valid until the next call.
    std::string_view next() {
        // An argument within one token is a view into it; only one that runs over
        // several tokens is joined into m_joined.
        std::string_view argument;
        bool joined = false;
        const auto add = [&](std::string_view piece) {
            if (!joined && argument.empty()) {
                argument = piece;
                return;
            }
            if (!joined) {
                m_joined.assign(argument);
                joined = true;
            }
            m_joined += piece;
            argument = m_joined;
        };
        m_startedToken = false;
        while (true) {
            if (m_rest.empty()) {
                const std::string_view token = m_in.word();
                if (token.empty()) {
                    return argument;
                }
                if (argument.empty()) {
                    m_startedToken = true;
                    m_token = token;
                }
                m_rest = token;
            }
            const std::size_t comma = m_rest.find(',');
            if (comma != std::string_view::npos) {
                add(m_rest.substr(0, comma));
                m_rest.remove_prefix(comma + 1);
                break;
            }
            add(m_rest);
            const bool closes = m_rest.find(')') != std::string_view::npos;
            m_rest = {};
            if (closes) {
                break;
            }
        }
        if (m_first && !argument.empty() && argument.front() == '(') {
            argument.remove_prefix(1);
        }
        m_first = false;
        return argument;
    }

    bool startedToken() const { return m_startedToken; }
    std::string_view token() const { return m_token; }
    /// True when the token of the last argument still holds text.
    bool tokenHasMore() const { return !m_rest.empty(); }

private:
    TextStream& m_in;
    std::string_view m_rest;
    std::string_view m_token;
    std::string m_joined;
    bool m_startedToken = false;
    bool m_first = true;
};

class GeometryFileReader {
public:
    GeometryFileReader(MentorParser& parser, std::string_view text)
        : m_parser(parser), m_in(text) {}

    void read();
    /// Merges the held-back pad shapes per owner and layer into the element list.
    void mergePadShapes();

private:
    // $$create_<kind>("<name>"[, @replace]);
    void readCreate();
    // $$page (<n1>, <n2>, <n3>, @<unit>, <n4>, <n5>) ;
    void readPage();
    // $$attribute( "..._LAYER_DEFINITION", "<layer names>" ); of a stackup
    void readStackup();
    // $$polygon( "<layer>", @<style>, [x, y, ...] );
    void readPolygon();
    // $$path( "<layer>", <width>, @<style>, [x, y, ...] );
    void readPath();
    // $$initial([x, y]); $$terminal([x, y]); ... $$polygon( "<layer>"), ...);
    void readInitial();
    // $$attribute( "BOARD_ROUTING_OUTLINE"|"COMPONENT_PLACEMENT_OUTLINE", [x, y, ...] );
    void readOutline();
    // $$circle( "<layer>", <x>, <y>, <diameter>, <width>);
    void readCircle();
    // $$text( "<layer>", "<text>", <x>, <y>, <size>, @<justification>, <length>, <n>);
    void readText();

    /// Reads coordinate tokens from the next token on, each times the unit factor. The
    /// token that ended the list is left in `m_token`.
    CoordinateList readCoordinates();
    /// Appends the point of an initial or terminal token: "$$initial([x," and "y]);",
    /// or both in one token.
    void readPoint(std::string_view token, CoordinateList& points);
    /// The layer name of a quoted layer token: from its second character to the next quote.
    static std::string layerOf(std::string_view token) {
        return std::string(before(token.substr(token.empty() ? 0 : 1), '"'));
    }
    /// Stores a pin or via shape for the merge, a board or component shape at once.
    void store(MentorElement* element);
    void skipLine() { m_in.line(); }
    /// Holds the current token for the main loop: it opens the next record.
    void hold() { m_held = true; }

    MentorParser& m_parser;
    TextStream m_in;
    std::string_view m_token;
    bool m_held = false;
    std::string m_ownerKind;
    /// What m_ownerKind is, asked for every record.
    bool m_drawingOwner = false;
    bool m_padOwner = false;
    bool m_stackupOwner = false;
    std::string m_ownerName;
    double m_unitFactor = 0;
    /// The coordinates of the shape being read. Shapes take a copy of exactly their size:
    /// a list grown value by value would leave a trail of freed blocks behind every shape.
    CoordinateList m_points;
    std::vector<MentorElement*> m_padShapes;
};

void GeometryFileReader::read() {
    m_token = m_in.word();
    while (m_in.good()) {
        if (beginsWith(m_token, '/') || !beginsWith(m_token, '$')) {
            skipLine();
            m_token = m_in.word();
            continue;
        }
        ++m_parser.model.readCounts.geometry.records;
        const std::string_view keyword = keywordOf(m_token);
        const bool drawing = m_drawingOwner;
        const bool pad = m_padOwner;
        if (isCreate(m_token)) {
            readCreate();
        } else if (keyword == "page" && (drawing || pad || m_stackupOwner)) {
            readPage();
        } else if (keyword == "attribute" && m_stackupOwner) {
            readStackup();
        } else if (keyword == "polygon" && (drawing || pad)) {
            readPolygon();
        } else if (keyword == "path" && (drawing || pad)) {
            readPath();
        } else if (keyword == "initial" && (drawing || pad)) {
            readInitial();
        } else if (keyword == "attribute" && drawing) {
            readOutline();
        } else if (keyword == "circle" && (drawing || pad)) {
            readCircle();
        } else if (keyword == "text" && drawing) {
            readText();
        } else {
            m_parser.model.readCounts.geometry.skip(SkipReason::UnknownKeyword);
            skipLine();
        }
        if (m_held) {
            m_held = false;
        } else {
            m_token = m_in.word();
        }
    }
}

void GeometryFileReader::readCreate() {
    const std::string_view token = m_token;
    const std::string_view kind = token.size() > 9 ? token.substr(9) : std::string_view();
    std::string_view known;
    for (const std::string_view word : {"board", "component", "stackup", "pin", "via"}) {
        if (kind.starts_with(word)) {
            known = word;
            break;
        }
    }
    if (known.empty()) {
        // Everything up to the next create record belongs to an object of a kind the
        // translation has no use for.
        m_parser.model.readCounts.geometry.skip(SkipReason::UnknownOwnerKind);
        m_ownerName = "other";
        while (true) {
            skipLine();
            m_token = m_in.word();
            if (!m_in.good() || isCreate(m_token)) {
                hold();
                return;
            }
        }
    }
    m_ownerKind = std::string(known);
    m_drawingOwner = isDrawingOwner(known);
    m_padOwner = isPadOwner(known);
    m_stackupOwner = known == "stackup";
    // The name is what stands between the quotes, wherever the blanks fall: the record
    // may go on after the name ("@replace") and the name may hold blanks.
    if (const std::size_t open = token.find('"'); open != std::string_view::npos) {
        const std::string_view rest = m_in.line();
        if (const std::size_t close = token.find('"', open + 1); close != std::string_view::npos) {
            m_ownerName.assign(token.substr(open + 1, close - open - 1));
            return;
        }
        const std::string record = std::string(token) + std::string(rest);
        const std::size_t close = record.find('"', open + 1);
        m_ownerName =
            record.substr(open + 1, close == std::string::npos ? close : close - open - 1);
        return;
    }
    // Unquoted: the name starts two characters after the kind word and ends three
    // characters before the end of the token.
    m_ownerName = std::string(cut(token, 9 + known.size() + 2, 3));
    skipLine();
}

void GeometryFileReader::readPage() {
    ArgumentReader arguments(m_in, m_token);
    const auto number = [](std::string_view text) {
        return beginsWithDigit(text) ? valueOf(text) : 0.0;
    };
    const double value1 = number(arguments.next());
    const double value2 = number(arguments.next());
    double value3 = 0;
    std::string_view unitWord = arguments.next();
    if (beginsWithDigit(unitWord)) {
        value3 = valueOf(unitWord);
        unitWord = arguments.next();
    }
    // "@Mils" or "@Mils)": the unit word without its "@" and a closing parenthesis.
    std::string unitName(before(unitWord.substr(unitWord.empty() ? 0 : 1), ')'));
    m_unitFactor = conversionFactor(m_parser.model.unitsName, unitName);

    double values[2] = {0, 0};
    bool closed = false;
    for (double& value : values) {
        const std::string_view argument = arguments.next();
        if (!beginsWithDigit(argument)) {
            // Too few numbers: the token opens the next record.
            m_parser.model.readCounts.geometry.skip(SkipReason::IncompletePage);
            if (arguments.startedToken()) {
                m_token = arguments.token();
                hold();
            }
            return;
        }
        value = valueOf(argument);
        closed = argument.find(')') != std::string_view::npos;
    }
    if (!closed && !arguments.tokenHasMore()) {
        m_token = m_in.word();
        if (beginsWith(m_token, '$')) {
            m_parser.model.readCounts.geometry.skip(SkipReason::IncompletePage);
            hold();
            return;
        }
    }
    skipLine();
    m_parser.addElement(make<Page>(value1 * m_unitFactor, value2 * m_unitFactor,
                                   value3 * m_unitFactor, std::move(unitName), values[0], values[1],
                                   std::string(), std::string(), m_ownerKind, m_ownerName));
}

void GeometryFileReader::readStackup() {
    const std::string_view token = m_in.word();
    if (token.size() < 28 || token.substr(12, 16) != "LAYER_DEFINITION") {
        m_parser.model.readCounts.geometry.skip(SkipReason::UnusedAttribute);
        skipLine();
        return;
    }
    const std::string line(m_in.line());
    std::vector<std::string> names;
    for (const auto& spellings : {std::array<const char*, 3>{"SIGNAL_", "signal_", "Signal_"},
                                  std::array<const char*, 3>{"POWER_", "power_", "Power_"}}) {
        const char* spelling = nullptr;
        for (const char* candidate : spellings) {
            if (line.find(candidate) != std::string::npos) {
                spelling = candidate;
                break;
            }
        }
        if (!spelling) {
            continue;
        }
        const std::size_t length = std::string_view(spelling).size();
        for (std::size_t at = line.find(spelling); at != std::string::npos;
             at = line.find(spelling, at + length)) {
            int number = 0;
            scanInt(std::string_view(line).substr(at + length), number);
            names.push_back(spelling + std::to_string(number));
        }
    }
    if (names.empty()) {
        m_parser.model.readCounts.geometry.skip(SkipReason::UnusedAttribute);
        return;
    }
    std::string key = names.front();
    for (const std::string& name : names) {
        if (name.substr(0, name.find('_')) == "SIGNAL") {
            key = name;
            break;
        }
    }
    m_parser.model.stackupLayerNames.insert(names.begin(), names.end());
    m_parser.model.stackupLayers[key] = std::move(names);
}

void GeometryFileReader::readPolygon() {
    std::string layer = layerOf(m_in.word());
    std::string style(cut(m_in.word(), 0, 1));
    CoordinateList points = readCoordinates();
    hold();
    if (points.size() < 6 || (m_padOwner && !isConductive(layer))) {
        m_parser.model.readCounts.geometry.skip(points.size() < 6 ? SkipReason::TooFewCoordinates
                                                                  : SkipReason::NonConductiveLayer);
        return;
    }
    store(make<MyPolygon>(std::move(layer), std::move(style), std::move(points), m_ownerKind,
                          m_ownerName));
}

void GeometryFileReader::readPath() {
    std::string layer = layerOf(m_in.word());
    std::string_view token = cut(m_in.word(), 0, 1);
    double width = 0;
    std::string style;
    if (beginsWithDigit(token)) {
        width = valueOf(token) * m_unitFactor;
        const std::string_view next = m_in.word();
        if (beginsWith(next, ')')) {
            // A path without coordinates: kept for a drawing, of no use as a pad shape.
            if (m_drawingOwner) {
                store(make<Path>(std::move(layer), width, std::string(), CoordinateList(),
                                 m_ownerKind, m_ownerName));
            } else {
                m_parser.model.readCounts.geometry.skip(SkipReason::TooFewCoordinates);
            }
            m_token = m_in.word();
            hold();
            return;
        }
        style = std::string(cut(next, 0, 1));
    } else {
        style = std::string(token);
    }
    CoordinateList points = readCoordinates();
    if (points.size() < 4 || (m_padOwner && !isConductive(layer))) {
        m_parser.model.readCounts.geometry.skip(points.size() < 4 ? SkipReason::TooFewCoordinates
                                                                  : SkipReason::NonConductiveLayer);
        return;
    }
    store(make<Path>(std::move(layer), width, std::move(style), std::move(points), m_ownerKind,
                     m_ownerName));
}

void GeometryFileReader::readPoint(std::string_view token, CoordinateList& points) {
    const std::size_t open = token.find('(');
    if (open == std::string_view::npos) {
        return;
    }
    std::string_view rest = token.substr(std::min(open + 2, token.size()));
    const std::size_t comma = rest.find(',');
    const std::string_view x = rest.substr(0, comma);
    std::string_view y;
    if (comma == std::string_view::npos) {
        y = {};
    } else if (comma + 1 == rest.size()) {
        y = before(m_in.word(), ']');
    } else {
        y = before(rest.substr(comma + 1), ']');
    }
    // A point whose x or y is no number is left out whole: half a point would pair every
    // later x with the y before it.
    if (hasLeadingDigit(x) && hasLeadingDigit(y)) {
        points.push_back(valueOf(x) * m_unitFactor);
        points.push_back(valueOf(y) * m_unitFactor);
    }
}

void GeometryFileReader::readInitial() {
    CoordinateList& points = m_points;
    points.clear();
    readPoint(m_token, points);
    std::string_view keyword;
    while (true) {
        skipLine();
        m_token = m_in.word();
        keyword = keywordOf(m_token);
        if (keyword != "terminal" || !m_in.good()) {
            break;
        }
        readPoint(m_token, points);
    }
    if (keyword != "path" && keyword != "polygon") {
        m_parser.model.readCounts.geometry.skip(SkipReason::UnknownShapeKeyword);
        return;
    }
    // The layer is what stands between the quotes of the next token ("SIGNAL_1"), as
    // the shape lines write it, or "SIGNAL_1", as some tools do).
    const std::string_view layerToken = m_in.word();
    std::string layer = layerToken.find('"', 1) != std::string_view::npos
                            ? layerOf(layerToken)
                            : std::string(cut(layerToken, 1, endsWith(layerToken, ',') ? 3 : 2));
    double width = 0;
    if (keyword == "path") {
        m_in.number(width);
    }
    skipLine();
    if (points.size() <= 6 || (m_padOwner && !isConductive(layer))) {
        m_parser.model.readCounts.geometry.skip(
            points.size() <= 6 ? SkipReason::TooFewCoordinates : SkipReason::NonConductiveLayer);
        return;
    }
    CoordinateList shape(points.begin(), points.end());
    if (keyword == "path") {
        store(make<Path>(std::move(layer), width * m_unitFactor, std::string(), std::move(shape),
                         m_ownerKind, m_ownerName));
    } else {
        store(make<Initial>(std::move(shape), m_ownerKind, m_ownerName, std::move(layer), "polygon",
                            0.0));
    }
}

void GeometryFileReader::readOutline() {
    const std::string_view name = m_in.word();
    const std::string_view afterQuote = name.substr(name.empty() ? 0 : 1);
    if (!afterQuote.starts_with("BOARD_ROUTING_OUTLINE")
        && !afterQuote.starts_with("COMPONENT_PLACEMENT_OUTLINE")) {
        m_parser.model.readCounts.geometry.skip(SkipReason::UnusedAttribute);
        skipLine();
        return;
    }
    std::string_view token;
    do {
        token = m_in.word();
        if (token.empty() || endsWith(token, ';')) {
            m_parser.model.readCounts.geometry.skip(SkipReason::TooFewCoordinates);
            return;
        }
    } while (!beginsWith(token, '['));
    CoordinateList& points = m_points;
    points.clear();
    const auto add = [&](std::string_view value) {
        points.push_back(valueOf(value) * m_unitFactor);
    };
    add(cut(token, 1, 1));
    for (token = m_in.word(); !token.empty() && !endsWith(token, ';'); token = m_in.word()) {
        add(cut(token, 0, 1));
    }
    // "x]);" closes the list on its last value; a separate ");" holds none.
    const std::string_view last = cut(token, 0, 3);
    if (hasLeadingDigit(last)) {
        add(last);
    }
    m_parser.addElement(
        make<Attribute>(CoordinateList(points.begin(), points.end()), m_ownerKind, m_ownerName));
}

void GeometryFileReader::readCircle() {
    std::string layer(cut(m_in.word(), 1, 2));
    const double x = valueOf(cut(m_in.word(), 0, 1));
    const double y = valueOf(cut(m_in.word(), 0, 1));
    double diameter = valueOf(cut(m_in.word(), 0, 1));
    const std::string_view fourth = m_in.word();
    if (!endsWith(fourth, ';')) {
        // The record goes on: the number read was a radius.
        diameter *= 2;
    }
    const double width = valueOf(cut(fourth, 0, 2));
    skipLine();
    if (m_padOwner && !isConductive(layer)) {
        m_parser.model.readCounts.geometry.skip(SkipReason::NonConductiveLayer);
        return;
    }
    store(make<MyCircle>(std::move(layer), x * m_unitFactor, y * m_unitFactor,
                         diameter * m_unitFactor, width * m_unitFactor, m_ownerKind, m_ownerName));
}

void GeometryFileReader::readText() {
    std::string layer(cut(m_in.word(), 1, 2));
    std::string_view token = m_in.word();
    std::string joined(token);
    while (!token.empty() && !endsWith(token, ',')) {
        token = m_in.word();
        joined += ' ';
        joined += token;
    }
    std::string text(cut(joined, 1, 2));
    const double x = valueOf(cut(m_in.word(), 0, 1));
    const double y = valueOf(cut(m_in.word(), 0, 1));
    const double size = valueOf(cut(m_in.word(), 0, 1));
    const std::string_view justificationToken = m_in.word();
    std::string justification =
        justificationToken.size() < 2
            ? std::string()
            : std::string(1, justificationToken[justificationToken.size() - 2]);
    const double length = valueOf(cut(m_in.word(), 0, 1));
    m_in.word();
    skipLine();
    m_parser.addElement(make<MyText>(std::move(layer), x * m_unitFactor, y * m_unitFactor,
                                     length * m_unitFactor, std::move(justification),
                                     lengthInPoints(size * m_unitFactor, m_parser.model.unitsName),
                                     std::move(text), m_ownerKind, m_ownerName));
}

CoordinateList GeometryFileReader::readCoordinates() {
    m_points.clear();
    for (m_token = m_in.word(); m_token.size() >= 3 && hasDigitInFirstThree(m_token);
         m_token = m_in.word()) {
        std::string_view value = m_token;
        if (beginsWith(value, '[')) {
            value = cut(value, 1, 1);
        } else if (endsWith(value, ',') || endsWith(value, ']')) {
            value = cut(value, 0, 1);
        }
        m_points.push_back(valueOf(value) * m_unitFactor);
    }
    return CoordinateList(m_points.begin(), m_points.end());
}

void GeometryFileReader::store(MentorElement* element) {
    if (m_padOwner) {
        m_padShapes.push_back(element);
    } else {
        m_parser.addElement(element);
    }
}

void GeometryFileReader::mergePadShapes() {
    // Groups in the order of their first shape: owner name and layer.
    std::vector<std::vector<MentorElement*>> groups;
    std::map<std::string, std::size_t> groupOfKey;
    for (MentorElement* element : m_padShapes) {
        const DrawnShape key = drawnShape(*element);
        const std::string name = *key.ownerName + "_" + *key.layer;
        const auto [at, added] = groupOfKey.emplace(name, groups.size());
        if (added) {
            groups.emplace_back();
        }
        groups[at->second].push_back(element);
    }
    for (const std::vector<MentorElement*>& group : groups) {
        if (group.size() == 1 && group.front()->asInitial()) {
            m_parser.addElement(group.front());
        } else if (group.size() == 1 && group.front()->asMyCircle()) {
            // A round pad alone on its layer is described well enough by its pad shape.
            m_parser.model.readCounts.geometry.skip(SkipReason::LoneRoundPad);
        } else if (MentorElement* outline = mergedOutline(group)) {
            m_parser.addElement(outline);
        } else {
            m_parser.model.readCounts.geometry.skip(SkipReason::EmptyMergedOutline);
        }
    }
}

}  // namespace

bool readGeometryText(MentorParser& parser, std::string_view text) {
    const std::size_t elementsBefore = parser.model.elements.size();
    GeometryFileReader reader(parser, text);
    try {
        reader.read();
    } catch (const std::exception&) {
        // Out of memory on a pathological file: what was read so far is merged.
    }
    try {
        reader.mergePadShapes();
    } catch (const std::exception&) {
    }
    parser.model.readCounts.geometry.elements +=
        static_cast<std::int64_t>(parser.model.elements.size() - elementsBefore);
    return true;
}

bool readGeometryFile(MentorParser& parser, const std::string& designDirectory) {
    const std::string path = designDirectory + "/MentorGeometryFile";
    FileText file;
    if (!file.open(path)) {
        reportMissingFile(path + " not found");
        return true;
    }
    return readGeometryText(parser, file.text());
}
