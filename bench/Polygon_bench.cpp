// Polygon operations on large outlines: containment and the self-intersection test, each
// against a plain scan of every edge (or pair of edges) in the same run, plus area and
// self-intersection removal. Ratios are printed after Google Benchmark's table.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "bench/CpuTimeReporter.h"
#include "math/geometry/Intersections.h"
#include "math/geometry/Polygon.h"
#include "math/geometry/PolygonWithHolesCollection.h"
#include "math/geometry/SelfIntersection.h"

namespace {

using namespace geom;

constexpr double k_Pi = 3.141592653589793;

/// A wobbly closed outline of n edges of length about 1, every third one an arc, and
/// points to test scattered over its box.
struct Shape {
    Polygon m_Polygon;
    std::vector<Arc> m_Edges;
    std::vector<Point> m_Points;

    explicit Shape(int n) {
        std::mt19937 random(777);
        std::uniform_real_distribution<double> unit(0, 1);
        const double radius = n / (2 * k_Pi);
        std::vector<Point> ring;
        for (int i = 0; i < n; ++i) {
            const double a = 2 * k_Pi * i / n;
            const double r = radius + 3 * std::sin(a * 97) + 0.5 * unit(random);
            ring.emplace_back(r * std::cos(a), r * std::sin(a));
        }
        for (int i = 0; i < n; ++i) {
            const Point& s = ring[i];
            const Point& e = ring[(i + 1) % n];
            m_Edges.emplace_back(s, e, i % 3 == 0 ? -0.1 * s.GetDistanceTo(e) : 0.0);
        }
        m_Polygon = Polygon(m_Edges, true);
        const Box box = m_Polygon.GetBBox();
        for (int i = 0; i < 1024; ++i) {
            m_Points.emplace_back(box.GetXMin() + unit(random) * (box.GetXMax() - box.GetXMin()),
                                  box.GetYMin() + unit(random) * (box.GetYMax() - box.GetYMin()));
        }
    }
};

const Shape& GetShape(int n) {
    static std::map<int, Shape> shapes;
    auto it = shapes.find(n);
    if (it == shapes.end()) {
        it = shapes.emplace(n, Shape(n)).first;
    }
    return it->second;
}

void BM_Contains_BoxQuery(benchmark::State& state) {
    const Shape& shape = GetShape(int(state.range(0)));
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(shape.m_Polygon.Contains(shape.m_Points[i++ % 1024], 1e-9));
    }
}

/// The same question answered by a crossing count over every edge's chord: less work per
/// edge than the kernel does, but no edge skipped.
void BM_Contains_LinearScan(benchmark::State& state) {
    const Shape& shape = GetShape(int(state.range(0)));
    size_t i = 0;
    for (auto _ : state) {
        const Point& p = shape.m_Points[i++ % 1024];
        bool inside = false;
        for (const Arc& e : shape.m_Edges) {
            const Point& a = e.GetStart();
            const Point& b = e.GetEnd();
            if ((a.GetY() > p.GetY()) != (b.GetY() > p.GetY())
                && p.GetX() < (b.GetX() - a.GetX()) * (p.GetY() - a.GetY()) / (b.GetY() - a.GetY())
                                  + a.GetX()) {
                inside = !inside;
            }
        }
        benchmark::DoNotOptimize(inside);
    }
}

void BM_SelfIntersecting_BoxQuery(benchmark::State& state) {
    const Shape& shape = GetShape(int(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(shape.m_Polygon.IsSelfIntersecting(1e-9));
    }
}

/// Every pair of edges, with a box test before the intersection, as without the tree.
void BM_SelfIntersecting_AllPairs(benchmark::State& state) {
    const Shape& shape = GetShape(int(state.range(0)));
    std::vector<Box> boxes;
    for (const Arc& e : shape.m_Edges) {
        boxes.push_back(e.GetBBox().GetExpanded(1e-9));
    }
    const size_t n = boxes.size();
    for (auto _ : state) {
        long meetings = 0;
        for (size_t i = 0; i < n; ++i) {
            for (size_t j = i + 2; j < n; ++j) {
                if (boxes[i].Meets(boxes[j]) && !(i == 0 && j == n - 1)) {
                    meetings += Arc::Intersect_G(shape.m_Edges[i], shape.m_Edges[j], 1e-9).size();
                }
            }
        }
        benchmark::DoNotOptimize(meetings);
    }
}

void BM_Area(benchmark::State& state) {
    const Shape& shape = GetShape(int(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(shape.m_Polygon.GetArea());
    }
}

void BM_RemoveSelfIntersections(benchmark::State& state) {
    const Shape& shape = GetShape(int(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(RemoveSelfIntersections_G(shape.m_Polygon, 1e-9).size());
    }
}

BENCHMARK(BM_Contains_BoxQuery)->Arg(1000)->Arg(10000)->Arg(100000);
BENCHMARK(BM_Contains_LinearScan)->Arg(1000)->Arg(10000)->Arg(100000);
BENCHMARK(BM_SelfIntersecting_BoxQuery)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SelfIntersecting_AllPairs)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Area)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RemoveSelfIntersections)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

void PrintRatio(const CpuTimeReporter& reporter, const std::string& what, const std::string& tree,
                const std::string& scan) {
    for (const char* n : {"1000", "10000", "100000"}) {
        if (const auto ratio = reporter.Ratio(scan + "/" + n, tree + "/" + n)) {
            std::printf("  %-22s n = %6s: %8.1fx\n", what.c_str(), n, *ratio);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    CpuTimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nScan CPU time divided by box-query CPU time (same run):\n");
    PrintRatio(reporter, "containment", "BM_Contains_BoxQuery", "BM_Contains_LinearScan");
    PrintRatio(reporter, "self-intersection test", "BM_SelfIntersecting_BoxQuery",
               "BM_SelfIntersecting_AllPairs");
    benchmark::Shutdown();
    return 0;
}
