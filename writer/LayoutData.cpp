#include "writer/LayoutData.h"

#include <cctype>
#include <cmath>
#include <exception>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "math/geometry/Offset.h"
#include "math/geometry/PolygonWithHolesCollection.h"
#include "math/geometry/SelfIntersection.h"
#include "mentor/Units.h"
#include "prepare/BoardShapes.h"
#include "writer/Components.h"
#include "writer/DocumentContext.h"
#include "writer/Layers.h"
#include "writer/LayoutNets.h"
#include "writer/PadStacks.h"

using namespace MentorBS;

namespace {

io::CBlock_named_value namedValue(const wchar_t* name, const VString& value) {
    return io::CBlock_named_value(name, io::CBlock_value(value));
}

/// A pin's terminal name: its name without quotes and without the reference and its "-"
/// ("U1-3" of U1 is "3"); a name no longer than that is the terminal name itself.
std::string_view terminalName(const Component& component, const CompPin& pin) {
    const std::string_view name = withoutQuotes(pin.pinName);
    const std::size_t cut = component.name.size() + 1;
    return name.size() > cut ? name.substr(cut) : name;
}

/// Decides whether a top-side component sits on the bottom copper layer: its first pin's
/// pad is used on both sides of the board, its first user is on pad layer 1, but the
/// geometry's own pin of that terminal is not. The footprint then places the pin's
/// "_XTRA" padstack. Pad uses and the geometries' terminal layers are gathered once.
class BothSidesRule {
public:
    explicit BothSidesRule(const BoardModel& model) : m_uses(model) {
        // The pad layer of each terminal of a geometry, taken from the first component of
        // that geometry that has the terminal.
        for (const MentorElement* element : model.elements) {
            if (const Component* component = element->asComponent()) {
                const std::string geometry(withoutQuotes(component->text3));
                for (const CompPin* pin : component->pins) {
                    m_geometryPins.try_emplace(
                        std::pair(geometry, std::string(terminalName(*component, *pin))),
                        pin->value1);
                }
            }
        }
    }

    bool placesOnBottom(const Component& component) const {
        if (component.value1 != 1 || component.pins.empty()) {
            return false;
        }
        const CompPin& first = *component.pins.front();
        if (m_uses.side(first.text1) != "BOTH" || m_uses.firstLayer(first.text1) != 1) {
            return false;
        }
        return geometryPadLayer(component.text3, terminalName(component, first)) != 1;
    }

private:
    /// The pad layer number of a terminal on the first component of the geometry that has
    /// it; 1 when none has.
    int geometryPadLayer(const std::string& geometry, std::string_view terminal) const {
        const auto found = m_geometryPins.find(
            std::pair(std::string(withoutQuotes(geometry)), std::string(terminal)));
        return found == m_geometryPins.end() ? 1 : found->second;
    }

    PadUses m_uses;
    std::map<std::pair<std::string, std::string>, int> m_geometryPins;
};

/// The board outline as found, before any offset.
struct Outline {
    CoordinateList points;
    /// Drawn as a path of `width` rather than as a polygon.
    bool path = false;
    double width = 0;
};

bool isCoordinateList(const CoordinateList& points, std::size_t atLeast) {
    return points.size() % 2 == 0 && points.size() >= atLeast && allFinite(points);
}

/// The first of: the neutral file's routing outline attribute, a board polygon, a board
/// path, a board outline attribute of the geometry file.
std::optional<Outline> findOutline(const BoardModel& model, const DocumentContext& context) {
    for (const MentorElement* element : model.elements) {
        const BoardAttribute* attribute = element->asBoardAttribute();
        if (attribute && attribute->name == "'BOARD_ROUTING_OUTLINE'"
            && isCoordinateList(attribute->numbers, 6)) {
            return Outline{attribute->numbers};
        }
    }
    // The geometry file names the board without the neutral file's quotes.
    const std::string boardName(withoutQuotes(context.boardName.ToNarrow()));
    const auto ownedByBoard = [&](const std::string& kind, const std::string& name) {
        return kind == "board" && withoutQuotes(name) == boardName;
    };
    for (const MentorElement* element : model.elements) {
        const MyPolygon* polygon = element->asMyPolygon();
        if (polygon && ownedByBoard(polygon->ownerKind, polygon->ownerName)
            && isCoordinateList(polygon->points, 6)) {
            return Outline{polygon->points};
        }
    }
    for (const MentorElement* element : model.elements) {
        const Path* path = element->asPath();
        if (path && ownedByBoard(path->ownerKind, path->ownerName)
            && isCoordinateList(path->points, 4)) {
            return Outline{path->points, true, path->width};
        }
    }
    for (const MentorElement* element : model.elements) {
        const Attribute* attribute = element->asAttribute();
        if (attribute && ownedByBoard(attribute->ownerKind, attribute->ownerName)
            && isCoordinateList(attribute->points, 6)) {
            return Outline{attribute->points};
        }
    }
    return std::nullopt;
}

/// The closed outline moved outwards by `distance` (inwards when negative) with round
/// corners, its arcs as 20 degree chords. Where the offset falls apart the largest piece
/// is kept; where it fails or vanishes the outline stays as it is.
CoordinateList offsetOutline(const CoordinateList& points, double distance, double tolerance) {
    try {
        const geom::Polygon polygon = buildPolygon(points, 1.0);
        geom::PolygonWithHolesCollection pieces;
        if (distance > 0) {
            // Cleaned here rather than by the expansion, which would keep only its first
            // piece.
            const geom::PolygonWithHoles grown = geom::Expand_G(polygon, distance, tolerance, false,
                                                                false, geom::k_RoundCorner, 0.0);
            pieces = geom::RemoveSelfIntersections_G(grown.GetPolygon(), tolerance, true, false);
        } else {
            pieces = geom::Shrink_G(polygon, -distance, tolerance, true, geom::k_RoundCorner, 0.0);
        }
        CoordinateList offset = polygonVertices(largestPolygon(pieces), true);
        if (offset.size() >= 6) {
            return offset;
        }
    } catch (const std::exception&) {
        // The kernel refused the shape: the outline is written without its offset.
    }
    return points;
}

}  // namespace

