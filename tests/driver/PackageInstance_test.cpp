#include "driver/PackageInstance.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "tests/support/TempDir.h"

using testing_support::TempDir;

TEST(PackageInstance, WhichLinesReferToAnInstanceFile) {
    const std::pair<const char*, const char*> cases[] = {
        // The prefix must not open the line, nor be its last text.
        {"pkginst.pkginst_12 rest", ""},
        {" pkginst.pkginst_12", "pkginst.pkginst_12"},
        {"xpkginst.pkginst_", ""},
        // Text after the number is ignored; the number is printed again, so leading zeros
        // drop out and no number reads as 0.
        {"'pkginst.pkginst_12'", "pkginst.pkginst_12"},
        {"x pkginst.pkginst_007", "pkginst.pkginst_7"},
        {"x pkginst.pkginst_abc", "pkginst.pkginst_0"},
        {"x pkginst.pkginst_-3", "pkginst.pkginst_-3"},
        // Lines shorter than 16 characters are never looked at.
        {"pkginst.pkginst", ""},
        {"nothing here at all", ""},
    };
    for (const auto& [line, reference] : cases) {
        EXPECT_EQ(packageInstanceReference(line), reference) << line;
    }
}

TEST(PackageInstance, CopiesTheLastReferencedFileOverTheGatesFile) {
    TempDir packages;
    TempDir design;
    packages.write("pkginst.Pcb_pkginst.attr",
                   "header line without reference\n"
                   "A 'pkginst.pkginst_3'\n"
                   "B 'pkginst.pkginst_07'\n"
                   "pkginst.pkginst_9 opens the line and does not count\n");
    packages.write("pkginst.pkginst_3", "three");
    packages.write("pkginst.pkginst_7", std::string("seven\0\r\nbinary", 14));
    design.write("MentorGatesFile", "old gates");
    convertPackageInstance(packages.str(), design.str());
    EXPECT_EQ(design.read("MentorGatesFile"), std::string("seven\0\r\nbinary", 14));
}

TEST(PackageInstance, SilentWhenAnythingIsMissing) {
    TempDir design;
    design.write("MentorGatesFile", "old gates");
    {
        TempDir packages;  // no attribute file at all
        convertPackageInstance(packages.str(), design.str());
    }
    {
        TempDir packages;  // a reference to a file that is not there
        packages.write("pkginst.Pcb_pkginst.attr", "x pkginst.pkginst_4\n");
        convertPackageInstance(packages.str(), design.str());
    }
    {
        TempDir packages;  // no accepted line
        packages.write("pkginst.Pcb_pkginst.attr", "pkginst.pkginst_4\n");
        packages.write("pkginst.pkginst_4", "four");
        convertPackageInstance(packages.str(), design.str());
    }
    EXPECT_EQ(design.read("MentorGatesFile"), "old gates");
    {
        TempDir packages;  // a design directory that cannot take the copy
        packages.write("pkginst.Pcb_pkginst.attr", "x pkginst.pkginst_4\n");
        packages.write("pkginst.pkginst_4", "four");
        convertPackageInstance(packages.str(), design.str() + "/missing");
    }
}

TEST(PackageInstance, ALineThatDoesNotFitTheBufferEndsTheReading) {
    TempDir packages;
    TempDir design;
    packages.write("pkginst.pkginst_1", "one");
    packages.write("pkginst.pkginst_2", "two");
    const std::string line1023 = "x pkginst.pkginst_1" + std::string(1023 - 19, ' ');
    const std::string line1024 = "x pkginst.pkginst_2" + std::string(1024 - 19, ' ');
    // A line of 1023 characters still fits the 1024-byte buffer.
    packages.write("pkginst.Pcb_pkginst.attr", line1023 + "\n");
    convertPackageInstance(packages.str(), design.str());
    EXPECT_EQ(design.read("MentorGatesFile"), "one");
    // A line of 1024 characters stops the reading; the line before it still counts and
    // the reference after it is never seen.
    packages.write("pkginst.Pcb_pkginst.attr",
                   "a pkginst.pkginst_1\n" + line1024 + "\nb pkginst.pkginst_2\n");
    convertPackageInstance(packages.str(), design.str());
    EXPECT_EQ(design.read("MentorGatesFile"), "one");
    // Without the long line the last reference wins.
    packages.write("pkginst.Pcb_pkginst.attr", "a pkginst.pkginst_1\r\nb pkginst.pkginst_2");
    convertPackageInstance(packages.str(), design.str());
    EXPECT_EQ(design.read("MentorGatesFile"), "two");
}
