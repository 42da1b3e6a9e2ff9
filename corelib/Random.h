#pragma once

namespace platform {

/// Uniform random number in [0, 1) from the core library's random source. The source
/// starts from a fixed seed, so a run is reproducible.
double uniformRandom();

/// The C library's rand(): 0 to RAND_MAX, from its default seed unless reseeded.
int cRand();

/// Restarts both sources from their initial seeds (tests).
void resetRandom();

}  // namespace platform
