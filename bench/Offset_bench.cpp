// Expansion, shrinking and discretisation of large outlines, each against two linear
// baselines measured in the same run: copying the edges out of the polygon, and the
// kernel's area. The ratios printed after Google Benchmark's table grow with log n when
// the operation is n log n; a linear one keeps them flat.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "bench/CpuTimeReporter.h"
#include "math/geometry/Discretize.h"
#include "math/geometry/Offset.h"

namespace {

using namespace geom;

constexpr double k_Pi = 3.141592653589793;
constexpr double k_Accuracy = 1e-9;

/// A wobbly closed outline of n edges of length about 1, every third one an arc bulging
/// outwards or inwards: its convex corners get round corners when expanded, its concave
/// ones have their offset sides cut back.
Polygon MakeOutline(int n) {
    std::mt19937 random(777);
    std::uniform_real_distribution<double> unit(0, 1);
    const double radius = n / (2 * k_Pi);
    std::vector<Point> ring;
    for (int i = 0; i < n; ++i) {
        const double a = 2 * k_Pi * i / n;
        const double r = radius + 3 * std::sin(a * 97) + 0.5 * unit(random);
        ring.emplace_back(r * std::cos(a), r * std::sin(a));
    }
    std::vector<Arc> edges;
    for (int i = 0; i < n; ++i) {
        const Point& s = ring[i];
        const Point& e = ring[(i + 1) % n];
        const double h = i % 3 != 0 ? 0.0 : (i % 2 ? 0.1 : -0.1) * s.GetDistanceTo(e);
        edges.emplace_back(s, e, h);
    }
    return Polygon(edges, true);
}

const Polygon& GetOutline(int n) {
    static std::map<int, Polygon> outlines;
    auto it = outlines.find(n);
    if (it == outlines.end()) {
        it = outlines.emplace(n, MakeOutline(n)).first;
    }
    return it->second;
}

void BM_CopyEdges(benchmark::State& state) {
    const Polygon& p = GetOutline(int(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(p.GetEdges().data());
    }
}

void BM_Area(benchmark::State& state) {
    const Polygon& p = GetOutline(int(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(p.GetArea());
    }
}

void BM_Expand(benchmark::State& state) {
    const Polygon& p = GetOutline(int(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            Expand_G(p, 0.3, k_Accuracy, true, false, k_RoundCorner, 0).GetHoleCount());
    }
}

void BM_Shrink(benchmark::State& state) {
    const Polygon& p = GetOutline(int(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(Shrink_G(p, 0.3, k_Accuracy, true, k_RoundCorner, 0).GetCount());
    }
}

/// Offsetting and joining alone, without cleaning the outline afterwards.
void BM_OffsetAndJoin(benchmark::State& state) {
    const Polygon& p = GetOutline(int(state.range(0)));
    std::vector<Arc> joined;
    for (auto _ : state) {
        benchmark::DoNotOptimize(OffsetPolyArc_G(p, 0.3, k_Accuracy, k_RoundCorner, 0, &joined));
    }
}

void BM_Discretize(benchmark::State& state) {
    const Polygon& p = GetOutline(int(state.range(0)));
    const Angle step(Angle::k_Degrees, 20);
    for (auto _ : state) {
        benchmark::DoNotOptimize(Discretize_G(p, step, true, 20 * p.GetEdgeCount()).data());
    }
}

#define OFFSET_SIZES Arg(100)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond)
BENCHMARK(BM_CopyEdges)->OFFSET_SIZES;
BENCHMARK(BM_Area)->OFFSET_SIZES;
BENCHMARK(BM_OffsetAndJoin)->OFFSET_SIZES;
BENCHMARK(BM_Expand)->OFFSET_SIZES;
BENCHMARK(BM_Shrink)->OFFSET_SIZES;
BENCHMARK(BM_Discretize)->OFFSET_SIZES;

void PrintRatios(const CpuTimeReporter& reporter, const char* operation, const char* baseline) {
    std::printf("  %-18s / %-14s", operation + 3, baseline + 3);
    for (const char* n : {"100", "1000", "10000", "100000"}) {
        if (const auto ratio =
                reporter.Ratio(std::string(operation) + "/" + n, std::string(baseline) + "/" + n)) {
            std::printf(" %9.1f", *ratio);
        } else {
            std::printf(" %9s", "-");
        }
    }
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    CpuTimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nCPU time divided by a baseline's CPU time (same run), by edge count:\n");
    std::printf("  %-35s %9s %9s %9s %9s\n", "", "100", "1000", "10000", "100000");
    for (const char* baseline : {"BM_CopyEdges", "BM_Area"}) {
        for (const char* operation :
             {"BM_OffsetAndJoin", "BM_Expand", "BM_Shrink", "BM_Discretize"}) {
            PrintRatios(reporter, operation, baseline);
        }
    }
    benchmark::Shutdown();
    return 0;
}
