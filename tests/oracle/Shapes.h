#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

/// Shapes for differential tests of the polygon booleans, described independently of
/// the kernel under test. Every coordinate, centre and radius is a dyadic rational (a
/// double that is exact), and every arc's end points lie exactly on its circle, so an
/// exact peer can take the shapes as they stand.
namespace oracle {

/// One edge of a closed loop: it starts at (x, y) and ends where the next edge starts.
/// An arc turns around (cx, cy) counter-clockwise when `ccw`, clockwise otherwise; a loop
/// of one arc edge is a whole circle.
struct Edge {
    double x = 0;
    double y = 0;
    bool isArc = false;
    double cx = 0;
    double cy = 0;
    bool ccw = true;
};

/// A closed boundary.
using Loop = std::vector<Edge>;

/// A region: a counter-clockwise outer loop and clockwise holes inside it.
struct Region {
    Loop outer;
    std::vector<Loop> holes;
};

/// What a boolean result is compared on. The counts follow the kernel's convention: the
/// result is split into connected open regions, and each region's boundary into simple
/// loops at the points where it touches itself; counter-clockwise loops (around the
/// region) are outers, clockwise ones holes. So two shapes touching at one point are two
/// outers, and a hole touching its outline at one point is still a hole.
struct Summary {
    double area = 0;
    int outers = 0;
    int holes = 0;
};

/// A named random case: the operands of a union (`a` alone) and of a difference (`a`
/// minus `b`).
struct Case {
    std::string kind;
    std::vector<Region> a;
    std::vector<Region> b;
};

/// Signed area of a loop (counter-clockwise positive), exact arcs included.
double loopArea(const Loop& loop);

/// The case with the given number; the same number always gives the same case. Kinds
/// rotate through strokes, circles, rectangles (plain, rounded and rotated), board
/// outlines with arcs, chained traces with vias and pads, plane layers, and deliberately
/// degenerate arrangements (shared edges, stacked shapes, one-point touches, tangent and
/// coinciding arcs, holes touching their outline, slivers a hair wide).
Case makeCase(std::uint64_t number);
/// How many kinds of case there are; case `number` is of kind number % k_CaseKinds.
inline constexpr int k_CaseKinds = 15;
/// The case that the seed `number` gives for a kind (regression tests keep the kind a
/// failing case had when it was found).
Case makeCase(std::uint64_t number, int kind);

// Building blocks (all exact; `unit` is the grid step, a power of two).

/// A segment from p to p + length * (dx, dy) / q stroked at half-width h with
/// half-circle caps, counter-clockwise. (dx, dy, q) is a Pythagorean triple (or an axis),
/// h and length are multiples of q times a power of two, so the caps are exact.
Loop stroke(double px, double py, int dx, int dy, int q, double length, double h);
Loop circle(double cx, double cy, double r, bool ccw = true);
Loop rectangle(double x0, double y0, double x1, double y1);
/// Axis-aligned rectangle with corners rounded by r (quarter arcs), counter-clockwise.
Loop roundedRectangle(double x0, double y0, double x1, double y1, double r);
/// Rectangle of size w x h at p, rotated so that its first side runs along (dx, dy) / q.
Loop rotatedRectangle(double px, double py, int dx, int dy, int q, double w, double h);
/// The loop run the other way (for holes).
Loop reversed(const Loop& loop);

}  // namespace oracle
