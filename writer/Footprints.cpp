#include "writer/Footprints.h"

#include <cctype>
#include <cmath>
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "mentor/DrawnShape.h"
#include "writer/DocumentContext.h"
#include "writer/Layers.h"
#include "writer/PadStacks.h"

namespace {

using MentorBS::CoordinateList;
using MentorBS::MentorElement;

/// The drawing elements of component owners in board order, by owner name without quotes
/// and in lower case: one walk over the board instead of one per geometry.
std::map<std::string, std::vector<const MentorElement*>> componentDrawings(
    const MentorBS::BoardModel& model) {
    std::map<std::string, std::vector<const MentorElement*>> drawings;
    for (const MentorElement* element : model.elements) {
        const MentorBS::DrawnShape drawing = MentorBS::drawnShape(*element);
        if (drawing.layer && *drawing.ownerKind == "component") {
            drawings[lowerCase(withoutQuotes(*drawing.ownerName))].push_back(element);
        }
    }
    return drawings;
}

/// Pad layer number of a placed pin by geometry name and geometry pin name, both without
/// quotes: that of the first component of the geometry, in board order, that has the pin.
using PlacedPinLayers = std::map<std::pair<std::string_view, std::string_view>, int>;

PlacedPinLayers placedPinLayers(const MentorBS::BoardModel& model) {
    PlacedPinLayers layers;
    for (const MentorElement* element : model.elements) {
        const MentorBS::Component* component = element->asComponent();
        if (!component) {
            continue;
        }
        const std::string_view geometry = withoutQuotes(component->text3);
        const std::string_view reference = component->name;
        for (const MentorBS::CompPin* pin : component->pins) {
            // A component pin is named by the reference, "-" and the geometry's pin name;
            // a pin line that gives the bare pin name is taken as it stands.
            std::string_view name = withoutQuotes(pin->pinName);
            if (name.size() > reference.size() && name.starts_with(reference)
                && name[reference.size()] == '-') {
                name.remove_prefix(reference.size() + 1);
            }
            layers.emplace(std::pair(geometry, name), pin->value1);
        }
    }
    return layers;
}

/// Finds the padstacks that geometry pins refer to.
class PadstackNames {
public:
    explicit PadstackNames(const MentorBS::BoardModel& model)
        : m_uses(model), m_placedLayers(placedPinLayers(model)) {}

