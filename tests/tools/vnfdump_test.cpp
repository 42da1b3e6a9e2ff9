#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "driver/Bs2Vnf.h"
#include "tests/support/Recorder.h"
#include "tests/support/TempDir.h"

using testing_support::TempDir;

namespace {

const std::string k_Tool = BS2VNF_BINARY_DIR "/tools/vnfdump";

struct ToolRun {
    int status;
    std::string out;
    std::string err;
};

ToolRun runVnfdump(const TempDir& dir, const std::string& file, const std::string& option = "") {
    const std::string command = "'" + k_Tool + "' " + option + " '" + file + "' >'" + dir.str()
                                + "/out' 2>'" + dir.str() + "/err'";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, dir.read("out"), dir.read("err")};
}

}  // namespace

TEST(Vnfdump, PrintsTheTreeOrOneErrorLine) {
    ASSERT_TRUE(std::filesystem::exists(k_Tool)) << k_Tool << " is not built";
    TempDir dir;
    {
        const std::string file = dir.str() + "/good.vnf";
        dir.write("good.vnf", "\"R\" {\n  \"f\"(1, 2.5)\n} \"R\"\n");
        const ToolRun run = runVnfdump(dir, file);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out,
                  "{\"block\":\"R\",\"items\":[\n"
                  "  {\"func\":\"f\",\"args\":[{\"int\":1},{\"double\":2.5}]}\n"
                  "]}\n");
        EXPECT_EQ(run.err, "");
    }
    {
        const std::string file = dir.str() + "/bad.vnf";
        dir.write("bad.vnf", "\"R\" {\n  \"B\" {\n  } \"C\"\n} \"R\"\n");
        const ToolRun run = runVnfdump(dir, file);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err,
                  file + ":3: block end \"C\" does not match block \"B\" opened on line 2\n");
    }
    {
        const std::string file = dir.str() + "/missing.vnf";
        const ToolRun run = runVnfdump(dir, file);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, file + ": cannot open\n");
    }
}

TEST(Vnfdump, SummaryPrintsTheOutputCountsOfTheTranslationReport) {
    ASSERT_TRUE(std::filesystem::exists(k_Tool)) << k_Tool << " is not built";
    TempDir dir;
    std::filesystem::copy(std::filesystem::path(BS2VNF_SOURCE_DIR) / "examples/demo", dir.path());
    const std::string directory = dir.str();
    const std::string report = directory + "/report.json";
    {
        testing_support::Recorder recorder;
        ::setenv("BS2VNF_REPORT", report.c_str(), 1);
        const char* argv[] = {"bs2vnf", "nomerge", directory.c_str(), "demo"};
        runBs2vnf(4, argv);
        ::unsetenv("BS2VNF_REPORT");
    }
    // The report's line "  "output":{...}," holds the object.
    const std::string text = dir.read("report.json");
    const std::size_t start = text.find("\"output\":");
    ASSERT_NE(start, std::string::npos);
    const std::size_t from = start + std::string("\"output\":").size();
    const std::string output = text.substr(from, text.find(",\n", from) - from);

    const ToolRun run = runVnfdump(dir, directory + "/demo_V4.vnf", "--summary");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, output + "\n");
    EXPECT_EQ(run.err, "");
}
