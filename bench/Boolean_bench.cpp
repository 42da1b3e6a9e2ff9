// Booleans on stroked traces: the union of a collection (a cascade once the traces are
// crowded) beside the same shapes united as two operands in one graph, a plane minus the
// union, and the difference of two polygons. Ratios are printed after Google Benchmark's
// table.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "bench/CpuTimeReporter.h"
#include "math/geometry/Boolean.h"

namespace {

using namespace geom;

constexpr double k_Pi = 3.141592653589793;
/// The tolerance the translator uses for a design in millimetres.
constexpr double k_Accuracy = 1e-10;

/// n traces (0.3 to 2 mm long, 0.1 to 0.3 mm wide) and n / 4 vias in a square whose side
/// makes them cover it about `coverage` times over.
std::vector<Polygon> MakeTraces(int n, double coverage) {
    std::mt19937_64 random(4242);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double side = std::sqrt(n * 0.45 / coverage);
    std::vector<Polygon> ret;
    for (int i = 0; i < n; ++i) {
        const Point p(side * unit(random), side * unit(random));
        const double a = 2 * k_Pi * unit(random);
        const double l = 0.3 + 1.7 * unit(random);
        ret.emplace_back(Segment(p, Point(p.GetX() + l * std::cos(a), p.GetY() + l * std::sin(a))),
                         0.1 + 0.2 * unit(random));
    }
    for (int i = 0; i < n / 4; ++i) {
        ret.emplace_back(
            Circle(Point(side * unit(random), side * unit(random)), 0.3 + 0.2 * unit(random)));
    }
    return ret;
}

/// state.range(0) traces; state.range(1) the coverage in tenths.
void BM_UniteCollection(benchmark::State& state) {
    const PolygonCollection traces(MakeTraces(int(state.range(0)), state.range(1) / 10.0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(Unite_G(traces, k_Accuracy).size());
    }
}

void BM_UniteAsTwoOperands(benchmark::State& state) {
    const std::vector<Polygon> traces = MakeTraces(int(state.range(0)), state.range(1) / 10.0);
    const size_t half = traces.size() / 2;
    const PolygonWithHolesCollection first(
        std::vector<Polygon>(traces.begin(), traces.begin() + half));
    const PolygonWithHolesCollection second(
        std::vector<Polygon>(traces.begin() + half, traces.end()));
    for (auto _ : state) {
        benchmark::DoNotOptimize(Unite_G(first, second, k_Accuracy).size());
    }
}

void BM_PlaneMinusUnion(benchmark::State& state) {
    const std::vector<Polygon> traces = MakeTraces(int(state.range(0)), state.range(1) / 10.0);
    const PolygonWithHolesCollection united = Unite_G(PolygonCollection(traces), k_Accuracy);
    Box box;
    for (const Polygon& p : traces) {
        box |= p.GetBBox();
    }
    const PolygonWithHolesCollection plane(Polygon(box.GetExpanded(1), 0.5));
    for (auto _ : state) {
        benchmark::DoNotOptimize(Subtract_G(plane, united, k_Accuracy).size());
    }
}

void BM_PolygonDifference(benchmark::State& state) {
    const Polygon a(Box::FromBounds(0, 0, 10, 6), 1.0);
    const Polygon b = Polygon(Segment(Point(-2, 3), Point(12, 4)), 2.0);
    for (auto _ : state) {
        benchmark::DoNotOptimize(Subtract_G(a, b, k_Accuracy).size());
    }
}

BENCHMARK(BM_UniteCollection)
    ->Args({4000, 5})
    ->Args({4000, 50})
    ->Args({16000, 50})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UniteAsTwoOperands)
    ->Args({4000, 5})
    ->Args({4000, 50})
    ->Args({16000, 50})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlaneMinusUnion)->Args({4000, 5})->Args({4000, 50})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PolygonDifference)->Unit(benchmark::kMicrosecond);

void PrintRatios(const CpuTimeReporter& reporter) {
    for (const char* args : {"4000/5", "4000/50", "16000/50"}) {
        if (const auto ratio = reporter.Ratio(std::string("BM_UniteAsTwoOperands/") + args,
                                              std::string("BM_UniteCollection/") + args)) {
            std::printf("  traces/coverage %-9s: %6.2fx\n", args, *ratio);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    CpuTimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nOne graph's CPU time divided by the collection union's (same run):\n");
    PrintRatios(reporter);
    return 0;
}
