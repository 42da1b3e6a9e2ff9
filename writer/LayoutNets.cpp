#include "writer/LayoutNets.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <exception>
#include <map>
#include <numbers>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "corelib/Platform.h"
#include "math/geometry/Boolean.h"
#include "math/geometry/Discretize.h"
#include "math/geometry/Exception.h"
#include "math/geometry/Offset.h"
#include "math/geometry/PolygonWithHolesCollection.h"
#include "prepare/BoardShapes.h"
#include "writer/DocumentContext.h"
#include "writer/Layers.h"

using namespace MentorBS;

namespace {

/// Accuracy of the area outline shrink and of the difference taken with it, in the traces
/// file's counts of 10 nm.
constexpr double k_AreaAccuracy = 0.0001;
/// A component pin lies at a test point when both coordinates agree this closely.
constexpr double k_SamePosition = 1e-5;

io::CBlock_named_value namedValue(const wchar_t* name, const VString& value) {
    return io::CBlock_named_value(name, io::CBlock_value(value));
}

/// A vertex of a drawn line of width w with round ends.
io::CBlock_func strokeVertex(double x, double y, double w) {
    return io::CBlock_func(L"vertex") << x << y << w << w << L"Round" << L"Radiallymitered" << w;
}

/// The design layer name of a layer key (an XRF name); empty when the key has none.
std::string layerNameOfKey(const BoardModel& model, const std::string& key) {
    const auto found = model.xrfToLayerName.find(key);
    return found == model.xrfToLayerName.end() ? std::string() : found->second;
}

/// `Polygon`(id, width, one vertex per point times `scale`), closed by repeating the first
/// point when the last differs from it. An odd trailing value is ignored.
io::CBlock_func polygonItem(DocumentContext& context, const CoordinateList& points, double width,
                            double scale) {
    io::CBlock_func polygon(L"Polygon");
    polygon << context.nextGraphicNumber() << width;
    const std::size_t pairs = points.size() / 2;
    for (std::size_t i = 0; i < pairs; ++i) {
        polygon << (io::CBlock_func(L"vertex")
                    << scale * points[2 * i] << scale * points[2 * i + 1]);
    }
    if (pairs > 0 && (points[2 * pairs - 2] != points[0] || points[2 * pairs - 1] != points[1])) {
        polygon << (io::CBlock_func(L"vertex") << scale * points[0] << scale * points[1]);
    }
    return polygon;
}

/// An arc polygon draws something when it holds a whole (x, y, height) triple and only
/// numbers.
bool writableArcPolygon(const MyArcPolygon& shape) {
    return shape.points.size() >= 3 && allFinite(shape.points);
}

/// `Polygon`(id, 0.0, each vertex followed by `Arc`(height) when its edge is an arc), closed
/// by repeating the first vertex when the last differs from it.
io::CBlock_func arcPolygonItem(DocumentContext& context, const MyArcPolygon& shape) {
    const CoordinateList& points = shape.points;
    io::CBlock_func polygon(L"Polygon");
    polygon << context.nextGraphicNumber() << 0.0;
    const std::size_t count = points.size() / 3;
    for (std::size_t i = 0; i < count; ++i) {
        polygon << (io::CBlock_func(L"vertex") << points[3 * i] << points[3 * i + 1]);
        if (points[3 * i + 2] != 0.0) {
            polygon << (io::CBlock_func(L"Arc") << points[3 * i + 2]);
        }
    }
    const std::size_t last = 3 * (count - 1);
    if (points[last] != points[0] || points[last + 1] != points[1]) {
        polygon << (io::CBlock_func(L"vertex") << points[0] << points[1]);
    }
    return polygon;
}

bool writableCircle(const MyCircle& circle) {
    return std::isfinite(circle.x) && std::isfinite(circle.y) && std::isfinite(circle.diameter)
           && std::isfinite(circle.width);
}

io::CBlock_func circleItem(DocumentContext& context, const MyCircle& circle) {
    return io::CBlock_func(L"Circle") << context.nextGraphicNumber() << circle.width << circle.x
                                      << circle.y << circle.diameter;
}

/// The item of a plane element: an arc polygon or a circle; nothing for an element that
/// draws neither.
std::optional<io::CBlock_func> planeShapeItem(DocumentContext& context,
                                              const MentorElement& shape) {
    if (const MyArcPolygon* polygon = shape.asMyArcPolygon()) {
        if (writableArcPolygon(*polygon)) {
            return arcPolygonItem(context, *polygon);
        }
    } else if (const MyCircle* circle = shape.asMyCircle()) {
        if (writableCircle(*circle)) {
            return circleItem(context, *circle);
        }
    }
    return std::nullopt;
}

const std::string* planeShapeLayer(const MentorElement& shape) {
    if (const MyArcPolygon* polygon = shape.asMyArcPolygon()) {
        return &polygon->layer;
    }
    if (const MyCircle* circle = shape.asMyCircle()) {
        return &circle->layer;
    }
    return nullptr;
}

/// What the whole block needs to look up, gathered once.
struct Lookups {
    /// Neutral-file nets by name without quotes, in board order.
    std::map<std::string_view, std::vector<const Net*>> netsByName;
    /// The first pad of each name without quotes.
    std::map<std::string_view, const Pad*> padsByName;
    /// Test points by net name, in list order.
    std::map<std::string_view, std::vector<const TestPointRecord*>> testPointsByNet;
    /// Every component pin with its component, in board order.
    std::vector<std::pair<const CompPin*, const Component*>> pins;
};

Lookups gatherLookups(const BoardModel& model) {
    Lookups lookups;
    for (const MentorElement* element : model.elements) {
        if (const Net* net = element->asNet()) {
            lookups.netsByName[withoutQuotes(net->name)].push_back(net);
        } else if (const Pad* pad = element->asPad()) {
            lookups.padsByName.emplace(withoutQuotes(pad->name), pad);
        } else if (const Component* component = element->asComponent()) {
            for (const CompPin* pin : component->pins) {
                lookups.pins.emplace_back(pin, component);
            }
        }
    }
    for (const TestPointRecord& testPoint : model.testPoints) {
        lookups.testPointsByNet[testPoint.netName].push_back(&testPoint);
    }
    return lookups;
}

/// Writes the traces of a net. Widths are per point; where the width changes the path ends
/// at that point in the old width and a new path starts there in the new one, so the pieces
/// join. A point of width 0 draws nothing of its own.
void writeTraces(io::CBlock& block, DocumentContext& context, const LayoutNet& net, double scale) {
    for (const TraceRecord& trace : net.traces) {
        const std::vector<double>& values = trace.values;
        if (values.size() < 6 || !allFinite(values)) {
            continue;
        }
        std::vector<io::CBlock_func> vertices;
        const auto writePath = [&] {
            if (vertices.empty()) {
                return;
            }
            io::CBlock_func path(L"Path");
            path << context.nextGraphicNumber();
            for (io::CBlock_func& vertex : vertices) {
                path << std::move(vertex);
            }
            vertices.clear();
            block << (io::CBlock_func(L"Trace") << VString(trace.layer) << std::move(path));
        };
        double previousWidth = 0;
        for (std::size_t i = 0; i + 2 < values.size(); i += 3) {
            const double x = scale * values[i];
            const double y = scale * values[i + 1];
            const double width = scale * values[i + 2];
            if (!vertices.empty() && width != previousWidth) {
                vertices.push_back(strokeVertex(x, y, previousWidth));
                writePath();
            }
            if (width != 0.0) {
                vertices.push_back(strokeVertex(x, y, width));
            }
            previousWidth = width;
        }
        writePath();
    }
}

struct Point2 {
    double x = 0;
    double y = 0;
};

/// p turned about c by a whole number of degrees, counter-clockwise; quarter turns are exact.
Point2 rotated(Point2 p, Point2 c, int degrees) {
    const int turn = ((degrees % 360) + 360) % 360;
    double cosine = 0;
    double sine = 0;
    switch (turn) {
    case 0:
        return p;
    case 90:
        sine = 1;
        break;
    case 180:
        cosine = -1;
        break;
    case 270:
        sine = -1;
        break;
    default:
        cosine = std::cos(turn * std::numbers::pi / 180);
        sine = std::sin(turn * std::numbers::pi / 180);
    }
    const double dx = p.x - c.x;
    const double dy = p.y - c.y;
    return {c.x + dx * cosine - dy * sine, c.y + dx * sine + dy * cosine};
}

/// The centre of a test-point marker: the point plus the offset of the owner pad's shape on
/// the marker's layer, turned and mirrored as the component pin there is.
Point2 markerCentre(const Lookups& lookups, const TestPointRecord& testPoint,
                    const std::string& layer) {
    Point2 centre{testPoint.x, testPoint.y};
    const auto pad = lookups.padsByName.find(withoutQuotes(testPoint.ownerName));
    if (pad != lookups.padsByName.end()) {
        for (const PadShape* shape : pad->second->shapes) {
            if (equalIgnoringCase(withoutQuotes(shape->text1), layer)) {
                centre.x += shape->centerX;
                centre.y += shape->centerY;
                break;
            }
        }
    }
    for (const auto& [pin, component] : lookups.pins) {
        if (std::fabs(pin->x - testPoint.x) <= k_SamePosition
            && std::fabs(pin->y - testPoint.y) <= k_SamePosition
            && pin->value1 == testPoint.xrfLayerNumber) {
            centre = rotated(centre, {testPoint.x, testPoint.y}, pin->value3);
            if (component->value1 == 2) {
                centre.x = 2 * testPoint.x - centre.x;
            }
            break;
        }
    }
    return centre;
}

/// The arms each arm mask draws: a second path (possibly none) and the main path, as
/// sequences of C (centre), R (right), T (top), L (left) and B (bottom).
constexpr std::array<std::pair<const char*, const char*>, 16> k_MarkerPaths = {{
    {"", ""},
    {"", "CR"},
    {"", "CT"},
    {"", "RCT"},
    {"", "CL"},
    {"", "LR"},
    {"", "LCT"},
    {"CT", "LR"},
    {"", "CB"},
    {"", "RCB"},
    {"", "TB"},
    {"TB", "CR"},
    {"", "LCB"},
    {"LR", "CB"},
    {"TB", "LC"},
    {"TB", "LR"},
}};

/// The cross that marks a test point, as one or two `Graphics` paths; none when its layer
/// key names no layer.
void writeMarker(io::CBlock& block, const BoardModel& model, DocumentContext& context,
                 const Lookups& lookups, const TestPointRecord& testPoint) {
    const std::string layer = layerNameOfKey(model, testPoint.layerName);
    if (layer.empty()) {
        return;
    }
    const Point2 c = markerCentre(lookups, testPoint, layer);
    const auto type = model.testPointTypes.find(testPoint.index);
    const double width = type == model.testPointTypes.end() ? 0.0 : type->second.lineWidth;

    // Arm ends relative to the centre; an angle of 45 degrees (as a whole number, modulo a
    // full turn) sets the cross diagonally.
    const double a = testPoint.armX;
    const double b = testPoint.armY;
    std::array<Point2, 4> arms = {Point2{a, 0}, Point2{0, b}, Point2{-a, 0}, Point2{0, -b}};
    if (std::fmod(std::trunc(testPoint.angle), 360.0) == 45.0) {
        const double half = std::numbers::sqrt2 / 2;
        for (Point2& arm : arms) {
            arm = {(arm.x - arm.y) * half, (arm.x + arm.y) * half};
        }
    }
    const auto at = [&](char which) -> Point2 {
        switch (which) {
        case 'R':
            return {c.x + arms[0].x, c.y + arms[0].y};
        case 'T':
            return {c.x + arms[1].x, c.y + arms[1].y};
        case 'L':
            return {c.x + arms[2].x, c.y + arms[2].y};
        case 'B':
            return {c.x + arms[3].x, c.y + arms[3].y};
        default:
            return c;
        }
    };
    const auto writePath = [&](std::string_view points) {
        io::CBlock_func path(L"Path");
        path << context.nextGraphicNumber();
        for (const char which : points) {
            const Point2 p = at(which);
            path << strokeVertex(p.x, p.y, width);
        }
        block << (io::CBlock_func(L"Graphics") << VString(layer) << std::move(path));
    };
    const int mask = testPoint.armMask;
    if (mask < 1 || mask > 15) {
        // A mask with no arms the cross knows: the path is written without points.
        writePath("");
        return;
    }
    const auto& [second, mainPath] = k_MarkerPaths[static_cast<std::size_t>(mask)];
    if (*second) {
        writePath(second);
    }
    writePath(mainPath);
}

void writeTestPoints(io::CBlock& block, const BoardModel& model, DocumentContext& context,
                     const Lookups& lookups, const LayoutNet& net) {
    const auto found = lookups.testPointsByNet.find(net.name);
    if (found == lookups.testPointsByNet.end()) {
        return;
    }
    for (const TestPointRecord* testPoint : found->second) {
        if (testPoint->armMask == 0
            || !allFinite(
                {testPoint->x, testPoint->y, testPoint->angle, testPoint->armX, testPoint->armY})) {
            continue;
        }
        writeMarker(block, model, context, lookups, *testPoint);
    }
}

bool isBondLayer(const BoardModel& model, const std::string& layer) {
    return std::find(model.bondLayers.begin(), model.bondLayers.end(), layer)
           != model.bondLayers.end();
}

/// `Via`(id, start layer, end layer, x, y, padstack, 0.0). A via whose start layer number
/// names no stackup layer, or whose position is not a number, writes nothing.
void writeVia(io::CBlock& block, const BoardModel& model, DocumentContext& context,
              const Lookups& lookups, const NetVia& via) {
    const double x = via.x - context.boardOffsetX;
    const double y = via.y - context.boardOffsetY;
    const auto start = model.techLayers.find(via.value1);
    if (start == model.techLayers.end() || !std::isfinite(x) || !std::isfinite(y)) {
        return;
    }
    std::string startLayer = start->second;
    const auto end = model.techLayers.find(via.value2);
    std::string endLayer =
        end == model.techLayers.end() ? model.techLayers.rbegin()->second : end->second;
    // A via cannot start on a bond layer: it starts on the first copper layer instead, and
    // one that would then start and end on that layer reaches up to the bond layer.
    if (isBondLayer(model, startLayer)) {
        const auto copper =
            std::find_if(model.techLayers.begin(), model.techLayers.end(),
                         [&](const auto& entry) { return !isBondLayer(model, entry.second); });
        if (copper != model.techLayers.end()) {
            if (endLayer == copper->second) {
                endLayer = startLayer;
            }
            startLayer = copper->second;
        }
    }
    // The padstack block is named as the pad record spells the pad.
    const auto pad = lookups.padsByName.find(withoutQuotes(via.padName));
    const std::string& padName = pad == lookups.padsByName.end() ? via.padName : pad->second->name;
    block << (io::CBlock_func(L"Via") << context.nextGraphicNumber() << VString(startLayer)
                                      << VString(endLayer) << x << y << VString(padName) << 0.0);
}

void writeVias(io::CBlock& block, const BoardModel& model, DocumentContext& context,
               const Lookups& lookups, std::string_view netName) {
    const auto found = lookups.netsByName.find(netName);
    if (found == lookups.netsByName.end()) {
        return;
    }
    for (const Net* net : found->second) {
        for (const NetVia* via : net->vias) {
            writeVia(block, model, context, lookups, *via);
        }
    }
}

/// The plane shapes a negative plane layer left on the net: one filled shape, or an outline
/// with its voids.
void writePlaneGroups(io::CBlock& block, DocumentContext& context, const LayoutNet& net) {
    for (const std::vector<MentorElement*>& group : net.planeShapeGroups) {
        if (group.empty()) {
            continue;
        }
        const std::string* layer = planeShapeLayer(*group.front());
        if (!layer) {
            continue;
        }
        std::optional<io::CBlock_func> outline = planeShapeItem(context, *group.front());
        if (!outline) {
            continue;
        }
        if (group.size() == 1) {
            block << (io::CBlock_func(L"Graphics") << VString(*layer) << std::move(*outline));
            continue;
        }
        io::CBlockPtr withVoids(L"PolygonWithVoids");
        *withVoids << namedValue(L"Layer", VString(*layer));
        *withVoids << std::move(*outline);
        io::CBlockPtr voids(L"voids");
        for (std::size_t i = 1; i < group.size(); ++i) {
            if (std::optional<io::CBlock_func> item = planeShapeItem(context, *group[i])) {
                *voids << std::move(*item);
            }
        }
        *withVoids << voids;
        block << withVoids;
    }
}

/// The outline shrunk by `distance` (0 when not positive), in the traces file's units. An
/// outline the shrink makes vanish is reported, noted against `netName`, and kept as it is.
CoordinateList shrunkOutline(DocumentContext& context, const std::string& netName,
                             const CoordinateList& points, double distance) {
    if (!(distance > 0)) {
        return points;
    }
    CoordinateList shrunk;
    try {
        const geom::PolygonWithHolesCollection pieces = geom::Shrink_G(
            buildPolygon(points, 1.0), distance, k_AreaAccuracy, true, geom::k_RoundCorner, 0.0);
        shrunk = polygonVertices(largestPolygon(pieces), false);
    } catch (const std::exception&) {
        shrunk.clear();
    }
    if (shrunk.size() < 6) {
        MessageBoxA(nullptr, "Actual Shape polygon is empty after shrinking", "File I/O Error",
                    MB_OK);
        context.emptyShrinks.add(netName);
        return points;
    }
    return shrunk;
}

/// The loops of the shrunk outline minus the holes, each as a closed vertex list.
std::vector<CoordinateList> outlineMinusHoles(const CoordinateList& outline,
                                              const std::vector<const AreaRecord*>& holes) {
    std::vector<CoordinateList> loops;
    try {
        std::vector<geom::Polygon> holePolygons;
        for (const AreaRecord* hole : holes) {
            holePolygons.push_back(buildPolygon(hole->vertices, 1.0));
        }
        const geom::PolygonWithHolesCollection difference =
            geom::Subtract_G(geom::PolygonWithHolesCollection(buildPolygon(outline, 1.0)),
                             geom::PolygonCollection(holePolygons), k_AreaAccuracy);
        for (const geom::PolygonWithHoles& piece : difference.GetPolygonsWithHoles()) {
            loops.push_back(polygonVertices(piece.GetPolygon(), false));
            for (const geom::Polygon& hole : piece.GetHoles().GetPolygons()) {
                loops.push_back(polygonVertices(hole, false));
            }
        }
    } catch (const std::exception&) {
        loops.clear();
    }
    std::erase_if(loops, [](const CoordinateList& loop) { return loop.size() < 6; });
    return loops;
}

/// The copper areas the traces file gives the net, as read: one filled polygon, or the
/// first area as an outline and the others (its islands) as voids.
void writeRawAreas(io::CBlock& block, const BoardModel& model, DocumentContext& context,
                   const LayoutNet& net, double scale) {
    struct Contour {
        const AreaRecord* area;
        std::string layer;
    };
    std::vector<Contour> contours;
    for (const AreaRecord& area : net.rawAreas) {
        if (area.vertices.size() < 6 || !allFinite(area.vertices) || !std::isfinite(area.width)
            || outputTypeOfType(context, area.layer) == "MetalizedSignal") {
            continue;
        }
        std::string layer = layerNameOfKey(model, area.layer);
        if (!layer.empty()) {
            contours.push_back({&area, std::move(layer)});
        }
    }
    if (contours.empty()) {
        return;
    }
    const Contour& first = contours.front();
    const double outlineWidth = first.area->width * scale;
    if (contours.size() == 1) {
        block << (io::CBlock_func(L"Graphics")
                  << VString(first.layer)
                  << polygonItem(context, first.area->vertices, outlineWidth, scale));
        return;
    }
    // The area's outline is drawn with a pen of its width: the copper edge lies half a
    // width inside it.
    const CoordinateList outline =
        shrunkOutline(context, net.name, first.area->vertices, first.area->width / 2);
    std::vector<const AreaRecord*> holes;
    for (std::size_t i = 1; i < contours.size(); ++i) {
        holes.push_back(contours[i].area);
    }
    io::CBlockPtr withVoids(L"PolygonWithVoids");
    *withVoids << namedValue(L"Layer", VString(first.layer));
    *withVoids << polygonItem(context, outline, outlineWidth, scale);
    io::CBlockPtr voids(L"voids");
    for (const AreaRecord* hole : holes) {
        *voids << polygonItem(context, hole->vertices, hole->width * scale, scale);
    }
    for (const CoordinateList& loop : outlineMinusHoles(outline, holes)) {
        *voids << polygonItem(context, loop, outlineWidth, scale);
    }
    *withVoids << voids;
    block << withVoids;
}

bool writablePreparedArea(const BoardModel& model, DocumentContext& context,
                          const AreaRecord& area) {
    return area.vertices.size() >= 6 && allFinite(area.vertices) && std::isfinite(area.width)
           && !area.layer.empty()
           && outputTypeOfLayer(model, context, area.layer) != VString(L"MetalizedSignal");
}

/// The areas the preparation merged and split, already in design units: each prepared
/// area filled, and each split area as its last loop with the others as voids.
void writePreparedAreas(io::CBlock& block, const BoardModel& model, DocumentContext& context,
                        const LayoutNet& net) {
    for (const AreaRecord& area : net.preparedAreas) {
        if (writablePreparedArea(model, context, area)) {
            io::CBlock_func polygon = polygonItem(context, area.vertices, area.width, 1.0);
            block << (io::CBlock_func(L"Graphics") << VString(area.layer) << std::move(polygon));
        }
    }
    for (const std::vector<AreaRecord>& group : net.splitAreaGroups) {
        std::vector<const AreaRecord*> loops;
        for (const AreaRecord& loop : group) {
            if (loop.vertices.size() >= 6 && allFinite(loop.vertices)
                && std::isfinite(loop.width)) {
                loops.push_back(&loop);
            }
        }
        if (loops.empty() || !writablePreparedArea(model, context, *loops.back())) {
            continue;
        }
        const AreaRecord& outline = *loops.back();
        io::CBlockPtr withVoids(L"PolygonWithVoids");
        *withVoids << namedValue(L"Layer", VString(outline.layer));
        *withVoids << polygonItem(context, outline.vertices, outline.width, 1.0);
        io::CBlockPtr voids(L"voids");
        for (std::size_t i = 0; i + 1 < loops.size(); ++i) {
            *voids << polygonItem(context, loops[i]->vertices, loops[i]->width, 1.0);
        }
        *withVoids << voids;
        block << withVoids;
    }
}

}  // namespace

