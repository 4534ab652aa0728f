#include "support/mt19937.h"

#include "platform/system.h"

namespace {

constexpr int kN = 624;
constexpr int kM = 397;
constexpr uint32_t kMatrixA = 0x9908b0dfu;
constexpr uint32_t kUpperMask = 0x80000000u;
constexpr uint32_t kLowerMask = 0x7fffffffu;

struct Generator {
  uint32_t mt[kN];
  int mti = kN + 1;  // kN + 1: not seeded yet

  void seed(uint32_t s) {
    mt[0] = s;
    for (mti = 1; mti < kN; mti++)
      mt[mti] = 1812433253u * (mt[mti - 1] ^ (mt[mti - 1] >> 30)) + static_cast<uint32_t>(mti);
  }

  uint32_t next() {
    if (mti >= kN) {
      if (mti == kN + 1) {
        plat::LocalTime t = plat::localTime();
        seed(static_cast<uint32_t>((t.minute + 1) * (t.second + 1) * (t.millisecond + 1) * 60));
      }
      int k = 0;
      for (; k < kN - kM; k++) {
        uint32_t y = (mt[k] & kUpperMask) | (mt[k + 1] & kLowerMask);
        mt[k] = mt[k + kM] ^ (y >> 1) ^ ((y & 1u) ? kMatrixA : 0u);
      }
      for (; k < kN - 1; k++) {
        uint32_t y = (mt[k] & kUpperMask) | (mt[k + 1] & kLowerMask);
        mt[k] = mt[k + (kM - kN)] ^ (y >> 1) ^ ((y & 1u) ? kMatrixA : 0u);
      }
      uint32_t y = (mt[kN - 1] & kUpperMask) | (mt[0] & kLowerMask);
      mt[kN - 1] = mt[kM - 1] ^ (y >> 1) ^ ((y & 1u) ? kMatrixA : 0u);
      mti = 0;
    }
    uint32_t y = mt[mti++];
    y ^= (y >> 11);
    y ^= (y << 7) & 0x9d2c5680u;
    y ^= (y << 15) & 0xefc60000u;
    y ^= (y >> 18);
    return y;
  }
};

Generator& generator() {
  static Generator g;
  return g;
}

}  // namespace

uint32_t mtNext() { return generator().next(); }

void mtSeed(uint32_t seed) { generator().seed(seed); }

int64_t mtRange(int64_t lo, int64_t hi) {
  if (lo > hi) {
    int64_t t = lo;
    lo = hi;
    hi = t;
  }
  if (lo == hi) return lo;
  // Unsigned arithmetic: the full 64-bit range has size 2^64, which wraps to 0.
  uint64_t size = static_cast<uint64_t>(hi) - static_cast<uint64_t>(lo) + 1u;
  uint64_t word = mtNext();
  uint64_t offset = size == 0 ? word : word % size;
  return static_cast<int64_t>(static_cast<uint64_t>(lo) + offset);
}
