#pragma once

// Path data for vnfview's pictures: board points with y up are written as SVG user
// coordinates with y down by negating y, numbers with seven significant digits.

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace svg {

struct Point {
    double x = 0.0;
    double y = 0.0;
};

inline bool operator==(const Point& a, const Point& b) {
    return a.x == b.x && a.y == b.y;
}

/// x' = a x + c y + e, y' = b x + d y + f.
struct Transform {
    double a = 1.0, b = 0.0, c = 0.0, d = 1.0, e = 0.0, f = 0.0;

    /// Rotation by `degrees` counter-clockwise about the origin, then, when `mirrored`, a
    /// mirror across the y axis, then a move to (x, y).
    static Transform place(double x, double y, double degrees, bool mirrored) {
        double cosine = 1.0;
        double sine = 0.0;
        const double turn = std::fmod(degrees, 360.0);
        // Quarter turns exactly, so that pads on a rotated part keep their round numbers.
        if (turn == 90.0 || turn == -270.0) {
            cosine = 0.0, sine = 1.0;
        } else if (turn == 180.0 || turn == -180.0) {
            cosine = -1.0, sine = 0.0;
        } else if (turn == 270.0 || turn == -90.0) {
            cosine = 0.0, sine = -1.0;
        } else if (turn != 0.0) {
            const double radians = turn * (3.14159265358979323846 / 180.0);
            cosine = std::cos(radians), sine = std::sin(radians);
        }
        const double flip = mirrored ? -1.0 : 1.0;
        return {flip * cosine, sine, -flip * sine, cosine, x, y};
    }

    Point apply(Point p) const { return {a * p.x + c * p.y + e, b * p.x + d * p.y + f}; }
    /// This transform first, then `outer`.
    Transform then(const Transform& outer) const {
        return {outer.a * a + outer.c * b,           outer.b * a + outer.d * b,
                outer.a * c + outer.c * d,           outer.b * c + outer.d * d,
                outer.a * e + outer.c * f + outer.e, outer.b * e + outer.d * f + outer.f};
    }
    /// A mirroring transform turns clockwise arcs into counter-clockwise ones.
    bool flips() const { return a * d - b * c < 0.0; }
    double scale() const { return std::sqrt(std::abs(a * d - b * c)); }
};

/// A chain of edges: heights[i] is the signed height of the edge from points[i] to the next
/// point (to points[0] after the last point of a closed contour). A height is the distance
/// from the chord's midpoint to the arc's midpoint; positive bulges to the left of the
/// direction of travel (a clockwise arc), negative to the right, 0 is a straight edge.
struct Contour {
    std::vector<Point> points;
    std::vector<double> heights;

    void transform(const Transform& t) {
        for (Point& p : points) {
            p = t.apply(p);
        }
        if (t.flips()) {
            for (double& h : heights) {
                h = -h;
            }
        }
        const double s = t.scale();
        if (s != 1.0) {
            for (double& h : heights) {
                h *= s;
            }
        }
    }
};

/// The box of everything drawn, in board coordinates.
struct Extent {
    double minX = std::numeric_limits<double>::infinity();
    double minY = std::numeric_limits<double>::infinity();
    double maxX = -std::numeric_limits<double>::infinity();
    double maxY = -std::numeric_limits<double>::infinity();

    bool empty() const { return !(minX <= maxX && minY <= maxY); }
    void add(Point p, double grow = 0.0) {
        minX = std::min(minX, p.x - grow);
        minY = std::min(minY, p.y - grow);
        maxX = std::max(maxX, p.x + grow);
        maxY = std::max(maxY, p.y + grow);
    }
    void addBox(const Extent& other) {
        if (!other.empty()) {
            add({other.minX, other.minY});
            add({other.maxX, other.maxY});
        }
    }
};

/// Seven significant digits; noise below 1e-9 (1.8e-13, -0) is written 0, and so is a
/// value that overflowed, which SVG has no word for.
inline void appendNumber(std::string& out, double value) {
    if (!(std::abs(value) >= 1e-9) || !std::isfinite(value)) {
        value = 0.0;
    }
    char buffer[32];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 7);
    out.append(buffer, result.ptr);
}