bool allFinite(const std::vector<double>& values) {
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

CoordinateList polygonVertices(const geom::Polygon& polygon, bool close) {
    CoordinateList points;
    if (polygon.IsEmpty()) {
        return points;
    }
    // A 20 degree step needs at most 18 chords for any arc, so 20 points for each edge
    // are always enough.
    std::vector<geom::Point> chords;
    try {
        chords = geom::Discretize_G(polygon, geom::Angle(geom::Angle::k_Degrees, 20.0), close,
                                    20 * polygon.GetEdgeCount());
    } catch (const geom::Exception&) {
        return points;
    }
    points.reserve(2 * chords.size());
    for (const geom::Point& point : chords) {
        points.push_back(point.GetX());
        points.push_back(point.GetY());
    }
    return points;
}

geom::Polygon largestPolygon(const geom::PolygonWithHolesCollection& pieces) {
    geom::Polygon largest;
    double largestArea = -1;
    for (const geom::PolygonWithHoles& piece : pieces.GetPolygonsWithHoles()) {
        const double area = piece.GetPolygon().GetArea();
        if (area > largestArea) {
            largest = piece.GetPolygon();
            largestArea = area;
        }
    }
    return largest;
}

io::CBlockPtr buildLayoutNets(const BoardModel& model, DocumentContext& context) {
    io::CBlockPtr layoutNets(L"LayoutNets");
    const Lookups lookups = gatherLookups(model);
    const double scale = tracesCoordinateFactor(model);
    std::set<std::string_view> written;
    for (const LayoutNet* net : model.layoutElements) {
        const std::string_view name = withoutQuotes(net->name);
        if (!written.insert(name).second) {
            continue;
        }
        io::CBlockPtr block(L"LayoutNet");
        *block << namedValue(L"Name", VString(net->name));
        writeTraces(*block, context, *net, scale);
        writeTestPoints(*block, model, context, lookups, *net);
        writeVias(*block, model, context, lookups, name);
        writePlaneGroups(*block, context, *net);
        if (context.mergePlanes) {
            writePreparedAreas(*block, model, context, *net);
        } else {
            writeRawAreas(*block, model, context, *net, scale);
        }
        *layoutNets << block;
    }
    // Nets the traces file does not route still carry their vias.
    for (const MentorElement* element : model.elements) {
        const Net* net = element->asNet();
        if (!net || net->vias.empty() || !written.insert(withoutQuotes(net->name)).second) {
            continue;
        }
        io::CBlockPtr block(L"LayoutNet");
        *block << namedValue(L"Name", VString(net->name));
        writeVias(*block, model, context, lookups, withoutQuotes(net->name));
        *layoutNets << block;
    }
    return layoutNets;
}
