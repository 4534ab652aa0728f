// The process-wide simple random generator that `srand` seeds: a linear
// congruential generator giving the same sequence on every platform.
#pragma once
#include <cstdint>

namespace orvel {

constexpr int kSimpleRandMax = 32767;

void simpleRandSeed(uint32_t seed);
// The next value, 0 .. kSimpleRandMax.
int simpleRand();

}  // namespace orvel
