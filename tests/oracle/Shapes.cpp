#include "tests/oracle/Shapes.h"

#include <cmath>
#include <numbers>

namespace oracle {

namespace {

double crossOf(double ax, double ay, double bx, double by) {
    return ax * by - ay * bx;
}

// Pythagorean directions (dx, dy, q) with dx^2 + dy^2 = q^2.
struct Direction {
    int dx;
    int dy;
    int q;
};
constexpr Direction k_Directions[] = {{1, 0, 1},   {0, 1, 1},   {-1, 0, 1},   {0, -1, 1},
                                      {3, 4, 5},   {4, 3, 5},   {-3, 4, 5},   {4, -3, 5},
                                      {5, 12, 13}, {12, 5, 13}, {-12, 5, 13}, {8, 15, 17}};

class Generator {
public:
    explicit Generator(std::uint64_t seed) : m_random(seed * 0x9E3779B97F4A7C15ull + 1) {}

    int integer(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_random); }
    bool coin() { return integer(0, 1) == 1; }
    // A coordinate on the 1/64 grid within [lo, hi].
    double grid(double lo, double hi) {
        return integer(static_cast<int>(lo * 64), static_cast<int>(hi * 64)) / 64.0;
    }
    Direction direction() {
        return k_Directions[integer(0, static_cast<int>(std::size(k_Directions)) - 1)];
    }

    Loop randomStroke(double spread) {
        const Direction d = direction();
        // Multiples of q/64 keep the cap end points on the 1/64 grid.
        const double h = integer(1, 12) * d.q / 64.0;
        const double length = integer(0, 3) == 0 ? 0.0 : integer(1, 40) * d.q / 64.0;
        return stroke(grid(-spread, spread), grid(-spread, spread), d.dx, d.dy, d.q, length, h);
    }
    Loop randomCircle(double spread) {
        return circle(grid(-spread, spread), grid(-spread, spread), integer(4, 96) / 64.0);
    }
    Loop randomRectangle(double spread) {
        const double x = grid(-spread, spread);
        const double y = grid(-spread, spread);
        return rectangle(x, y, x + integer(4, 128) / 64.0, y + integer(4, 128) / 64.0);
    }
    Loop randomRounded(double spread) {
        const double x = grid(-spread, spread);
        const double y = grid(-spread, spread);
        const double w = integer(8, 128) / 64.0;
        const double h = integer(8, 128) / 64.0;
        const double r = integer(1, static_cast<int>(std::min(w, h) * 32)) / 64.0;
        return roundedRectangle(x, y, x + w, y + h, r);
    }
    Loop randomRotated(double spread) {
        const Direction d = direction();
        return rotatedRectangle(grid(-spread, spread), grid(-spread, spread), d.dx, d.dy, d.q,
                                integer(1, 64) * d.q / 64.0, integer(1, 64) * d.q / 64.0);
    }
    Loop anyShape(double spread) {
        switch (integer(0, 4)) {
        case 0:
            return randomStroke(spread);
        case 1:
            return randomCircle(spread);
        case 2:
            return randomRectangle(spread);
        case 3:
            return randomRounded(spread);
        default:
            return randomRotated(spread);
        }
    }

