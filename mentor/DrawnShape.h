#pragma once

#include <string>

#include "mentor/MentorBS.h"

namespace MentorBS {

/// What every shape of the geometry file carries: its layer and the object it was drawn
/// for. Null fields for elements that are no drawn shape.
struct DrawnShape {
    const std::string* layer = nullptr;
    const std::string* ownerKind = nullptr;
    const std::string* ownerName = nullptr;
};

/// The layer and owner of a polygon, path, point-by-point shape, circle or text.
inline DrawnShape drawnShape(const MentorElement& element) {
    if (const MyPolygon* e = element.asMyPolygon()) {
        return {&e->layer, &e->ownerKind, &e->ownerName};
    }
    if (const Path* e = element.asPath()) {
        return {&e->layer, &e->ownerKind, &e->ownerName};
    }
    if (const Initial* e = element.asInitial()) {
        return {&e->layer, &e->ownerKind, &e->ownerName};
    }
    if (const MyCircle* e = element.asMyCircle()) {
        return {&e->layer, &e->ownerKind, &e->ownerName};
    }
    if (const MyText* e = element.asMyText()) {
        return {&e->layer, &e->ownerKind, &e->ownerName};
    }
    return {};
}

}  // namespace MentorBS