io::CBlockPtr buildLayoutComponents(const BoardModel& model, DocumentContext& context) {
    io::CBlockPtr components(L"LayoutComponents");
    BothSidesRule bothSides(model);
    const auto stackupName = [&](int number) -> const std::string* {
        const auto found = model.techLayers.find(number);
        return found == model.techLayers.end() ? nullptr : &found->second;
    };
    // The footprint blocks are named as the geometry records spell them, which may differ
    // from a component record's spelling by its quotes.
    std::map<std::string_view, const std::string*> footprintNames;
    for (const MentorElement* element : model.elements) {
        if (const Geometry* geometry = element->asGeometry()) {
            footprintNames.emplace(withoutQuotes(geometry->name), &geometry->name);
        }
    }
    for (const MentorElement* element : model.elements) {
        const Component* component = element->asComponent();
        if (!component) {
            continue;
        }
        const auto footprint = footprintNames.find(withoutQuotes(component->text3));
        const std::string& footprintName =
            footprint == footprintNames.end() ? component->text3 : *footprint->second;
        const bool bottom = component->value1 == 2;
        const VString side((bottom || bothSides.placesOnBottom(*component)) ? L"Bottom" : L"Top");
        io::CBlockPtr placed(L"LayoutComp");
        *placed << (io::CBlock_func(L"LayoutCompInst")
                    << VString(outerMetalLayer(model, context, side)) << VString(footprintName)
                    << VString(component->name) << component->x - context.boardOffsetX
                    << component->y - context.boardOffsetY << static_cast<double>(component->value2)
                    << bottom);
        const auto pins = model.pinsByComponent.find(VString(component->name));
        if (pins != model.pinsByComponent.end()) {
            for (const NetPin* pin : pins->second) {
                const std::string* from = pin->number2 == -1 ? nullptr : stackupName(pin->number2);
                const std::string* to =
                    pin->trailingNumber == -1 ? nullptr : stackupName(pin->trailingNumber);
                if (from && to) {
                    *placed << (io::CBlock_func(L"FpPinInst")
                                << pin->pinName << VString(*from) << VString(*to));
                }
            }
        }
        *components << placed;
    }
    return components;
}

io::CBlockPtr buildPhysicalDimensions(const BoardModel& model, DocumentContext& context) {
    io::CBlockPtr dimensions(L"PhysicalDimensions");
    std::optional<Outline> outline = findOutline(model, context);
    if (!outline) {
        return dimensions;
    }
    const double grid = model.doubledPlacementGrid;
    if (grid != 0.0 && std::isfinite(grid)) {
        outline->points =
            offsetOutline(outline->points, grid, geometryTolerance(context.defaultUnits));
    }
    const CoordinateList& points = outline->points;
    const std::size_t pairs = points.size() / 2;
    const double lineWidth = oneMicrometre(context);
    if (outline->path) {
        const double width = outline->width == 0.0 ? lineWidth : outline->width;
        io::CBlock_func path(L"Path");
        path << context.nextGraphicNumber();
        for (std::size_t i = 0; i < pairs; ++i) {
            path << (io::CBlock_func(L"vertex")
                     << points[2 * i] << points[2 * i + 1] << width << width << L"Round"
                     << L"Radiallymitered" << width);
        }
        *dimensions << std::move(path);
        return dimensions;
    }
    io::CBlock_func polygon(L"Polygon");
    polygon << context.nextGraphicNumber() << lineWidth;
    for (std::size_t i = 0; i < pairs; ++i) {
        polygon << (io::CBlock_func(L"vertex") << points[2 * i] << points[2 * i + 1]);
    }
    if (points[2 * pairs - 2] != points[0] || points[2 * pairs - 1] != points[1]) {
        polygon << (io::CBlock_func(L"vertex") << points[0] << points[1]);
    }
    *dimensions << std::move(polygon);
    return dimensions;
}

io::CBlockPtr buildLayoutData(const BoardModel& model, DocumentContext& context) {
    io::CBlockPtr cell(L"LayoutCell");
    *cell << namedValue(L"CellName", context.boardName);
    *cell << buildNetlist(model, context);
    io::CBlockPtr layout(L"Layout");
    *layout << namedValue(L"DefaultUnits", VString(context.defaultUnits));
    *layout << buildLayoutLayers(model, context);
    *layout << io::CBlockPtr(L"LayoutPorts");
    *layout << buildLayoutComponents(model, context);
    *layout << buildLayoutNets(model, context);
    *layout << io::CBlockPtr(L"Graphics");
    *cell << layout;

    io::CBlockPtr design(L"Design");
    *design << namedValue(L"Name", context.boardName);
    // The layer list is built again: the blocks above may have added layer types since.
    io::CBlockPtr topLayout(L"TopLayout");
    *topLayout << buildLayoutLayers(model, context);
    *topLayout << buildPhysicalDimensions(model, context);
    *design << topLayout;
    *design << io::CBlockPtr(L"Instances");

    io::CBlockPtr layoutData(L"LayoutData");
    *layoutData << cell;
    *layoutData << design;
    return layoutData;
}
