// The negative-plane pass on a synthetic board, beside the kernel alone on the same shapes.
//
// For each size N the board of bench/SyntheticBoard.h (N trace segments, N/4 via
// clearances) becomes a board model: the segments as traces of another net on the plane
// layer, in traces-file counts, and the clearances as board circles. The pass collects the
// holes from the model, unites and subtracts them and converts the result into board-model
// shapes; "kernel_s" is the union and difference of the same shapes done directly, as
// bench/plane_bench.cpp times them. Each run is a child process, so "peak_rss_mb" is its own.
//
// Then a board of 8 plane layers (N/8 segments each) is converted with one worker and with
// one worker per hardware thread: "parallel_ratio" is the parallel time over the serial.
// "arithmetic_parallel_ratio" is the same ratio for plain arithmetic split over the threads,
// measured right after: what the machine allows at that moment (0.5 on two idle cores).
//
//   plane_pass_bench [N ...]     default sizes: 10000 100000 300000

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "bench/SyntheticBoard.h"
#include "corelib/TokenStream.h"
#include "math/geometry/Boolean.h"
#include "mentor/Arena.h"
#include "mentor/BoardModel.h"
#include "prepare/NegativePlanes.h"

using namespace MentorBS;

namespace {

using Clock = std::chrono::steady_clock;

/// Traces-file counts of 10 nm in a millimetre.
constexpr double k_Counts = 100000;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

/// A board model in millimetres whose plane layers are PLANE_1, PLANE_2, ... (XRF POWER_1,
/// POWER_2, ...), each on its own net and cut by one synthetic board's traces and vias.
BoardModel planeModel(const std::vector<synthetic::Board>& boards) {
    BoardModel model;
    model.unitsName = "mm";
    const synthetic::Board& first = boards.front();
    model.elements.push_back(make<Board>("'B'", 0.0, 0.0, 0, "mm"));
    model.elements.push_back(make<BoardAttribute>(
        "'BOARD_ROUTING_OUTLINE'", "'POLY'",
        std::vector<double>{0, 0, first.width, 0, first.width, first.height, 0, first.height}));
    std::vector<TraceRecord> traces;
    for (std::size_t i = 0; i < boards.size(); ++i) {
        const std::string number = std::to_string(i + 1);
        const std::string layer = "PLANE_" + number;
        const std::string xrf = "POWER_" + number;
        model.xrfToLayerName[xrf] = layer;
        model.techLayers[static_cast<int>(i + 1)] = layer;
        model.planeNets[layer] = "NET" + number;
        for (const synthetic::TraceSegment& s : boards[i].traces) {
            const double w = s.width * k_Counts;
            traces.push_back(
                {layer,
                 {s.x0 * k_Counts, s.y0 * k_Counts, w, s.x1 * k_Counts, s.y1 * k_Counts, w},
                 "WIR"});
        }
        for (const synthetic::ViaClearance& v : boards[i].vias) {
            model.elements.push_back(make<MyCircle>(xrf, v.x, v.y, v.diameter, 0.0, "board", "B"));
        }
    }
    model.layoutElements.push_back(
        make<LayoutNet>("SIGNALS", "mm", std::move(traces), std::vector<AreaRecord>{}));
    return model;
}

double runPass(std::size_t n, std::size_t layers, unsigned workers) {
    std::vector<synthetic::Board> boards;
    for (std::size_t i = 0; i < layers; ++i) {
        boards.push_back(synthetic::makeBoard(n / layers, 20261205 + i));
    }
    BoardModel model = planeModel(boards);
    io::CString_ostream log;
    const auto start = Clock::now();
    convertNegativePlanes(model, log, workers);
    return secondsSince(start);
}

double runKernel(std::size_t n) {
    const synthetic::Board board = synthetic::makeBoard(n, 20261205);
    const auto start = Clock::now();
    std::vector<geom::Polygon> cuts;
    for (const auto& s : board.traces) {
        cuts.emplace_back(geom::Segment(geom::Point(s.x0, s.y0), geom::Point(s.x1, s.y1)), s.width);
    }
    for (const auto& v : board.vias) {
        cuts.emplace_back(geom::Circle(geom::Point(v.x, v.y), v.diameter / 2));
    }
    const geom::PolygonWithHolesCollection united =
        geom::Unite_G(geom::PolygonCollection(cuts), 1e-10);
    const geom::Polygon outline(
        {geom::Point(0, 0), geom::Point(board.width, 0), geom::Point(board.width, board.height),
         geom::Point(0, board.height)},
        true);
    const geom::PolygonWithHolesCollection plane =
        geom::Subtract_G(geom::PolygonWithHolesCollection(outline), united, 1e-10);
    return plane.GetCount() > 0 ? secondsSince(start) : -1;
}

/// A fixed amount of arithmetic on each of `workers` threads: how much faster the machine
/// runs independent work side by side at this moment, the baseline for the pass's ratio.
double runArithmetic(unsigned workers) {
    const auto start = Clock::now();
    std::vector<std::thread> threads;
    std::vector<double> sums(workers);
    for (unsigned w = 0; w < workers; ++w) {
        threads.emplace_back([&sums, w, workers] {
            double sum = 0;
            for (long i = 1; i < 400000000 / static_cast<long>(workers); ++i) {
                sum += 1.0 / static_cast<double>(i + w);
            }
            sums[w] = sum;
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    return sums[0] > 0 ? secondsSince(start) : -1;
}

struct Measured {
    double seconds = -1;
    double peakRssMb = 0;
    double cpuSeconds = 0;  ///< the child's user and system time, all threads
};

/// Runs `work` in a child process: its time and the child's peak memory.
Measured measure(const std::function<double()>& work) {
    int channel[2];
    if (pipe(channel) != 0) {
        return {};
    }
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        const double seconds = work();
        const ssize_t written = write(channel[1], &seconds, sizeof seconds);
        _exit(written == sizeof seconds ? 0 : 1);
    }
    close(channel[1]);
    double seconds = -1;
    const ssize_t got = read(channel[0], &seconds, sizeof seconds);
    close(channel[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    if (got != sizeof seconds || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return {};
    }
    const auto toSeconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return {seconds, usage.ru_maxrss / 1024.0,
            toSeconds(usage.ru_utime) + toSeconds(usage.ru_stime)};
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::size_t> sizes;
    for (int i = 1; i < argc; ++i) {
        sizes.push_back(std::strtoull(argv[i], nullptr, 10));
    }
    if (sizes.empty()) {
        sizes = {10000, 100000, 300000};
    }
    for (const std::size_t n : sizes) {
        const Measured pass = measure([n] { return runPass(n, 1, 1); });
        const Measured kernel = measure([n] { return runKernel(n); });
        std::printf(
            "{\"n\":%zu,\"pass_s\":%.3f,\"kernel_s\":%.3f,\"ratio\":%.3f,"
            "\"peak_rss_mb\":%.1f}\n",
            n, pass.seconds, kernel.seconds, pass.seconds / kernel.seconds, pass.peakRssMb);
        std::fflush(stdout);
    }
    const std::size_t n = sizes.size() > 1 ? sizes[1] : sizes.front();
    const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    const Measured serial = measure([n] { return runPass(n, 8, 1); });
    const Measured parallel = measure([n, threads] { return runPass(n, 8, threads); });
    const Measured oneWorker = measure([] { return runArithmetic(1); });
    const Measured allWorkers = measure([threads] { return runArithmetic(threads); });
    std::printf(
        "{\"layers\":8,\"n\":%zu,\"workers\":%u,\"serial_s\":%.3f,\"parallel_s\":%.3f,"
        "\"parallel_ratio\":%.3f,\"serial_cpu_s\":%.3f,\"parallel_cpu_s\":%.3f,"
        "\"arithmetic_parallel_ratio\":%.3f}\n",
        n, threads, serial.seconds, parallel.seconds, parallel.seconds / serial.seconds,
        serial.cpuSeconds, parallel.cpuSeconds, allWorkers.seconds / oneWorker.seconds);
    return 0;
}
