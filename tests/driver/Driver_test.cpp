#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "driver/Bs2Vnf.h"
#include "tests/support/Recorder.h"
#include "tests/support/TempDir.h"

using testing_support::Recorder;
using testing_support::TempDir;

namespace {

int run(const std::vector<std::string>& arguments) {
    std::vector<const char*> argv{"bs2vnf"};
    for (const std::string& argument : arguments) {
        argv.push_back(argument.c_str());
    }
    return runBs2vnf(static_cast<int>(argv.size()), argv.data());
}

// The seven export files, empty: a design without any record.
void writeEmptyDesign(const TempDir& dir) {
    for (const char* name :
         {"MentorNeutralFile", "MentorLayerFile", "MentorTechFile", "MentorGeometryFile",
          "MentorTracesFile", "MentorPinsFile", "MentorGatesFile"}) {
        dir.write(name, "");
    }
}

// Pins the clock for the lifetime of the object.
class FixedClock {
public:
    explicit FixedClock(const char* epoch) { ::setenv("SOURCE_DATE_EPOCH", epoch, 1); }
    ~FixedClock() { ::unsetenv("SOURCE_DATE_EPOCH"); }
};

}  // namespace

TEST(CommandLine, WrongArgumentCountShowsTheMessageAndWritesNothing) {
    for (const std::vector<std::string>& arguments :
         std::vector<std::vector<std::string>>{{"merge", "DIR"}, {"merge", "DIR", "x", "y", "z"}}) {
        TempDir dir;
        std::vector<std::string> withDir = arguments;
        withDir[1] = dir.str();
        Recorder recorder;
        EXPECT_EQ(run(withDir), 0);
        ASSERT_EQ(recorder.messageBoxes.size(), 1u) << withDir.size() << " arguments";
        EXPECT_EQ(recorder.messageBoxes[0].text, "Incorrect number of program arguments.");
        EXPECT_EQ(recorder.messageBoxes[0].caption, "Program Arguments Error");
        EXPECT_TRUE(std::filesystem::is_empty(dir.path())) << "no log, no output";
    }
}

TEST(CommandLine, OnlyTheExactWordMergeSwitchesMergingOn) {
    EXPECT_TRUE(isMergeWord("merge"));
    EXPECT_FALSE(isMergeWord("Merge"));
}

TEST(TranslationRun, WritesTheLogAndTheNeutralFileBesideTheDesign) {
    TempDir dir;
    writeEmptyDesign(dir);
    FixedClock clock("0");
    Recorder recorder;
    EXPECT_EQ(run({"nomerge", dir.str(), "demo"}), 0);
    const std::string base = dir.str() + "/demo_V4";
    // The run log: parse lines, then the four lines of the write phase, each followed by
    // an empty line (the preparation passes log nothing for a design without planes).
    const std::string t = "Thu Jan  1 00:00:00 1970";
    EXPECT_EQ(dir.read("demo_V4.log"), "Parsing Mentor ASCII files. Time: " + t + "\n\n"
                                           "Finished parsing Mentor ASCII files. Time: " + t +
                                           "\n\n"
                                           "Writing " + base + ".vnf file. Time: " + t + "\n\n"
                                           "Processing construction lines. Time: " + t + "\n\n"
                                           "Finished processing construction lines. Time: " +
                                           t + "\n\nDone!Time: " + t + "\n\n");
    EXPECT_EQ(recorder.standardOutputText, t) << "the time text, without a line end";
    const std::string vnf = dir.read("demo_V4.vnf");
    EXPECT_EQ(vnf.rfind("\"VeltroNeutralFile\" {\n"
                        "  \"Version\"(\"4\", \"0\")\n"
                        "  \"Source\"(\"MentorBoard\", \"Layout:v8.9_1.8\", \"\")\n"
                        "  \"Date\" = \""
                            + t + "\"\n  \"DefaultUnits\" = \"m\"\n",
                        0),
              0u)
        << vnf;
    EXPECT_FALSE(dir.exists("demo_V4.vnf.tmp"));
    EXPECT_TRUE(recorder.messageBoxes.empty());
}

TEST(TranslationRun, TwoRunsWithAFixedClockGiveIdenticalBytes) {
    TempDir first;
    TempDir second;
    writeEmptyDesign(first);
    writeEmptyDesign(second);
    FixedClock clock("1796487669");
    Recorder recorder;
    run({"merge", first.str(), "board"});
    run({"merge", second.str(), "board"});
    EXPECT_FALSE(first.read("board_V4.vnf").empty());
    EXPECT_EQ(first.read("board_V4.vnf"), second.read("board_V4.vnf"));
    // The logs name their own directories; apart from that they agree.
    std::string log = first.read("board_V4.log");
    const std::string secondLog = second.read("board_V4.log");
    log.replace(log.find(first.str()), first.str().size(), second.str());
    EXPECT_EQ(log, secondLog);
}

TEST(TranslationRun, PackageDirectoryWithoutAttributeFileChangesNothing) {
    TempDir four;
    TempDir five;
    TempDir packages;
    writeEmptyDesign(four);
    writeEmptyDesign(five);
    FixedClock clock("0");
    Recorder recorder;
    run({"x", four.str(), "d"});
    run({"x", five.str(), "d", packages.str()});
    EXPECT_EQ(four.read("d_V4.vnf"), five.read("d_V4.vnf"));
    EXPECT_EQ(five.read("MentorGatesFile"), "") << "the gates file is left as it was";
}

TEST(TranslationRun, AFailedWriteKeepsThePreviousFile) {
    TempDir dir;
    writeEmptyDesign(dir);
    dir.write("demo_V4.vnf", "previous contents\n");
    // A directory in the way of the temporary file makes the write fail.
    std::filesystem::create_directory(dir.path() / "demo_V4.vnf.tmp");
    Recorder recorder;
    EXPECT_EQ(run({"x", dir.str(), "demo"}), 0);
    EXPECT_EQ(dir.read("demo_V4.vnf"), "previous contents\n");
    ASSERT_EQ(recorder.messageBoxes.size(), 1u);
    EXPECT_EQ(recorder.messageBoxes[0].text, dir.str() + "/demo_V4.vnf could not be written");
    EXPECT_EQ(recorder.messageBoxes[0].caption, "File I/O Error");
    EXPECT_NE(dir.read("demo_V4.log").find("Done!Time: "), std::string::npos)
        << "the run goes on and logs its end";
}

TEST(TranslationRun, AMissingInputFileEndsTheRunWithTheLogSoFar) {
    TempDir dir;
    FixedClock clock("0");
    Recorder recorder;
    // The gates file is the first one read.
    EXPECT_THROW(run({"x", dir.str(), "demo"}), testing_support::ProcessEnded);
    ASSERT_EQ(recorder.messageBoxes.size(), 1u);
    EXPECT_EQ(recorder.messageBoxes[0].text, dir.str() + "/MentorGatesFile not found");
    EXPECT_EQ(recorder.messageBoxes[0].caption, "File I/O Error");
    EXPECT_EQ(recorder.endedWith, std::vector<int>{0});
    EXPECT_EQ(dir.read("demo_V4.log"),
              "Parsing Mentor ASCII files. Time: Thu Jan  1 00:00:00 1970\n\n");
    EXPECT_FALSE(dir.exists("demo_V4.vnf"));
}