    /// The padstack of a pin of the geometry named `geometryName` (without quotes): the
    /// pad's name as the neutral file spells it, which is how the padstack is named.
    std::string of(std::string_view geometryName, const MentorBS::GeomPin& pin) {
        const std::string& pad = pin.text1;
        if (withoutQuotes(pin.text2) != "Surf") {
            return pad;
        }
        if (m_uses.side(pad) != "BOTH") {
            return pad;
        }
        // A surface pad used on both sides is written as two padstacks, the pad's own and
        // its "_XTRA" twin. The pin keeps the pad's own only when both the pad's first pin
        // and the pin placed for this geometry pin have their pad on layer 1; an unplaced
        // geometry pin counts as on layer 1.
        const auto placed = m_placedLayers.find({geometryName, withoutQuotes(pin.pinName)});
        const int placedLayer = placed == m_placedLayers.end() ? 1 : placed->second;
        return m_uses.firstLayer(pad) == 1 && placedLayer == 1 ? pad : pad + "_XTRA";
    }

private:
    PadUses m_uses;
    PlacedPinLayers m_placedLayers;
};

/// A polygon needs three points, a path two; a list with an odd count is cut short.
bool isClosedShape(const CoordinateList& points) {
    return points.size() >= 6 && points.size() % 2 == 0;
}

bool isOpenShape(const CoordinateList& points) {
    return points.size() >= 4 && points.size() % 2 == 0;
}

/// Four corners in order around an axis-parallel rectangle: the edges are horizontal and
/// vertical in turn. The corners come from the same decimal text, so exact comparison is
/// what tells them apart.
bool isAxisParallelRectangle(const CoordinateList& p) {
    if (p.size() != 8) {
        return false;
    }
    return (p[1] == p[3] && p[2] == p[4] && p[5] == p[7] && p[6] == p[0])
           || (p[0] == p[2] && p[3] == p[5] && p[4] == p[6] && p[7] == p[1]);
}

io::CBlock_func vertex(double x, double y) {
    return io::CBlock_func(L"vertex") << x << y;
}

/// A closed outline of at least three points: a `Rectangle` when it is one, else a closed
/// `Polygon`.
io::CBlock_func closedShape(const CoordinateList& p, DocumentContext& context, double lineWidth) {
    if (isAxisParallelRectangle(p)) {
        return io::CBlock_func(L"Rectangle")
               << context.nextGraphicNumber() << lineWidth << (p[0] + p[4]) / 2 << (p[1] + p[5]) / 2
               << std::abs(p[4] - p[0]) << std::abs(p[5] - p[1]) << 0.0;
    }
    io::CBlock_func polygon(L"Polygon");
    polygon << context.nextGraphicNumber() << lineWidth;
    for (std::size_t i = 0; i + 1 < p.size(); i += 2) {
        polygon << vertex(p[i], p[i + 1]);
    }
    polygon << vertex(p[0], p[1]);
    return polygon;
}

/// An open line of at least two points, drawn at `width` with round ends.
io::CBlock_func openPath(const CoordinateList& p, double width, DocumentContext& context) {
    io::CBlock_func path(L"Path");
    path << context.nextGraphicNumber();
    for (std::size_t i = 0; i + 1 < p.size(); i += 2) {
        path << (io::CBlock_func(L"vertex")
                 << p[i] << p[i + 1] << width << width << L"Round" << L"Radiallymitered" << width);
    }
    return path;
}

/// The graphic of a drawing element; none for a shape with too few coordinates or of a
/// kind that draws nothing. The graphic number is taken only for a graphic written.
std::optional<io::CBlock_func> drawnGraphic(const MentorElement& element, DocumentContext& context,
                                            double lineWidth) {
    if (const auto* polygon = element.asMyPolygon()) {
        if (isClosedShape(polygon->points)) {
            return closedShape(polygon->points, context, lineWidth);
        }
    } else if (const auto* path = element.asPath()) {
        if (isOpenShape(path->points)) {
            return openPath(path->points, path->width, context);
        }
    } else if (const auto* initial = element.asInitial()) {
        if (initial->shapeKind == "polygon" && isClosedShape(initial->points)) {
            return closedShape(initial->points, context, lineWidth);
        }
        if (initial->shapeKind == "path" && isOpenShape(initial->points)) {
            return openPath(initial->points, initial->width, context);
        }
    } else if (const auto* circle = element.asMyCircle()) {
        return io::CBlock_func(L"Circle") << context.nextGraphicNumber() << circle->width
                                          << circle->x << circle->y << circle->diameter;
    } else if (const auto* text = element.asMyText()) {
        return io::CBlock_func(L"Text")
               << context.nextGraphicNumber() << text->x << text->y << text->length
               << VString(text->justification) << text->textSize << VString(text->text);
    }
    return std::nullopt;
}

/// The layer a footprint drawing goes on: its layer key, except that copper is drawn on
/// the design's layer of that key. Empty when there is no such layer.
std::string drawingLayer(const MentorBS::BoardModel& model, DocumentContext& context,
                         const std::string& key) {
    if (key.empty()) {
        return {};
    }
    const VString type(outputTypeOfType(context, key));
    if (type.CompareNoCase(VString(L"Signal")) != 0
        && type.CompareNoCase(VString(L"MetalizedSignal")) != 0) {
        return key;
    }
    const auto layer = model.xrfToLayerName.find(key);
    return layer == model.xrfToLayerName.end() ? std::string() : layer->second;
}

io::CBlock_func graphics(const VString& layer, io::CBlock_func&& shape) {
    return io::CBlock_func(L"Graphics") << layer << std::move(shape);
}

io::CBlockPtr footprintPins(const MentorBS::Geometry& geometry, PadstackNames& padstacks) {
    io::CBlockPtr pins(L"FpPins");
    for (const MentorBS::GeomPin* pin : geometry.pins) {
        io::CBlockPtr pindef(L"FpPindef");
        *pindef << (io::CBlock_func(L"FpPin")
                    << VString(pin->pinName) << pin->x << pin->y
                    << VString(padstacks.of(withoutQuotes(geometry.name), *pin)) << 0);
        *pins << pindef;
    }
    return pins;
}

}  // namespace

io::CBlockPtr buildSymbols(const MentorBS::BoardModel&, DocumentContext&) {
    return io::CBlockPtr(L"Symbols");
}

io::CBlockPtr buildFootprints(const MentorBS::BoardModel& model, DocumentContext& context) {
    io::CBlockPtr footprints(L"Footprints");
    const auto drawings = componentDrawings(model);
    PadstackNames padstacks(model);
    const double lineWidth = oneMicrometre(context);
    for (const MentorElement* element : model.elements) {
        const MentorBS::Geometry* geometry = element->asGeometry();
        if (!geometry) {
            continue;
        }
        // Components name their footprint as the neutral file names the geometry; the
        // geometry file names the owner of a drawing without quotes.
        io::CBlockPtr footprint{VString(geometry->name)};
        const std::string_view name = withoutQuotes(geometry->name);
        const auto drawn = drawings.find(lowerCase(name));
        static const std::vector<const MentorElement*> k_NoDrawing;
        const auto& ownDrawings = drawn == drawings.end() ? k_NoDrawing : drawn->second;
        *footprint << buildFootprintLayers(model, context, *geometry, ownDrawings);
        *footprint << footprintPins(*geometry, padstacks);

        io::CBlockPtr graphicsBlock(L"FpGraphics");
        for (const MentorElement* drawing : ownDrawings) {
            // Drawings match their geometry whatever the case; texts only as spelled.
            if (const auto* text = drawing->asMyText();
                text && withoutQuotes(text->ownerName) != name) {
                continue;
            }
            const std::string layer =
                drawingLayer(model, context, *MentorBS::drawnShape(*drawing).layer);
            if (layer.empty()) {
                continue;
            }
            if (std::optional<io::CBlock_func> shape = drawnGraphic(*drawing, context, lineWidth)) {
                *graphicsBlock << graphics(VString(layer), std::move(*shape));
            }
        }
        for (const MentorBS::GeomAttribute* outline : geometry->attributes) {
            if (isClosedShape(outline->points)) {
                *graphicsBlock << graphics(VString(L"COMPONENT_BODY_OUTLINE"),
                                           closedShape(outline->points, context, lineWidth));
            }
        }
        *footprint << graphicsBlock;
        *footprints << footprint;
    }
    return footprints;
}
