#include "driver/Bs2Vnf.h"

int main(int argc, char** argv) {
    return runBs2vnf(argc, argv);
}
