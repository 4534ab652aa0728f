// The simple generator behind srand.
#include "commands/core/random_simple.h"

namespace orvel {

namespace {
uint32_t& simpleState() {
  static uint32_t state = 1;
  return state;
}
}  // namespace

void simpleRandSeed(uint32_t seed) { simpleState() = seed; }

int simpleRand() {
  uint32_t& s = simpleState();
  s = s * 214013u + 2531011u;
  return static_cast<int>((s >> 16) & 0x7fffu);
}

}  // namespace orvel
