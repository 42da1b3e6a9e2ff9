#include "prepare/BoardShapes.h"

#include <cctype>

#include "math/geometry/Circumference.h"
#include "math/geometry/Discretize.h"
#include "math/geometry/Exception.h"
#include "mentor/Arena.h"
#include "mentor/Names.h"
#include "mentor/Units.h"

using namespace MentorBS;

namespace {

bool isOutlineList(const CoordinateList& points, std::size_t atLeast) {
    return points.size() % 2 == 0 && points.size() >= atLeast;
}

}  // namespace

std::string mapLayerName(const BoardModel& model, std::string_view layerName) {
    for (const auto& [xrfName, mappedName] : model.xrfToLayerName) {
        if (equalIgnoringCase(xrfName, layerName)) {
            return mappedName;
        }
    }
    return {};
}

double tracesCoordinateFactor(const BoardModel& model) {
    double scale = 1;
    const std::string_view units = unitAbbreviation(model.unitsName, scale);
    if (units == "mm") {
        return 1e-5;
    }
    if (units == "m") {
        return 1e-8;
    }
    if (units == "cm") {
        return 1e-6;
    }
    if (units == "in") {
        return 3.937007874e-7;
    }
    if (units == "mil") {
        return 3.937007874e-4;
    }
    return 3.937007874e-5;
}

bool findBoardRoutingOutline(const BoardModel& model, CoordinateList& points) {
    std::string_view boardName;
    for (const MentorElement* element : model.elements) {
        if (const Board* board = element->asBoard()) {
            boardName = withoutQuotes(board->name);
        } else if (const BoardAttribute* attribute = element->asBoardAttribute()) {
            if (attribute->name == "'BOARD_ROUTING_OUTLINE'"
                && isOutlineList(attribute->numbers, 6)) {
                points = attribute->numbers;
                return true;
            }
        }
    }
    const auto ownedByBoard = [&](const std::string& kind, const std::string& name) {
        return kind == "board" && name == boardName;
    };
    for (const MentorElement* element : model.elements) {
        if (const MyPolygon* polygon = element->asMyPolygon()) {
            if (ownedByBoard(polygon->ownerKind, polygon->ownerName)
                && isOutlineList(polygon->points, 8)) {
                points = polygon->points;
                return true;
            }
        } else if (const Path* path = element->asPath()) {
            if (ownedByBoard(path->ownerKind, path->ownerName) && isOutlineList(path->points, 8)) {
                points = path->points;
                return true;
            }
        } else if (const Attribute* attribute = element->asAttribute()) {
            if (ownedByBoard(attribute->ownerKind, attribute->ownerName)) {
                points = attribute->points;
                return true;
            }
        }
    }
    return false;
}

std::vector<const Path*> selectBoardPaths(const BoardModel& model, std::string_view layerName) {
    std::vector<const Path*> paths;
    for (const MentorElement* element : model.elements) {
        const Path* path = element->asPath();
        if (path && path->ownerKind == "board" && mapLayerName(model, path->layer) == layerName) {
            paths.push_back(path);
        }
    }
    return paths;
}

geom::Polygon buildPolygon(const CoordinateList& points, double scale) {
    std::vector<geom::Point> vertices;
    vertices.reserve(points.size() / 2);
    for (std::size_t i = 0; i + 1 < points.size(); i += 2) {
        vertices.emplace_back(points[i] * scale, points[i + 1] * scale);
    }
    return geom::Polygon(vertices, true);
}

MentorElement* convertPolygon(const geom::Polygon& polygon, const std::string& layerName,
                              bool discretise) {
    const std::vector<geom::Arc> edges = polygon.GetEdges();
    geom::Circumference circle;
    if (edges.size() == 1 && edges.front().IsCircumference(&circle)) {
        const geom::Point& centre = circle.GetCentre();
        return make<MyCircle>(layerName, centre.GetX(), centre.GetY(), 2 * circle.GetRadius(), 0.0,
                              std::string(), std::string());
    }
    if (edges.size() < 2) {
        return nullptr;
    }
    CoordinateList points;
    if (discretise) {
        // 20 degree chords, at most 20 points for each vertex of the polygon; a polygon
        // that needs more (an arc of a huge radius) gives no shape.
        std::vector<geom::Point> chords;
        try {
            chords = geom::Discretize_G(polygon, geom::Angle(geom::Angle::k_Degrees, 20.0), false,
                                        20 * static_cast<int>(edges.size()));
        } catch (const geom::Exception&) {
            return nullptr;
        }
        for (const geom::Point& point : chords) {
            points.push_back(point.GetX());
            points.push_back(point.GetY());
        }
        return make<MyPolygon>(layerName, std::string(), std::move(points), std::string(),
                               std::string());
    }
    points.reserve(3 * edges.size());
    for (const geom::Arc& edge : edges) {
        if (edge.IsPoint(0)) {
            continue;
        }
        points.push_back(edge.GetStart().GetX());
        points.push_back(edge.GetStart().GetY());
        points.push_back(edge.GetHeight());
    }
    return make<MyArcPolygon>(layerName, std::string(), std::move(points), std::string(),
                              std::string());
}
