#pragma once

#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

/// A seeded synthetic plane layer: a 200 mm x 150 mm board outline, trace segments in
/// chains (0.3 to 5 mm long, mostly at multiples of 45 degrees, 0.1 to 0.3 mm wide) and
/// via clearances (circles 0.6 to 1.0 mm across), all in millimetres. The same seed gives
/// the same board, so several engines can be timed on identical input.
namespace synthetic {

struct TraceSegment {
    double x0, y0, x1, y1;
    double width;
};

struct ViaClearance {
    double x, y;
    double diameter;
};

struct Board {
    double width = 200.0;
    double height = 150.0;
    std::vector<TraceSegment> traces;
    std::vector<ViaClearance> vias;
};

inline Board makeBoard(std::size_t segments, std::uint64_t seed = 20261205) {
    Board board;
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double margin = 6.0;
    auto inside = [&](double x, double y) {
        return x > margin && x < board.width - margin && y > margin && y < board.height - margin;
    };
    board.traces.reserve(segments);
    while (board.traces.size() < segments) {
        // One chain: a random start, a constant width, 5 to 40 segments.
        double x = margin + unit(random) * (board.width - 2 * margin);
        double y = margin + unit(random) * (board.height - 2 * margin);
        const double width = 0.1 + 0.2 * unit(random);
        const int count = 5 + static_cast<int>(unit(random) * 36);
        double heading = std::floor(unit(random) * 8) * 45.0;
        for (int i = 0; i < count && board.traces.size() < segments; ++i) {
            const double turn = unit(random);
            if (turn < 0.3) {
                heading += (turn < 0.15 ? 45.0 : -45.0);
            } else if (turn < 0.35) {
                heading = unit(random) * 360.0;  // the odd any-angle segment
            }
            const double length = 0.3 + 4.7 * unit(random);
            const double radians = heading * std::numbers::pi / 180.0;
            double nx = x + length * std::cos(radians);
            double ny = y + length * std::sin(radians);
            if (!inside(nx, ny)) {
                heading += 180.0;
                nx = x - length * std::cos(radians);
                ny = y - length * std::sin(radians);
                if (!inside(nx, ny)) {
                    break;
                }
            }
            board.traces.push_back({x, y, nx, ny, width});
            x = nx;
            y = ny;
        }
    }
    for (std::size_t i = 0; i < segments / 4; ++i) {
        board.vias.push_back({margin + unit(random) * (board.width - 2 * margin),
                              margin + unit(random) * (board.height - 2 * margin),
                              0.6 + 0.4 * unit(random)});
    }
    return board;
}

}  // namespace synthetic
