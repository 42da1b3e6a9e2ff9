#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/Recorder.h"

/// Fixture for kernel tests: records assertion reports, and fails a test that leaves a
/// report it did not expect.
class KernelTest : public ::testing::Test {
protected:
    using Report = std::pair<std::string, std::string>;  // source name, condition text

    void TearDown() override {
        for (const auto& a : m_Recorder.assertions) {
            ADD_FAILURE() << "unexpected assertion report: " << a.source << ": " << a.expression;
        }
    }
    /// Expects exactly these reports, in order, since the last call, and forgets them.
    void ExpectReports(const std::vector<Report>& expected) {
        std::vector<Report> actual;
        for (const auto& a : m_Recorder.assertions) {
            actual.emplace_back(a.source, a.expression);
        }
        EXPECT_EQ(actual, expected);
        m_Recorder.assertions.clear();
    }

    testing_support::Recorder m_Recorder;
};

/// Fewer random cases in unoptimised builds, where they run slowly.
#ifdef NDEBUG
inline constexpr int k_RandomCases = 400;
#else
inline constexpr int k_RandomCases = 60;
#endif
