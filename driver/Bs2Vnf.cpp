#include "driver/Bs2Vnf.h"

#include "corelib/Platform.h"

int runBs2vnf(int argc, const char* const*) {
    if (argc != 4 && argc != 5) {
        MessageBoxA(nullptr, "Incorrect number of program arguments.", "Program Arguments Error",
                    MB_OK);
        return 0;
    }
    return 0;
}
