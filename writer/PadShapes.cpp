#include "writer/PadShapes.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <map>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

#include "writer/DocumentContext.h"
#include "writer/Layers.h"

namespace {

std::string formatLf(double value) {
    // "%f" of the largest double has 309 digits before the point.
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%f", value);
    return buffer;
}

/// A size of a shape's plain twin: the pad's smallest size on a signal layer when that is
/// smaller, else the drawn size divided by 1.1. The "_ANTI" twin keeps the drawn size.
double reducedSize(double size, double minimum) {
    return 0.0 < minimum && minimum < size ? minimum : size / 1.1;
}

bool isMetalType(const VString& type) {
    for (const wchar_t* metal : {L"MetalizedSignal", L"Power", L"Signal"}) {
        if (type.CompareNoCase(VString(metal)) == 0) {
            return true;
        }
    }
    return false;
}

io::CBlock_func holding(const std::string& name, io::CBlock_func&& shape) {
    return io::CBlock_func(VString(name)) << std::move(shape);
}

/// The merged pin and via polygons by the pad name they were drawn for, in board order.
/// A polygon needs three points; anything shorter draws nothing.
std::map<std::string_view, std::vector<const MentorBS::Initial*>> pinViaPolygonsByPad(
    const MentorBS::BoardModel& model) {
    std::map<std::string_view, std::vector<const MentorBS::Initial*>> polygons;
    for (const MentorBS::MentorElement* element : model.elements) {
        const MentorBS::Initial* initial = element->asInitial();
        if (initial && (initial->ownerKind == "pin" || initial->ownerKind == "via")
            && initial->points.size() >= 6) {
            polygons[withoutQuotes(initial->ownerName)].push_back(initial);
        }
    }
    return polygons;
}

io::CBlock_func polygonOf(const MentorBS::CoordinateList& points) {
    io::CBlock_func polygon(L"Polygon");
    for (std::size_t i = 0; i + 1 < points.size(); i += 2) {
        polygon << (io::CBlock_func(L"vertex") << points[i] << points[i + 1]);
    }
    // Closed: the first point again.
    if (points.size() >= 2) {
        polygon << (io::CBlock_func(L"vertex") << points[0] << points[1]);
    }
    return polygon;
}

void writePadShapes(const MentorBS::BoardModel& model, DocumentContext& context,
                    const MentorBS::Pad& pad, io::CBlock& block) {
    double minWidth = std::numeric_limits<double>::max();
    double minHeight = std::numeric_limits<double>::max();
    for (const MentorBS::PadShape* shape : pad.shapes) {
        const VString type = outputTypeOfLayer(model, context, withoutQuotes(shape->text1));
        if (type.CompareNoCase(VString(L"Signal")) != 0) {
            continue;
        }
        minWidth = std::min(minWidth, padShapeSize(*shape, 0));
        if (shape->shapeKind == "RECTANGLE") {
            minHeight = std::min(minHeight, padShapeSize(*shape, 1));
        }
    }

    std::set<std::string> made;
    for (const MentorBS::PadShape* shape : pad.shapes) {
        const std::string name = padShapeName(pad, *shape);
        if (made.count(name)) {
            const VString type = outputTypeOfLayer(model, context, withoutQuotes(shape->text1));
            const auto rename = context.padShapeRenames.find(name);
            if (isMetalType(type) && rename != context.padShapeRenames.end()
                && !rename->second.empty()) {
                context.storedNames[shape] = rename->second;
            }
            continue;
        }
        const double width = padShapeSize(*shape, 0);
        const double height = padShapeSize(*shape, 1);
        const std::string anti = name + "_ANTI";
        if (shape->shapeKind == "CIRCLE") {
            block << holding(anti, io::CBlock_func(L"Circle") << width);
            block << holding(name, io::CBlock_func(L"Circle") << reducedSize(width, minWidth));
        } else if (shape->shapeKind == "RECTANGLE") {
            block << holding(anti, io::CBlock_func(L"Rectangle") << width << height);
            block << holding(name, io::CBlock_func(L"Rectangle") << reducedSize(width, minWidth)
                                                                 << reducedSize(height, minHeight));
        } else {
            block << io::CBlock_func(VString(name));
            made.insert(name);
            continue;
        }
        made.insert(name);
        made.insert(anti);
        context.padShapeRenames[name] = anti;
        context.storedNames[shape] = anti;
    }
}

}  // namespace

double padShapeSize(const MentorBS::PadShape& shape, std::size_t index) {
    return index < shape.dimensions.size() ? shape.dimensions[index] : 0.0;
}

std::string padShapeName(const MentorBS::Pad& pad, const MentorBS::PadShape& shape) {
    std::string name = pad.name + shape.shapeKind + formatLf(padShapeSize(shape, 0));
    if (shape.shapeKind == "RECTANGLE") {
        name += formatLf(padShapeSize(shape, 1));
    }
    return name;
}

io::CBlockPtr buildPadShapes(const MentorBS::BoardModel& model, DocumentContext& context) {
    io::CBlockPtr padShapes(L"PadShapes");
    io::CBlock& block = *padShapes;
    // The geometry file names pins and vias without the quotes the neutral file keeps.
    const auto polygonsByPad = pinViaPolygonsByPad(model);
    for (const MentorBS::MentorElement* element : model.elements) {
        const MentorBS::Pad* pad = element->asPad();
        if (!pad) {
            continue;
        }
        writePadShapes(model, context, *pad, block);
        const auto polygons = polygonsByPad.find(withoutQuotes(pad->name));
        if (polygons == polygonsByPad.end()) {
            continue;
        }
        for (const MentorBS::Initial* polygon : polygons->second) {
            block << holding(pad->name + "_" + polygon->layer, polygonOf(polygon->points));
            context.pinViaPolygons[pad->name].push_back(polygon);
        }
    }
    // The shape of every layer a padstack leaves without copper.
    block << holding("'NULLPAD'", io::CBlock_func(L"Circle") << 0.0);
    return padShapes;
}