    // A chain of strokes of one width, as a router draws a trace: consecutive strokes share
    // their end points (so their caps lie on one circle) and turn by the angles between the
    // axis directions and one family of Pythagorean directions. Some joints carry a via
    // (a circle around the joint, sometimes exactly the caps' circle), and a pad (plain or
    // rounded rectangle) may sit at either end.
    void traceChain(double spread, std::vector<Region>& out) {
        const int q = coin() ? 5 : 13;
        std::vector<Direction> family;
        for (const Direction& d : k_Directions) {
            if (d.q == 1 || d.q == q) {
                family.push_back(d);
            }
        }
        const double h = integer(1, 6) * q / 64.0;
        double x = grid(-spread, spread);
        double y = grid(-spread, spread);
        const auto pad = [&](double px, double py) {
            const double w = integer(4, 16) / 64.0 + h;
            const double t = integer(4, 16) / 64.0 + h;
            out.push_back(
                {coin() ? rectangle(px - w, py - t, px + w, py + t)
                        : roundedRectangle(px - w, py - t, px + w, py + t, std::min(w, t) / 2),
                 {}});
        };
        if (integer(0, 2) == 0) {
            pad(x, y);
        }
        for (int i = integer(2, 6); i > 0; --i) {
            const Direction d = family[integer(0, static_cast<int>(family.size()) - 1)];
            const double length = integer(1, 24) * d.q / 64.0;
            out.push_back({stroke(x, y, d.dx, d.dy, d.q, length, h), {}});
            x += d.dx * (length / d.q);
            y += d.dy * (length / d.q);
            if (integer(0, 3) == 0) {
                out.push_back({circle(x, y, coin() ? h : h + integer(1, 8) / 64.0), {}});
            }
        }
        if (integer(0, 2) == 0) {
            pad(x, y);
        }
    }

private:
    std::mt19937_64 m_random;
};

Region region(Loop outer) {
    return Region{std::move(outer), {}};
}

// A board outline: a rectangle with some corners rounded and, sometimes, a round notch
// cut into the top side.
Region boardOutline(Generator& g) {
    const double w = g.integer(4, 8);
    const double h = g.integer(3, 6);
    Loop loop;
    const double r = g.integer(8, 32) / 64.0;
    // Corners counter-clockwise from the bottom left; each either sharp or rounded.
    const double corners[4][2] = {{0, 0}, {w, 0}, {w, h}, {0, h}};
    const int sx[4] = {1, -1, -1, 1};  // direction towards the inside per corner
    const int sy[4] = {1, 1, -1, -1};
    for (int i = 0; i < 4; ++i) {
        const double x = corners[i][0];
        const double y = corners[i][1];
        const bool rounded = g.coin();
        const bool horizontalIn = (i % 2 == 1);  // arriving along a horizontal side
        if (!rounded) {
            loop.push_back({x, y});
        } else {
            // Arrive at the corner's tangent point, then a quarter arc to the next side.
            const double cx = x + sx[i] * r;
            const double cy = y + sy[i] * r;
            Edge arc{horizontalIn ? cx : x, horizontalIn ? y : cy, true, cx, cy, true};
            loop.push_back(arc);
            loop.push_back({horizontalIn ? x : cx, horizontalIn ? cy : y});
        }
        if (i == 2 && g.coin()) {
            // A half-circle notch in the top side, entered from the right.
            const double nr = g.integer(8, 32) / 64.0;
            const double nx = w / 2;
            loop.push_back({nx + nr, h, true, nx, h, false});
            loop.push_back({nx - nr, h});
        }
    }
    return region(loop);
}

}  // namespace

double loopArea(const Loop& loop) {
    double area = 0;
    for (std::size_t i = 0; i < loop.size(); ++i) {
        const Edge& e = loop[i];
        const Edge& next = loop[(i + 1) % loop.size()];
        area += crossOf(e.x, e.y, next.x, next.y) / 2;
        if (e.isArc) {
            const double r2 = (e.x - e.cx) * (e.x - e.cx) + (e.y - e.cy) * (e.y - e.cy);
            double sweep = 2 * std::numbers::pi;
            if (loop.size() > 1 || next.x != e.x || next.y != e.y) {
                const double ax = e.x - e.cx;
                const double ay = e.y - e.cy;
                const double bx = next.x - e.cx;
                const double by = next.y - e.cy;
                sweep = std::atan2(crossOf(ax, ay, bx, by), ax * bx + ay * by);
                if (e.ccw && sweep <= 0) {
                    sweep += 2 * std::numbers::pi;
                } else if (!e.ccw && sweep >= 0) {
                    sweep -= 2 * std::numbers::pi;
                }
                sweep = std::abs(sweep);
            }
            const double segment = r2 / 2 * (sweep - std::sin(sweep));
            area += e.ccw ? segment : -segment;
        }
    }
    return area;
}

Loop stroke(double px, double py, int dx, int dy, int q, double length, double h) {
    if (length == 0) {
        return circle(px, py, h);
    }
    const double ux = static_cast<double>(dx) / q;
    const double uy = static_cast<double>(dy) / q;
    // h / q and length / q are exact by construction, so are the products below.
    const double nx = -dy * (h / q);
    const double ny = dx * (h / q);
    const double ex = px + dx * (length / q);
    const double ey = py + dy * (length / q);
    (void)ux;
    (void)uy;
    return Loop{
        {px - nx, py - ny},
        {ex - nx, ey - ny, true, ex, ey, true},
        {ex + nx, ey + ny},
        {px + nx, py + ny, true, px, py, true},
    };
}

