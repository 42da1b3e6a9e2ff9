// The whole translator on generated boards: for each size, tools/bsgen writes a board of that
// many trace segments (20 layers, 8 of them planes, vias and clearances in proportion) into a
// fresh directory, and the real bs2vnf translates it in a child process, with the
// translation report asked for. Up to 100,000 segments the board is the generator's
// 200 x 150 mm; beyond, its sides grow with the square root of the segments, so that the
// copper stays near the density of a real board rather than covering the planes many times
// over, up to 440 x 330 mm: the largest board in millimetres whose coordinates stay within
// the kernel's tolerance of 1e-10 mm (a thousand units in the last place of 450 is 1e-10).
// BS2VNF_BENCH_FIXED_SIZE=1 keeps 200 x 150 mm. One JSON line per board:
//   segments, input_mb   the board and the size of its seven files
//   wall_s, peak_rss_mb  the translator's process: wall time, peak resident memory
//   read_s, prepare_s, write_s   its phases, from the report
//   vnf_mb               the neutral file written
//
//   WholeRun_bench [SEGMENTS ...]     default: 10000 100000 1000000
//
// The directories are removed afterwards; BS2VNF_BENCH_KEEP=1 keeps them.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Child {
    int status = -1;
    double wallSeconds = 0;
    double peakRssMb = 0;
};

/// Runs a program with its arguments and extra environment entries, waiting for it.
Child run(const std::vector<std::string>& command, const std::vector<std::string>& environment) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        // The translator prints the time on standard output; the JSON lines own it here.
        if (FILE* null = std::fopen("/dev/null", "w")) {
            dup2(fileno(null), STDOUT_FILENO);
        }
        for (const std::string& entry : environment) {
            const std::size_t equals = entry.find('=');
            setenv(entry.substr(0, equals).c_str(), entry.substr(equals + 1).c_str(), 1);
        }
        std::vector<std::vector<char>> words;
        std::vector<char*> argv;
        for (const std::string& word : command) {
            words.emplace_back(word.begin(), word.end());
            words.back().push_back('\0');
        }
        for (std::vector<char>& word : words) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    Child child;
    rusage usage{};
    if (pid > 0 && wait4(pid, &child.status, 0, &usage) == pid) {
        child.peakRssMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
    }
    child.wallSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return child;
}

double megabytes(const fs::path& file) {
    std::error_code error;
    const auto size = fs::file_size(file, error);
    return error ? 0.0 : static_cast<double>(size) / 1e6;
}

/// The number after `"key":{"seconds":` in the report; -1 when it is not there.
double phaseSeconds(const std::string& report, const std::string& phase) {
    const std::string key = "\"" + phase + "\":{\"seconds\":";
    const std::size_t at = report.find(key);
    return at == std::string::npos ? -1.0 : std::strtod(report.c_str() + at + key.size(), nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<long> sizes;
    for (int i = 1; i < argc; ++i) {
        sizes.push_back(std::strtol(argv[i], nullptr, 10));
    }
    if (sizes.empty()) {
        sizes = {10000, 100000, 1000000};
    }
    const bool keep = std::getenv("BS2VNF_BENCH_KEEP") != nullptr;
    for (const long segments : sizes) {
        const fs::path dir =
            fs::temp_directory_path()
            / ("bs2vnf-wholerun-" + std::to_string(getpid()) + "-" + std::to_string(segments));
        fs::remove_all(dir);
        fs::create_directories(dir);
        const double grow =
            std::getenv("BS2VNF_BENCH_FIXED_SIZE") != nullptr
                ? 1.0
                : std::clamp(std::sqrt(static_cast<double>(segments) / 1e5), 1.0, 2.2);
        const Child generated =
            run({BSGEN_PATH, "--seed", "1", "--segments", std::to_string(segments), "--layers",
                 "20", "--planes", "8", "--width", std::to_string(std::lround(200 * grow)),
                 "--height", std::to_string(std::lround(150 * grow)), "--out", dir.string()},
                {});
        if (generated.status != 0) {
            std::fprintf(stderr, "bsgen failed for %ld segments\n", segments);
            return 1;
        }
        double inputMb = 0;
        for (const char* file :
             {"MentorNeutralFile", "MentorLayerFile", "MentorTechFile", "MentorGeometryFile",
              "MentorTracesFile", "MentorPinsFile", "MentorGatesFile"}) {
            inputMb += megabytes(dir / file);
        }
        const fs::path report = dir / "report.json";
        const Child translated = run({BS2VNF_PATH, "nomerge", dir.string(), "board"},
                                     {"BS2VNF_REPORT=" + report.string(), "SOURCE_DATE_EPOCH=0"});
        std::ifstream in(report);
        std::stringstream text;
        text << in.rdbuf();
        std::printf(
            "{\"segments\":%ld,\"board_mm\":\"%ldx%ld\",\"input_mb\":%.1f,\"wall_s\":%.2f,\"read_"
            "s\":%.2f,\"prepare_s\":%."
            "2f,"
            "\"write_s\":%.2f,\"vnf_mb\":%.1f,\"peak_rss_mb\":%.0f,\"status\":%d}\n",
            segments, std::lround(200 * grow), std::lround(150 * grow), inputMb,
            translated.wallSeconds, phaseSeconds(text.str(), "read"),
            phaseSeconds(text.str(), "prepare"), phaseSeconds(text.str(), "write"),
            megabytes(dir / "board_V4.vnf"), translated.peakRssMb, translated.status);
        std::fflush(stdout);
        if (!keep) {
            fs::remove_all(dir);
        }
    }
    return 0;
}