/// " x y" of a board point in SVG user coordinates.
inline void appendPoint(std::string& out, Point p) {
    out += ' ';
    appendNumber(out, p.x);
    out += ' ';
    appendNumber(out, -p.y);
}

inline void appendMove(std::string& out, Point p, Extent& extent) {
    out += 'M';
    appendPoint(out, p);
    extent.add(p);
}

/// The edge from `from` (the current point) to `to` with signed height `height`: a line,
/// an elliptical-arc command, or two half circles when the edge is a whole circle
/// (`from` equal to `to`, diameter |height|). The file does not say where such a
/// circle's centre lies; it is taken on the -x side of the start, where the translator's
/// kernel starts its circles.
inline void appendEdge(std::string& out, Point from, Point to, double height, Extent& extent) {
    const double chord = std::hypot(to.x - from.x, to.y - from.y);
    const double bulge = std::abs(height);
    // A height that is noise against its chord would give a radius of no use.
    if (!(bulge > 1e-9 * chord) || !std::isfinite(height)) {
        if (chord > 0.0) {
            out += 'L';
            appendPoint(out, to);
            extent.add(to);
        }
        return;
    }
    // Board y is negated, which turns a clockwise arc (positive height) into SVG's
    // positive-angle sweep.
    const char* sweep = height > 0.0 ? " 0 0 1" : " 0 0 0";
    if (chord == 0.0) {
        const double radius = bulge / 2.0;
        const Point opposite{from.x - bulge, from.y};
        for (Point end : {opposite, from}) {
            out += 'A';
            appendNumber(out, radius);
            out += ' ';
            appendNumber(out, radius);
            out += sweep;
            appendPoint(out, end);
        }
        extent.add({from.x - radius, from.y}, radius);
        return;
    }
    const double radius = (chord * chord / (4.0 * bulge) + bulge) / 2.0;
    out += 'A';
    appendNumber(out, radius);
    out += ' ';
    appendNumber(out, radius);
    out += ' ';
    out += '0';
    out += ' ';
    out += 2.0 * bulge > chord ? '1' : '0';
    out += ' ';
    out += height > 0.0 ? '1' : '0';
    appendPoint(out, to);
    extent.add(to);
    // The arc's midpoint, so that the extent holds the bulge.
    const double nx = -(to.y - from.y) / chord;
    const double ny = (to.x - from.x) / chord;
    extent.add({(from.x + to.x) / 2.0 + nx * height, (from.y + to.y) / 2.0 + ny * height});
}

/// A closed contour as one subpath ending in Z.
inline void appendClosed(std::string& out, const Contour& contour, Extent& extent) {
    const std::size_t count = contour.points.size();
    if (count == 0) {
        return;
    }
    appendMove(out, contour.points[0], extent);
    for (std::size_t i = 0; i < count; ++i) {
        const Point& to = contour.points[i + 1 < count ? i + 1 : 0];
        if (i + 1 == count && contour.heights[i] == 0.0) {
            break;  // Z draws the closing line
        }
        appendEdge(out, contour.points[i], to, contour.heights[i], extent);
    }
    out += 'Z';
}

/// An open contour as one subpath; a single point, or points all in one place, become a
/// zero-length line, which round caps draw as a dot.
inline void appendOpen(std::string& out, const Contour& contour, Extent& extent) {
    const std::size_t count = contour.points.size();
    if (count == 0) {
        return;
    }
    appendMove(out, contour.points[0], extent);
    const std::size_t moved = out.size();
    for (std::size_t i = 0; i + 1 < count; ++i) {
        appendEdge(out, contour.points[i], contour.points[i + 1], contour.heights[i], extent);
    }
    if (out.size() == moved) {
        out += 'L';
        appendPoint(out, contour.points[0]);
    }
}

/// A circle as a closed subpath of two half circles, for circles that must take part in a
/// path's fill rule (voids).
inline void appendCircleSubpath(std::string& out, Point centre, double radius, Extent& extent) {
    Contour circle;
    circle.points = {{centre.x + radius, centre.y}, {centre.x - radius, centre.y}};
    circle.heights = {-radius, -radius};
    appendClosed(out, circle, extent);
}

}  // namespace svg