Loop circle(double cx, double cy, double r, bool ccw) {
    return Loop{{cx + r, cy, true, cx, cy, ccw}};
}

Loop rectangle(double x0, double y0, double x1, double y1) {
    return Loop{{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
}

Loop roundedRectangle(double x0, double y0, double x1, double y1, double r) {
    return Loop{
        {x0 + r, y0}, {x1 - r, y0, true, x1 - r, y0 + r, true},
        {x1, y0 + r}, {x1, y1 - r, true, x1 - r, y1 - r, true},
        {x1 - r, y1}, {x0 + r, y1, true, x0 + r, y1 - r, true},
        {x0, y1 - r}, {x0, y0 + r, true, x0 + r, y0 + r, true},
    };
}

Loop rotatedRectangle(double px, double py, int dx, int dy, int q, double w, double h) {
    const double ax = dx * (w / q);
    const double ay = dy * (w / q);
    const double bx = -dy * (h / q);
    const double by = dx * (h / q);
    return Loop{{px, py}, {px + ax, py + ay}, {px + ax + bx, py + ay + by}, {px + bx, py + by}};
}

Loop reversed(const Loop& loop) {
    // Edge i runs from vertex i to vertex i+1; reversed, the edge from vertex i+1 to i
    // keeps its centre and turns the other way.
    Loop out;
    const std::size_t n = loop.size();
    for (std::size_t k = 0; k < n; ++k) {
        const Edge& e = loop[n - 1 - k];
        const Edge& next = loop[(n - k) % n];
        out.push_back({next.x, next.y, e.isArc, e.cx, e.cy, !e.ccw});
    }
    return out;
}

Case makeCase(std::uint64_t number) {
    return makeCase(number, static_cast<int>(number % k_CaseKinds));
}

Case makeCase(std::uint64_t number, int kind) {
    Generator g(number);
    Case c;
    switch (kind) {
    case 0: {
        c.kind = "strokes";
        for (int i = g.integer(2, 6); i > 0; --i) {
            c.a.push_back(region(g.randomStroke(1.0)));
        }
        for (int i = g.integer(1, 4); i > 0; --i) {
            c.b.push_back(region(g.randomStroke(1.0)));
        }
        break;
    }
    case 1: {
        c.kind = "circles";
        for (int i = g.integer(2, 5); i > 0; --i) {
            c.a.push_back(region(g.randomCircle(1.0)));
        }
        c.b.push_back(region(g.randomCircle(1.0)));
        break;
    }
    case 2: {
        c.kind = "rectangles";
        for (int i = g.integer(2, 5); i > 0; --i) {
            c.a.push_back(region(g.coin() ? g.randomRectangle(1.0) : g.randomRotated(1.0)));
        }
        c.b.push_back(region(g.randomRounded(1.0)));
        break;
    }
    case 3: {
        c.kind = "mixed";
        for (int i = g.integer(2, 6); i > 0; --i) {
            c.a.push_back(region(g.anyShape(1.5)));
        }
        for (int i = g.integer(1, 3); i > 0; --i) {
            c.b.push_back(region(g.anyShape(1.5)));
        }
        break;
    }
    case 4: {
        c.kind = "board";
        const Region board = boardOutline(g);
        c.a.push_back(board);
        for (int i = g.integer(3, 10); i > 0; --i) {
            Loop cut = g.anyShape(1.0);
            const double dx = g.integer(0, 6 * 64) / 64.0;
            const double dy = g.integer(0, 4 * 64) / 64.0;
            for (Edge& e : cut) {
                e.x += dx;
                e.y += dy;
                e.cx += dx;
                e.cy += dy;
            }
            c.b.push_back(region(cut));
        }
        break;
    }
    case 5: {
        c.kind = "shared-edges";
        // Rectangles on a coarse grid: they share sides, meet at corners or overlap.
        for (int i = g.integer(3, 8); i > 0; --i) {
            const double x = g.integer(0, 4) / 4.0;
            const double y = g.integer(0, 4) / 4.0;
            c.a.push_back(
                region(rectangle(x, y, x + g.integer(1, 3) / 4.0, y + g.integer(1, 3) / 4.0)));
        }
        c.b.push_back(region(rectangle(0.25, 0.25, 0.5, 0.5 + g.integer(0, 2) / 4.0)));
        break;
    }
    case 6: {
        c.kind = "stacked";
        // Identical shapes on top of each other, and strokes chained end to end so that
        // their caps coincide.
        const Loop shape = g.anyShape(0.5);
        for (int i = g.integer(2, 4); i > 0; --i) {
            c.a.push_back(region(shape));
        }
        double x = 0;
        const double h = g.integer(2, 8) / 64.0;
        for (int i = g.integer(1, 4); i > 0; --i) {
            const double length = g.integer(4, 32) / 64.0;
            c.a.push_back(region(stroke(x, 0.25, 1, 0, 1, length, h)));
            x += length;
        }
        c.b.push_back(region(shape));
        break;
    }
    case 8: {
        c.kind = "traces";
        for (int i = g.integer(1, 4); i > 0; --i) {
            g.traceChain(1.0, c.a);
        }
        for (int i = g.integer(1, 2); i > 0; --i) {
            g.traceChain(1.0, c.b);
        }
        break;
    }
    case 9: {
        c.kind = "plane";
        // A board outline minus the traces, vias and pads of other nets, as a plane
        // layer is made.
        c.a.push_back(boardOutline(g));
        for (int i = g.integer(2, 6); i > 0; --i) {
            g.traceChain(2.0, c.b);
        }
        for (Region& r : c.b) {
            for (Edge& e : r.outer) {
                e.x += 2;
                e.y += 1.5;
                e.cx += 2;
                e.cy += 1.5;
            }
        }
        break;
    }
    case 10: {
        c.kind = "tangents";
        // Arcs tangent to segments and to other arcs, inside and outside, and arcs that
        // coincide with parts of other arcs.
        const double s = g.integer(16, 64) / 32.0;
        const double x = g.grid(-1, 1);
        const double y = g.grid(-1, 1);
        c.a.push_back(region(rectangle(x, y, x + s, y + s)));
        const double r = g.integer(4, 16) / 64.0;
        switch (g.integer(0, 3)) {
        case 0:  // a rounded rectangle with a circle on one of its corner arcs
            c.a.push_back(region(roundedRectangle(x + s, y, x + 2 * s, y + s, r)));
            c.b.push_back(region(circle(x + 2 * s - r, y + s - r, r)));
            break;
        case 1:  // a circle inside another, touching it at one point
            c.a.push_back(region(circle(x + s / 2, y - s / 2, s / 2)));
            c.b.push_back(region(circle(x + s / 2 + s / 2 - r, y - s / 2, r)));
            break;
        case 2:  // a circle tangent to a stroke's side, and a stroke ending on a via
            c.a.push_back(region(stroke(x, y - r, 1, 0, 1, s, r)));
            c.a.push_back(region(circle(x + s / 2, y - 3 * r, r)));
            c.b.push_back(region(circle(x + s, y - r, g.coin() ? r : 2 * r)));
            break;
        default:  // a circle touching the rectangle's side from outside
            c.a.push_back(region(circle(x - r, y + s / 2, r)));
            break;
        }
        // The circle inscribed in the square: the square minus it falls apart into four
        // corners that meet only where the circle touches the sides.
        c.b.push_back(region(circle(x + s / 2, y + s / 2, s / 2)));
        break;
    }
    case 11: {
        c.kind = "holes";
        // Holes touching their outline at a point or along a side, and each other.
        const double s = g.integer(2, 4);
        Region frame{rectangle(0, 0, s, s), {}};
        const double m = s / 2;
        switch (g.integer(0, 3)) {
        case 0:  // a diamond touching the bottom side at one point
            frame.holes.push_back(reversed(Loop{{m, 0}, {m + 0.5, 0.5}, {m, 1}, {m - 0.5, 0.5}}));
            break;
        case 1:  // two squares touching at a corner
            frame.holes.push_back(reversed(rectangle(0.5, 0.5, m, m)));
            frame.holes.push_back(reversed(rectangle(m, m, s - 0.5, s - 0.5)));
            break;
        case 2:  // a circle touching the left side from inside
            frame.holes.push_back(reversed(circle(0.5, m, 0.5)));
            break;
        default:  // a square sharing part of the right side
            frame.holes.push_back(reversed(rectangle(s - 0.5, 0.5, s, 1.5)));
            break;
        }
        c.a.push_back(frame);
        c.a.push_back(region(g.anyShape(0.5)));
        for (Edge& e : c.a.back().outer) {
            e.x += m;
            e.y += m;
            e.cx += m;
            e.cy += m;
        }
        c.b.push_back(region(g.anyShape(0.5)));
        for (Edge& e : c.b.back().outer) {
            e.x += m;
            e.cx += m;
        }
        break;
    }
    case 12: {
        c.kind = "slivers";
        // Edges a hair (2^-20) apart: thin slivers between near-coincident sides and arcs.
        const double hair = std::ldexp(1.0, -20);
        const double x = g.grid(-1, 1);
        const double y = g.grid(-1, 1);
        const double w = g.integer(16, 64) / 32.0;
        c.a.push_back(region(rectangle(x, y, x + w, y + w)));
        c.a.push_back(region(rectangle(x + w + hair, y, x + 2 * w, y + w)));
        const Direction d = g.direction();
        const double side = g.integer(4, 32) * d.q / 64.0;
        c.a.push_back(region(rotatedRectangle(x, y + w, d.dx, d.dy, d.q, side, side)));
        // The same rectangle moved off its first side by q hairs, along the normal
        // (-dy, dx), so that the move stays exact.
        c.b.push_back(region(
            rotatedRectangle(x - d.dy * hair, y + w + d.dx * hair, d.dx, d.dy, d.q, side, side)));
        const double r = g.integer(8, 32) / 64.0;
        c.a.push_back(region(circle(x + w / 2, y - r, r)));
        c.b.push_back(region(circle(x + w / 2, y - r, r - hair)));
        break;
    }
    case 13: {
        c.kind = "dense";
        // Many traces crossing in a small area, with their vias and pads.
        for (int i = g.integer(4, 10); i > 0; --i) {
            g.traceChain(0.5, c.a);
        }
        for (int i = g.integer(2, 5); i > 0; --i) {
            g.traceChain(0.5, c.b);
        }
        break;
    }
    case 14: {
        c.kind = "crowd";
        // So many traces, vias and pads on a small area that each overlaps dozens of
        // others: the union then runs as a cascade of partial unions.
        const int count = g.integer(48, 80);
        for (int i = 0; i < count; ++i) {
            const Direction d = g.direction();
            const double h = g.integer(1, 3) * d.q / 64.0;
            const double length = g.integer(1, 6) * d.q / 64.0;
            const int kind = g.integer(0, 9);
            if (kind < 7) {
                c.a.push_back(
                    region(stroke(g.grid(0, 0.75), g.grid(0, 0.75), d.dx, d.dy, d.q, length, h)));
            } else if (kind < 9) {
                c.a.push_back(
                    region(circle(g.grid(0, 0.75), g.grid(0, 0.75), g.integer(4, 16) / 64.0)));
            } else {
                const double x = g.grid(0, 0.75);
                const double y = g.grid(0, 0.75);
                c.a.push_back(region(roundedRectangle(x, y, x + 0.25, y + 0.125, 1.0 / 32)));
            }
        }
        for (int i = g.integer(1, 3); i > 0; --i) {
            g.traceChain(0.5, c.b);
        }
        break;
    }
    default: {
        c.kind = "touching";
        // A square with a square hole that touches its outline at a corner or along a
        // side, a circle tangent to a side, and a thin sliver overlap.
        const double s = g.integer(2, 4) / 2.0;
        Region frame{rectangle(0, 0, s, s), {}};
        const double hx = g.coin() ? 0.0 : 0.25;
        frame.holes.push_back(reversed(rectangle(hx, 0.25, hx + 0.5, 0.75)));
        c.a.push_back(frame);
        c.a.push_back(region(circle(s + 0.25, s / 2, 0.25)));  // tangent to the right side
        c.a.push_back(region(rectangle(s - 1.0 / 1024, 0, s + 0.125, 0.125)));  // sliver
        c.b.push_back(region(rectangle(0.125, s - 0.125, s / 2, s + 0.125)));
        break;
    }
    }
    return c;
}

}  // namespace oracle
