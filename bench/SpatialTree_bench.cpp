// Box queries of the kernel's range tree against a linear scan over the same boxes, in
// the same run. Prints Google Benchmark's table and then the ratios (how many times
// faster the tree is), which are what the boolean operations rely on.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "bench/CpuTimeReporter.h"
#include "containers/AvlTree.h"
#include "math/geometry/Box.h"
#include "math/geometry/PolyArc.h"

namespace {

using geom::Box;

struct BoxOf {
    Box operator()(const Box& b) const { return b; }
};
using BoxTree = containers::RangeAvlTree_T<Box, BoxOf>;

/// The two orders the kernel keeps boxes in. kChain: the edges of one large closed
/// outline in sequence (a poly-arc's edges), where neighbours in the order are neighbours
/// in the plane. kSorted: small shapes scattered over the plane and sorted by box (a
/// collection's members). Queries are boxes of the same kind, as when the edges or
/// members near one edge or shape are wanted.
enum Kind { kChain = 0, kSorted = 1 };

struct Scene {
    std::vector<Box> m_Boxes;
    std::vector<Box> m_Queries;
    BoxTree m_Tree;

    Scene(int n, Kind kind) {
        std::mt19937 random(12345);
        std::uniform_real_distribution<double> unit(0, 1);
        if (kind == kChain) {
            // A wobbly circle of n edges of length about 1.
            const double radius = n / (2 * 3.141592653589793);
            std::vector<geom::Point> ring;
            for (int i = 0; i < n; ++i) {
                const double a = 2 * 3.141592653589793 * i / n;
                const double r = radius + 3 * std::sin(a * 97) + unit(random);
                ring.emplace_back(r * std::cos(a), r * std::sin(a));
            }
            for (int i = 0; i < n; ++i) {
                m_Boxes.emplace_back(ring[i], ring[(i + 1) % n]);
            }
            for (int i = 0; i < 1024; ++i) {
                m_Queries.push_back(m_Boxes[size_t(unit(random) * n)].GetExpanded(1e-6));
            }
        } else {
            // About 10 shapes of side up to 2 per 100 x 100.
            const double world = std::sqrt(n / 10.0) * 100;
            const auto make = [&] {
                const double x = unit(random) * world;
                const double y = unit(random) * world;
                return Box::FromBounds(x, y, x + 2 * unit(random), y + 2 * unit(random));
            };
            for (int i = 0; i < n; ++i) {
                m_Boxes.push_back(make());
            }
            std::sort(m_Boxes.begin(), m_Boxes.end(),
                      [](const Box& a, const Box& b) { return Box::Compare(a, b) < 0; });
            for (int i = 0; i < 1024; ++i) {
                m_Queries.push_back(make());
            }
        }
        m_Tree.Assign(m_Boxes.begin(), m_Boxes.end());
    }
};

const Scene& GetScene(const benchmark::State& state) {
    static std::map<std::pair<int, int>, Scene> scenes;
    const std::pair<int, int> key(int(state.range(0)), int(state.range(1)));
    auto it = scenes.find(key);
    if (it == scenes.end()) {
        it = scenes.emplace(key, Scene(key.first, Kind(key.second))).first;
    }
    return it->second;
}

void BM_BoxQuery_Visit(benchmark::State& state) {
    const Scene& scene = GetScene(state);
    size_t q = 0;
    for (auto _ : state) {
        long hits = 0;
        scene.m_Tree.VisitMeeting(scene.m_Queries[q++ % scene.m_Queries.size()],
                                  [&](const Box&, const Box&) {
                                      ++hits;
                                      return true;
                                  });
        benchmark::DoNotOptimize(hits);
    }
}

void BM_BoxQuery_Iterate(benchmark::State& state) {
    const Scene& scene = GetScene(state);
    size_t q = 0;
    for (auto _ : state) {
        long hits = 0;
        for (const Box& b : scene.m_Tree.Query(scene.m_Queries[q++ % scene.m_Queries.size()])) {
            benchmark::DoNotOptimize(&b);
            ++hits;
        }
        benchmark::DoNotOptimize(hits);
    }
}

void BM_BoxQuery_LinearScan(benchmark::State& state) {
    const Scene& scene = GetScene(state);
    size_t q = 0;
    for (auto _ : state) {
        const Box& query = scene.m_Queries[q++ % scene.m_Queries.size()];
        long hits = 0;
        for (const Box& b : scene.m_Boxes) {
            hits += b.Meets(query) ? 1 : 0;
        }
        benchmark::DoNotOptimize(hits);
    }
}

/// Building the tree of n boxes (once per shape).
void BM_Build(benchmark::State& state) {
    const Scene& scene = GetScene(state);
    for (auto _ : state) {
        BoxTree tree(scene.m_Boxes.begin(), scene.m_Boxes.end());
        benchmark::DoNotOptimize(tree.size());
    }
}

/// The j-th element, the positional access of edges.
void BM_GetAt(benchmark::State& state) {
    const Scene& scene = GetScene(state);
    const std::ptrdiff_t n = scene.m_Tree.size();
    std::ptrdiff_t j = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(*scene.m_Tree.GetAt(j));
        j = (j + 7919) % n;
    }
}

// Arguments: element count, then 0 for a chain of edges or 1 for sorted members.
#define SIZES ArgsProduct({{1000, 10000, 100000}, {kChain, kSorted}})
BENCHMARK(BM_BoxQuery_Visit)->SIZES;
BENCHMARK(BM_BoxQuery_Iterate)->SIZES;
BENCHMARK(BM_BoxQuery_LinearScan)->SIZES;
BENCHMARK(BM_Build)->ArgsProduct({{1000, 10000, 100000}, {kChain}});
BENCHMARK(BM_GetAt)->ArgsProduct({{1000, 10000, 100000}, {kChain}});

void PrintRatios(const CpuTimeReporter& reporter) {
    std::printf("\nLinear scan CPU time divided by box query CPU time (same run):\n");
    for (const char* kind : {"0", "1"}) {
        for (const char* n : {"1000", "10000", "100000"}) {
            const std::string args = std::string(n) + "/" + kind;
            const auto visit =
                reporter.Ratio("BM_BoxQuery_LinearScan/" + args, "BM_BoxQuery_Visit/" + args);
            const auto iterate =
                reporter.Ratio("BM_BoxQuery_LinearScan/" + args, "BM_BoxQuery_Iterate/" + args);
            if (visit && iterate) {
                std::printf("  %-14s n = %6s: visit %7.1fx, iterate %7.1fx\n",
                            *kind == '0' ? "edge chain" : "sorted shapes", n, *visit, *iterate);
            }
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    CpuTimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintRatios(reporter);
    benchmark::Shutdown();
    return 0;
}
