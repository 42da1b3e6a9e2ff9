// Plane conversion benchmark: the outline of a synthetic board minus the union of its
// trace strokes and via clearances, timed for each engine on the same board: our kernel
// with exact arcs, and the discretising clipper library with caps and circles cut into
// chords of 20 degrees. Each run happens in a child process so that its peak memory is
// its own. Prints one JSON line per board size; ratio is ours over the clipper's time,
// rel_area_diff the clipper's area relative to ours, peak_rss_mb our peak memory.
//
//   plane_bench [N ...]      default sizes: 1000 10000 100000 300000
//   PLANE_BENCH_CLIPPER_MAX  largest N that the discretising engine is run for
//                            (default 100000: it grows almost quadratically)

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <numbers>
#include <optional>
#include <polyclipping/clipper.hpp>
#include <string>
#include <vector>

#include "bench/SyntheticBoard.h"
#include "math/geometry/Boolean.h"

namespace {

struct Outcome {
    double seconds = 0;
    double area = 0;
    int outers = 0;
    int holes = 0;
};

struct Measured {
    Outcome outcome;
    double peakRssMb = 0;
};

using Engine = std::function<Outcome(const synthetic::Board&)>;

// ---- The discretising engine: circles and caps as chords of 20 degrees. ----

constexpr double k_ClipperScale = 1e6;  // millimetres to nanometres
constexpr double k_ChordDegrees = 20.0;

ClipperLib::IntPoint scaled(double x, double y) {
    return ClipperLib::IntPoint(static_cast<ClipperLib::cInt>(std::llround(x * k_ClipperScale)),
                                static_cast<ClipperLib::cInt>(std::llround(y * k_ClipperScale)));
}

// Half a circle of radius r around (cx, cy) from angle a0, counter-clockwise.
void appendHalfCircle(ClipperLib::Path& path, double cx, double cy, double r, double a0) {
    const int chords = static_cast<int>(std::ceil(180.0 / k_ChordDegrees));
    for (int i = 0; i <= chords; ++i) {
        const double a = a0 + std::numbers::pi * i / chords;
        path.push_back(scaled(cx + r * std::cos(a), cy + r * std::sin(a)));
    }
}

ClipperLib::Path strokePath(const synthetic::TraceSegment& s) {
    const double a = std::atan2(s.y1 - s.y0, s.x1 - s.x0);
    const double h = s.width / 2;
    ClipperLib::Path path;
    appendHalfCircle(path, s.x1, s.y1, h, a - std::numbers::pi / 2);
    appendHalfCircle(path, s.x0, s.y0, h, a + std::numbers::pi / 2);
    return path;
}

ClipperLib::Path circlePath(const synthetic::ViaClearance& v) {
    const int chords = static_cast<int>(std::ceil(360.0 / k_ChordDegrees));
    ClipperLib::Path path;
    for (int i = 0; i < chords; ++i) {
        const double a = 2 * std::numbers::pi * i / chords;
        path.push_back(
            scaled(v.x + v.diameter / 2 * std::cos(a), v.y + v.diameter / 2 * std::sin(a)));
    }
    return path;
}

void countTree(const ClipperLib::PolyNode& node, Outcome& outcome) {
    for (const ClipperLib::PolyNode* child : node.Childs) {
        const double area = ClipperLib::Area(child->Contour) / (k_ClipperScale * k_ClipperScale);
        if (child->IsHole()) {
            ++outcome.holes;
            outcome.area -= std::abs(area);
        } else {
            ++outcome.outers;
            outcome.area += std::abs(area);
        }
        countTree(*child, outcome);
    }
}

Outcome runClipper(const synthetic::Board& board) {
    const auto start = std::chrono::steady_clock::now();
    ClipperLib::Paths cuts;
    cuts.reserve(board.traces.size() + board.vias.size());
    for (const auto& s : board.traces) {
        cuts.push_back(strokePath(s));
    }
    for (const auto& v : board.vias) {
        cuts.push_back(circlePath(v));
    }
    ClipperLib::Paths united;
    {
        ClipperLib::Clipper clipper;
        clipper.AddPaths(cuts, ClipperLib::ptSubject, true);
        clipper.Execute(ClipperLib::ctUnion, united, ClipperLib::pftNonZero,
                        ClipperLib::pftNonZero);
    }
    ClipperLib::PolyTree plane;
    {
        ClipperLib::Clipper clipper;
        clipper.AddPath(
            ClipperLib::Path{scaled(0, 0), scaled(board.width, 0),
                             scaled(board.width, board.height), scaled(0, board.height)},
            ClipperLib::ptSubject, true);
        clipper.AddPaths(united, ClipperLib::ptClip, true);
        clipper.Execute(ClipperLib::ctDifference, plane, ClipperLib::pftNonZero,
                        ClipperLib::pftNonZero);
    }
    Outcome outcome;
    outcome.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    countTree(plane, outcome);
    return outcome;
}

// ---- Our kernel: exact half-circle caps and circles. ----

/// The tolerance the translator uses for a design in millimetres.
constexpr double k_Accuracy = 1e-10;

Outcome runOurs(const synthetic::Board& board) {
    const auto start = std::chrono::steady_clock::now();
    std::vector<geom::Polygon> cuts;
    cuts.reserve(board.traces.size() + board.vias.size());
    for (const auto& s : board.traces) {
        cuts.emplace_back(geom::Segment(geom::Point(s.x0, s.y0), geom::Point(s.x1, s.y1)), s.width);
    }
    for (const auto& v : board.vias) {
        cuts.emplace_back(geom::Circle(geom::Point(v.x, v.y), v.diameter / 2));
    }
    const geom::PolygonWithHolesCollection united =
        geom::Unite_G(geom::PolygonCollection(cuts), k_Accuracy);
    const geom::Polygon outline(
        {geom::Point(0, 0), geom::Point(board.width, 0), geom::Point(board.width, board.height),
         geom::Point(0, board.height)},
        true);
    const geom::PolygonWithHolesCollection plane =
        geom::Subtract_G(geom::PolygonWithHolesCollection(outline), united, k_Accuracy);
    Outcome outcome;
    outcome.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    for (const geom::PolygonWithHoles& p : plane.GetTree()) {
        ++outcome.outers;
        outcome.holes += p.GetHoleCount();
        outcome.area += p.GetArea();
    }
    return outcome;
}

// ---- Running an engine in a child process. ----

std::optional<Measured> measure(const Engine& engine, std::size_t n) {
    int channel[2];
    if (pipe(channel) != 0) {
        return std::nullopt;
    }
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        const synthetic::Board board = synthetic::makeBoard(n);
        const Outcome outcome = engine(board);
        const ssize_t written = write(channel[1], &outcome, sizeof outcome);
        _exit(written == sizeof outcome ? 0 : 1);
    }
    close(channel[1]);
    Outcome outcome;
    const ssize_t got = read(channel[0], &outcome, sizeof outcome);
    close(channel[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    if (got != sizeof outcome || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return std::nullopt;
    }
    return Measured{outcome, usage.ru_maxrss / 1024.0};
}

std::string number(std::optional<double> value, const char* format = "%.6g") {
    if (!value) {
        return "null";
    }
    char text[64];
    std::snprintf(text, sizeof text, format, *value);
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::size_t> sizes;
    for (int i = 1; i < argc; ++i) {
        sizes.push_back(std::strtoull(argv[i], nullptr, 10));
    }
    if (sizes.empty()) {
        sizes = {1000, 10000, 100000, 300000};
    }
    const char* limitText = std::getenv("PLANE_BENCH_CLIPPER_MAX");
    const std::size_t clipperMax = limitText ? std::strtoull(limitText, nullptr, 10) : 100000;

    for (const std::size_t n : sizes) {
        const std::optional<Measured> ours = measure(runOurs, n);
        std::optional<Measured> clipper;
        if (n <= clipperMax) {
            clipper = measure(runClipper, n);
        }
        const auto field = [](const std::optional<Measured>& m, double Outcome::*what) {
            return m ? std::optional<double>(m->outcome.*what) : std::nullopt;
        };
        std::optional<double> ratio;
        std::optional<double> areaDiff;
        if (ours && clipper) {
            ratio = ours->outcome.seconds / clipper->outcome.seconds;
            areaDiff = (clipper->outcome.area - ours->outcome.area) / ours->outcome.area;
        }
        std::printf(
            "{\"n\":%zu,\"ours_s\":%s,\"clipper_s\":%s,\"ratio\":%s,\"ours_area\":%s,"
            "\"clipper_area\":%s,\"rel_area_diff\":%s,\"peak_rss_mb\":%s}\n",
            n, number(field(ours, &Outcome::seconds)).c_str(),
            number(field(clipper, &Outcome::seconds)).c_str(), number(ratio, "%.3g").c_str(),
            number(field(ours, &Outcome::area), "%.10g").c_str(),
            number(field(clipper, &Outcome::area), "%.10g").c_str(),
            number(areaDiff, "%.3g").c_str(),
            number(ours ? std::optional(ours->peakRssMb) : std::nullopt, "%.1f").c_str());
        std::fflush(stdout);
    }
    return 0;
}
