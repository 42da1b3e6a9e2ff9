#include "driver/Bs2Vnf.h"

#include <cstring>
#include <optional>
#include <string>

#include "corelib/FileName.h"
#include "corelib/Platform.h"
#include "corelib/TokenStream.h"
#include "driver/BoardStationToVnf.h"
#include "driver/PackageInstance.h"
#include "driver/TranslationReport.h"

bool isMergeWord(std::string_view optionWord) {
    return optionWord == "merge";
}

int runBs2vnf(int argc, const char* const* argv) {
    if (argc != 4 && argc != 5) {
        MessageBoxA(nullptr, "Incorrect number of program arguments.", "Program Arguments Error",
                    MB_OK);
        return 0;
    }
    const std::string optionWord = argv[1];
    const std::string designDirectory = argv[2];
    const std::string designName = argv[3];

    io::CToken_grammar grammar;
    io::CToken_ostream log(LongFileName(VString(designDirectory + "/" + designName + "_V4.log")),
                           32);
    if (argc == 5) {
        convertPackageInstance(argv[4], designDirectory);
    }
    // A report costs nothing unless BS2VNF_REPORT names its file.
    const std::optional<std::string> reportPath = platform::environmentValue("BS2VNF_REPORT");
    std::optional<TranslationReport> report;
    if (reportPath && !reportPath->empty()) {
        report.emplace();
    }
    TranslationReport* reporting = report ? &*report : nullptr;
    BoardStationToVnf translator(designDirectory, log, reporting);
    translator.setMergeOption(isMergeWord(optionWord));
    translator.write(designDirectory, designName, log, reporting);
    log.Close();
    if (report && !writeTranslationReport(*report, *reportPath)) {
        platform::reporter().standardError("Translation report " + *reportPath
                                           + " could not be written\n");
    }
    return 0;
}
