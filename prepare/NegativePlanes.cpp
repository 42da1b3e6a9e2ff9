#include "prepare/NegativePlanes.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <exception>
#include <map>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "corelib/Assert.h"
#include "corelib/Clock.h"
#include "corelib/TokenStream.h"
#include "math/geometry/Boolean.h"
#include "math/geometry/Offset.h"
#include "math/geometry/PolygonCollection.h"
#include "math/geometry/PolygonWithHolesCollection.h"
#include "mentor/Arena.h"
#include "mentor/DrawnShape.h"
#include "mentor/Names.h"
#include "mentor/Units.h"
#include "prepare/BoardShapes.h"

using namespace MentorBS;

namespace {

/// The length below which two plane edges count as one, in design units.
double unitTolerance(const BoardModel& model) {
    double scale = 1;
    return geometryTolerance(unitAbbreviation(model.unitsName, scale));
}

bool allFinite(const CoordinateList& values) {
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

VString timeText() {
    return platform::timeText();
}

/// The XRF name of a layer-file layer (the first in XRF name order), or empty.
std::string xrfNameOf(const BoardModel& model, const std::string& layerName) {
    for (const auto& [xrfName, mappedName] : model.xrfToLayerName) {
        if (mappedName == layerName) {
            return xrfName;
        }
    }
    return {};
}

/// Routed copper of a net's areas on a plane layer: the prepared areas and split-area loops
/// on it whose layer is a POWER layer by its XRF name.
std::vector<const AreaRecord*> planeAreasOf(const BoardModel& model, const LayoutNet& net,
                                            const std::string& layer) {
    std::vector<const AreaRecord*> areas;
    const auto take = [&](const AreaRecord& area) {
        if (equalIgnoringCase(area.layer, layer)
            && equalIgnoringCase(xrfNameOf(model, area.layer).substr(0, 6), "POWER_")) {
            areas.push_back(&area);
        }
    };
    for (const AreaRecord& area : net.preparedAreas) {
        take(area);
    }
    for (const std::vector<AreaRecord>& group : net.splitAreaGroups) {
        for (const AreaRecord& area : group) {
            take(area);
        }
    }
    return areas;
}

/// One conversion: the outline minus what cuts the plane on `layers`, for `netName`.
struct Conversion {
    std::vector<std::string> layers;
    std::string netName;
    geom::Polygon outline;
    /// The line logged before the conversion, empty for none; and whether the per-layer
    /// "Converting ..." and "Done!" lines frame it.
    std::wstring groupLine;
    bool perLayerLines = true;
    // Results, filled by `compute`.
    bool noHoles = true;
    geom::PolygonWithHolesCollection region;
};

class PlaneConverter {
public:
    PlaneConverter(BoardModel& model, io::CAbstract_ostream& log, unsigned workers)
        : m_model(model), m_log(log), m_tolerance(unitTolerance(model)), m_workers(workers) {}

    void run();

private:
    void runPerLayer();
    void runGrouped();
    /// Adds the conversion of one layer: on the board outline, or, for a split plane, on
    /// every routed net's areas of that layer.
    void addLayer(const std::string& layer, const std::string& netName);
    /// The polygons that cut the plane of `netName` on `layer`.
    void collectHoles(const std::string& layer, const std::string& netName,
                      std::vector<geom::Polygon>& holes) const;
    void compute(Conversion& conversion) const;
    void computeSafely(Conversion& conversion) const;
    void computeAll();
    void store(const Conversion& conversion);
    LayoutNet* netNamed(const std::string& name);
    /// The board-level paths, polygons and circles drawn on `layer` (a layer-file name, any
    /// case), in board order.
    const std::vector<const MentorElement*>& boardShapesOn(const std::string& layer) const;

    BoardModel& m_model;
    io::CAbstract_ostream& m_log;
    const double m_tolerance;
    const unsigned m_workers;
    geom::Polygon m_outline;
    std::vector<Conversion> m_conversions;
    /// Board-level drawings by the lower-case layer-file name of their layer, so that each
    /// layer name is mapped once rather than once per plane layer.
    std::map<std::string, std::vector<const MentorElement*>, std::less<>> m_boardShapes;
};

const std::vector<const MentorElement*>& PlaneConverter::boardShapesOn(
    const std::string& layer) const {
    static const std::vector<const MentorElement*> k_None;
    const auto found = m_boardShapes.find(lowerCase(layer));
    return found == m_boardShapes.end() ? k_None : found->second;
}

void PlaneConverter::run() {
    for (const MentorElement* element : m_model.elements) {
        const DrawnShape shape = drawnShape(*element);
        const bool cuts = element->asPath() || element->asMyPolygon() || element->asMyCircle();
        if (cuts && shape.layer && *shape.ownerKind == "board") {
            m_boardShapes[lowerCase(mapLayerName(m_model, *shape.layer))].push_back(element);
        }
    }
    CoordinateList points;
    if (!findBoardRoutingOutline(m_model, points) || !allFinite(points)) {
        VCORE_ASSERT_TEXT("MentorParser", false, "false");
        return;
    }
    m_outline = buildPolygon(points, 1.0);
    if (m_model.doubledPlacementGrid != 0 && std::isfinite(m_model.doubledPlacementGrid)) {
        m_outline = geom::Expand_G(m_outline, m_model.doubledPlacementGrid, m_tolerance, true,
                                   false, geom::k_RoundCorner, 0.0)
                        .GetPolygon();
    }
    const bool grouping = std::any_of(m_model.stackupLayers.begin(), m_model.stackupLayers.end(),
                                      [](const auto& entry) { return entry.second.size() >= 2; });
    if (grouping) {
        runGrouped();
    } else {
        runPerLayer();
    }
}

void PlaneConverter::runPerLayer() {
    std::erase_if(m_model.techLayers,
                  [&](const auto& entry) { return xrfNameOf(m_model, entry.second).empty(); });
    if (m_model.planeNets.empty()) {
        return;
    }
    io::logMessage(m_log, VString::Formatted(L"Converting negative layers into positive layers. "
                                             L"Time: %s",
                                             timeText().c_str()));
    for (const auto& [layer, netName] : m_model.planeNets) {
        addLayer(layer, netName);
    }
    computeAll();
    io::logMessage(m_log, VString::Formatted(L"Finished converting negative layers into positive "
                                             L"layers. Time: %s",
                                             timeText().c_str()));
}

void PlaneConverter::addLayer(const std::string& layer, const std::string& netName) {
    bool splitPlane = false;
    for (const LayoutNet* net : m_model.layoutElements) {
        if (equalIgnoringCase(net->name, netName) && !planeAreasOf(m_model, *net, layer).empty()) {
            splitPlane = true;
            break;
        }
    }
    if (!splitPlane) {
        m_conversions.push_back({{layer}, netName, m_outline, {}, true, true, {}});
        return;
    }
    // A split plane: each routed net's copper on the layer is its own outline.
    for (const LayoutNet* net : m_model.layoutElements) {
        for (const AreaRecord* area : planeAreasOf(m_model, *net, layer)) {
            if (allFinite(area->vertices)) {
                m_conversions.push_back(
                    {{layer}, net->name, buildPolygon(area->vertices, 1.0), {}, true, true, {}});
            }
        }
    }
}

void PlaneConverter::runGrouped() {
    std::map<std::string, int> numberOf;
    for (const auto& [number, name] : m_model.techLayers) {
        numberOf.emplace(name, number);
    }
    m_model.techLayers.clear();
    const auto keep = [&](const std::string& name) {
        if (const auto found = numberOf.find(name); found != numberOf.end()) {
            m_model.techLayers[found->second] = name;
        }
    };
    const auto carriesAreaCopper = [&](const std::string& layer) {
        for (const LayoutNet* net : m_model.layoutElements) {
            const auto onLayer = [&](const AreaRecord& area) {
                return equalIgnoringCase(area.layer, layer);
            };
            if (std::any_of(net->preparedAreas.begin(), net->preparedAreas.end(), onLayer)) {
                return true;
            }
            for (const std::vector<AreaRecord>& group : net->splitAreaGroups) {
                if (std::any_of(group.begin(), group.end(), onLayer)) {
                    return true;
                }
            }
        }
        return false;
    };
    for (const auto& [key, names] : m_model.stackupLayers) {
        const std::string keyLayer = mapLayerName(m_model, key);
        std::vector<std::string> signals;
        std::string groupName;
        std::string groupNet;
        bool oneNet = true;
        for (const std::string& name : names) {
            if (name.find("SIGNAL") != std::string::npos) {
                signals.push_back(name);
            }
            if (name.find("POWER") != std::string::npos || name.find("power") != std::string::npos
                || name.find("Power") != std::string::npos) {
                const std::string layer = mapLayerName(m_model, name);
                const auto net = m_model.planeNets.find(layer);
                if (groupName.empty()) {
                    groupName = layer;
                }
                if (net != m_model.planeNets.end() && !net->second.empty()) {
                    oneNet = oneNet && (groupNet.empty() || groupNet == net->second);
                    groupNet = groupNet.empty() ? net->second : groupNet;
                }
            }
        }
        // A stackup is one plane when its power layers agree on their net and at most one
        // signal layer, free of routed copper, lies in it.
        const bool group =
            names.size() >= 2 && signals.size() <= 1 && oneNet && !groupNet.empty()
            && (signals.empty() || !carriesAreaCopper(mapLayerName(m_model, signals.front())));
        if (!group) {
            for (const std::string& name : names) {
                const std::string layer = mapLayerName(m_model, name);
                const std::string& netName = m_model.planeNets[layer];
                if (!netName.empty()) {
                    m_conversions.push_back({{layer}, netName, m_outline, {}, true, true, {}});
                }
                keep(layer);
            }
            continue;
        }
        Conversion conversion{{}, groupNet, m_outline, {}, false, true, {}};
        for (const std::string& name : names) {
            conversion.layers.push_back(mapLayerName(m_model, name));
        }
        conversion.groupLine = L"Grouping layers under " + VString(groupName).wide()
                               + L" into single positive layer at ";
        m_conversions.push_back(std::move(conversion));
        keep(keyLayer);
    }
    computeAll();
}

void PlaneConverter::collectHoles(const std::string& layer, const std::string& netName,
                                  std::vector<geom::Polygon>& holes) const {
    const double factor = tracesCoordinateFactor(m_model);
    const double slot = 1000 * m_tolerance;
    std::vector<geom::Polygon> strokes;
    const auto stroke = [&](double x0, double y0, double x1, double y1, double width) {
        if (std::isfinite(x0) && std::isfinite(y0) && std::isfinite(x1) && std::isfinite(y1)
            && std::isfinite(width)) {
            strokes.emplace_back(geom::Segment(geom::Point(x0, y0), geom::Point(x1, y1)),
                                 width > 0 ? width : slot);
        }
    };
    for (const LayoutNet* net : m_model.layoutElements) {
        if (net->name == netName) {
            continue;
        }
        for (const TraceRecord& trace : net->traces) {
            if (trace.values.size() < 6 || !equalIgnoringCase(trace.layer, layer)) {
                continue;
            }
            // x, y and width per point; a segment takes the width of the point it leaves.
            const std::vector<double>& v = trace.values;
            for (std::size_t i = 0; i + 5 < v.size(); i += 3) {
                stroke(v[i] * factor, v[i + 1] * factor, v[i + 3] * factor, v[i + 4] * factor,
                       v[i + 2] * factor);
            }
        }
    }
    const std::vector<const MentorElement*>& drawn = boardShapesOn(layer);
    for (const MentorElement* element : drawn) {
        const Path* path = element->asPath();
        if (!path || path->points.size() < 4) {
            continue;
        }
        for (std::size_t i = 0; i + 3 < path->points.size(); i += 2) {
            stroke(path->points[i], path->points[i + 1], path->points[i + 2], path->points[i + 3],
                   path->width);
        }
    }
    if (!strokes.empty()) {
        const geom::PolygonWithHolesCollection united =
            geom::Unite_G(geom::PolygonCollection(strokes), m_tolerance);
        for (const geom::PolygonWithHoles& member : united.GetPolygonsWithHoles()) {
            holes.push_back(member.GetPolygon());
        }
    }
    for (const MentorElement* element : drawn) {
        if (const MyPolygon* polygon = element->asMyPolygon()) {
            if (polygon->points.size() >= 6 && polygon->points.size() % 2 == 0
                && allFinite(polygon->points)) {
                holes.push_back(buildPolygon(polygon->points, 1.0));
            }
        } else if (const MyCircle* circle = element->asMyCircle()) {
            const double radius = circle->diameter / 2;
            if (radius > 0 && std::isfinite(radius) && std::isfinite(circle->x)
                && std::isfinite(circle->y)) {
                holes.emplace_back(geom::Circle(geom::Point(circle->x, circle->y), radius));
            }
        }
    }
}

void PlaneConverter::compute(Conversion& conversion) const {
    std::vector<geom::Polygon> holes;
    for (const std::string& layer : conversion.layers) {
        collectHoles(layer, conversion.netName, holes);
    }
    conversion.noHoles = holes.empty();
    if (!conversion.noHoles) {
        conversion.region = geom::Subtract_G(geom::PolygonWithHolesCollection(conversion.outline),
                                             geom::PolygonCollection(holes), m_tolerance);
    }
}

void PlaneConverter::computeSafely(Conversion& conversion) const {
    try {
        compute(conversion);
    } catch (const std::exception&) {
        // Geometry the kernel refuses (or memory running out) leaves the layer without
        // shapes; storing it reports that no positive polygon was formed.
        conversion.noHoles = false;
        conversion.region = geom::PolygonWithHolesCollection();
    }
}

void PlaneConverter::computeAll() {
    // Layers are independent: each worker converts every n-th one. The model is only
    // read here; shapes are made and stored afterwards, in order, so the result does not
    // depend on the number of workers.
    const std::size_t workers = std::min<std::size_t>(m_workers, m_conversions.size());
    if (workers <= 1) {
        for (Conversion& conversion : m_conversions) {
            computeSafely(conversion);
        }
    } else {
        std::vector<std::thread> threads;
        for (std::size_t w = 0; w < workers; ++w) {
            threads.emplace_back([this, w, workers] {
                for (std::size_t i = w; i < m_conversions.size(); i += workers) {
                    computeSafely(m_conversions[i]);
                }
            });
        }
        for (std::thread& thread : threads) {
            thread.join();
        }
    }
    for (const Conversion& conversion : m_conversions) {
        store(conversion);
    }
    m_conversions.clear();
}

LayoutNet* PlaneConverter::netNamed(const std::string& name) {
    for (LayoutNet* net : m_model.layoutElements) {
        if (net->name == name) {
            return net;
        }
    }
    LayoutNet* net = make<LayoutNet>(name);
    m_model.layoutElements.push_back(net);
    return net;
}

void PlaneConverter::store(const Conversion& conversion) {
    const std::string& layer = conversion.layers.front();
    if (conversion.perLayerLines) {
        m_log.WriteText(VString(L"Converting ") + VString(layer) + VString(L" with net name ")
                        + VString(conversion.netName) + VString(L" into positive layer at ")
                        + timeText());
        m_log.EndLine();
    } else {
        m_log.WriteText(VString(conversion.groupLine.c_str()) + timeText());
        m_log.EndLine();
    }
    std::vector<std::vector<MentorElement*>> groups;
    if (conversion.noHoles) {
        if (MentorElement* shape = convertPolygon(conversion.outline, layer, false)) {
            groups.push_back({shape});
        } else {
            VCORE_ASSERT_TEXT("MentorParser", false, "outerPoly");
        }
    } else {
        for (const geom::PolygonWithHoles& piece : conversion.region.GetPolygonsWithHoles()) {
            MentorElement* outer = convertPolygon(piece.GetPolygon(), layer, false);
            if (!outer) {
                VCORE_ASSERT_TEXT("MentorParser", false, "outerPoly");
                continue;
            }
            std::vector<MentorElement*>& group = groups.emplace_back(1, outer);
            for (const geom::Polygon& hole : piece.GetHoles().GetPolygons()) {
                if (MentorElement* shape = convertPolygon(hole, layer, false)) {
                    group.push_back(shape);
                }
            }
        }
    }
    VCORE_ASSERT_TEXT("MentorParser", !groups.empty(), "posPolygons.size() != 0");
    if (!groups.empty()) {
        LayoutNet* net = netNamed(conversion.netName);
        for (std::vector<MentorElement*>& group : groups) {
            net->planeShapeGroups.push_back(std::move(group));
        }
    }
    if (conversion.perLayerLines) {
        m_log.WriteText(VString::Formatted(L"Done! %s", timeText().c_str()));
        m_log.EndLine();
    }
}

}  // namespace

void convertNegativePlanes(BoardModel& model, io::CAbstract_ostream& log) {
    convertNegativePlanes(model, log, std::max(1u, std::thread::hardware_concurrency()));
}

void convertNegativePlanes(BoardModel& model, io::CAbstract_ostream& log, unsigned workers) {
    PlaneConverter(model, log, std::max(1u, workers)).run();
}
