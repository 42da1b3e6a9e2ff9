#include "corelib/Random.h"

#include <cstdlib>
#include <random>

namespace platform {

namespace {

std::mt19937_64& engine() {
    static std::mt19937_64 instance(5489u);
    return instance;
}

}  // namespace

double uniformRandom() {
    // 53 random bits give every double of [0, 1) on the grid 2^-53.
    return static_cast<double>(engine()() >> 11) * 0x1.0p-53;
}

int cRand() {
    return std::rand();
}

void resetRandom() {
    engine().seed(5489u);
    std::srand(1);
}

}  // namespace platform
