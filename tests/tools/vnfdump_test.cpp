#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/TempDir.h"

using testing_support::TempDir;

namespace {

const std::string k_Tool = BS2VNF_BINARY_DIR "/tools/vnfdump";

struct ToolRun {
    int status;
    std::string out;
    std::string err;
};

ToolRun runVnfdump(const TempDir& dir, const std::string& file) {
    const std::string command =
        "'" + k_Tool + "' '" + file + "' >'" + dir.str() + "/out' 2>'" + dir.str() + "/err'";
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
