#pragma once

#include <string_view>

/// True for the option word that switches plane merging on: exactly "merge".
bool isMergeWord(std::string_view optionWord);

/// Runs the translator on a command line: argv[1] the option word ("merge" merges
/// planes), argv[2] the design directory, argv[3] the design name and, optionally,
/// argv[4] the package-instance directory. Returns the exit status, 0 on every path.
int runBs2vnf(int argc, const char* const* argv);
