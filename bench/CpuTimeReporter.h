#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

/// Prints Google Benchmark's console report and keeps each benchmark's CPU time per
/// iteration, so that a program can print ratios of two runs measured in the same run.
/// CPU time rather than wall time: the machine may be shared with other builds.
class CpuTimeReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            if (r.run_type == Run::RT_Iteration) {
                m_Times[r.benchmark_name()] = r.GetAdjustedCPUTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    /// CPU time of the benchmark `numerator` divided by that of `denominator` (full names
    /// with their arguments), when both ran.
    std::optional<double> Ratio(const std::string& numerator,
                                const std::string& denominator) const {
        const auto n = m_Times.find(numerator);
        const auto d = m_Times.find(denominator);
        if (n == m_Times.end() || d == m_Times.end()) {
            return std::nullopt;
        }
        return n->second / d->second;
    }

private:
    std::map<std::string, double> m_Times;
};
