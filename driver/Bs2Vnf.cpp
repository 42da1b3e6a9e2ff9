#include "driver/Bs2Vnf.h"

#include <cstring>
#include <string>

#include "corelib/FileName.h"
#include "corelib/Platform.h"
#include "corelib/TokenStream.h"
#include "driver/BoardStationToVnf.h"
#include "driver/PackageInstance.h"

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
    BoardStationToVnf translator(designDirectory, log);
    translator.setMergeOption(isMergeWord(optionWord));
    translator.write(designDirectory, designName, log);
    log.Close();
    return 0;
}
