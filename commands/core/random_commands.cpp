// The random-number commands rnd, rnd64, rndseq, lrand and srand.
#include <cstdint>
#include <utility>

#include "commands/core/random_simple.h"
#include "expr/numbers.h"
#include "interp/interp.h"
#include "interp/list_text.h"
#include "platform/system.h"
#include "support/mt19937.h"

namespace orvel {

namespace {

// Shared by every list and every call: the index lrand -norepeat picked
// last, and the value rndseq returned last.
int64_t g_lastPickedIndex = -1;
bool g_haveSequenceValue = false;
int64_t g_lastSequenceValue = 0;

// Reads a bound by the integer-literal rule; reports a text beginning with
// '&' that names no radix.
bool readBound(Interp& in, const Args& argv, size_t i, int64_t& out) {
  bool ok = true;
  out = toInt64(argv[i], &ok);
  if (!ok) {
    in.result.clear();
    fail(in, "%s: Unknown type %s", argv[0].c_str(), argv[i].c_str());
  }
  return ok;
}

int64_t abs64(int64_t v) {
  if (v >= 0) return v;
  return v == INT64_MIN ? INT64_MAX : -v;
}

int orvelCommandRnd(Interp& in, Args& argv, void*) {
  if (argv.size() != 3) return wrongNumArgs(in, argv);
  int64_t a, b;
  if (!readBound(in, argv, 1, a) || !readBound(in, argv, 2, b)) return ERROR;
  // The bounds are taken as 32-bit values.
  int64_t lo = abs64(static_cast<int32_t>(static_cast<uint32_t>(a)));
  int64_t hi = abs64(static_cast<int32_t>(static_cast<uint32_t>(b)));
  in.result = intText(mtRange(lo, hi));
  return OK;
}

// A draw over the full 64-bit span of [lo, hi] (both at least 0): two
// words make the offset when the range is wider than one word can cover.
int64_t wideRange(int64_t lo, int64_t hi) {
  if (lo > hi) std::swap(lo, hi);
  uint64_t size = static_cast<uint64_t>(hi) - static_cast<uint64_t>(lo) + 1u;
  if (size <= (uint64_t(1) << 32)) return mtRange(lo, hi);
  uint64_t word = (static_cast<uint64_t>(mtNext()) << 32) | mtNext();
  return static_cast<int64_t>(static_cast<uint64_t>(lo) + word % size);
}

int orvelCommandRnd64(Interp& in, Args& argv, void*) {
  if (argv.size() != 3) return wrongNumArgs(in, argv);
  int64_t a, b;
  if (!readBound(in, argv, 1, a) || !readBound(in, argv, 2, b)) return ERROR;
  in.result = intText(wideRange(abs64(a), abs64(b)));
  return OK;
}

int orvelCommandRndseq(Interp& in, Args& argv, void*) {
  if (argv.size() != 3) return wrongNumArgs(in, argv);
  int64_t a, b;
  if (!readBound(in, argv, 1, a) || !readBound(in, argv, 2, b)) return ERROR;
  // Read as unsigned, so negative bounds are above the limit too.
  constexpr uint64_t kLimit = 2147483647;
  if (static_cast<uint64_t>(a) >= kLimit) a = kLimit;
  if (static_cast<uint64_t>(b) >= kLimit) b = kLimit;
  int64_t value = mtRange(a, b);
  for (int tries = 0; g_haveSequenceValue && value == g_lastSequenceValue && tries < 1000; tries++)
    value = mtRange(a, b);
  g_lastSequenceValue = value;
  g_haveSequenceValue = true;
  in.result = intText(value);
  return OK;
}

int orvelCommandLrand(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  for (size_t i = 2; i < argv.size(); i++)
    if (argv[i] != "-norepeat") return wrongNumArgs(in, argv);
  const bool norepeat = argv.size() > 2;
  std::vector<std::string> items;
  const int64_t n = TclTokenised3(argv[1], items);
  if (n == 0) {
    in.result.clear();
    return OK;
  }
  int64_t index = mtRange(0, n - 1);
  if (norepeat) {
    // With one element no other index exists, so there is nothing to wait for.
    constexpr int kMaxDraws = 10000000;
    bool differs = index != g_lastPickedIndex;
    for (int draws = 1; !differs && n > 1 && draws < kMaxDraws; draws++) {
      index = mtRange(0, n - 1);
      differs = index != g_lastPickedIndex;
    }
    if (differs) g_lastPickedIndex = index;
  }
  in.result = std::move(items[static_cast<size_t>(index)]);
  return OK;
}

int orvelCommandSrand(Interp& in, Args& argv, void*) {
  if (argv.size() > 2) return wrongNumArgs(in, argv);
  uint64_t seed = argv.size() == 2 ? static_cast<uint64_t>(toInt64(argv[1])) : 0;
  if (seed == 0) seed = plat::tickMs() * static_cast<uint64_t>(plat::localTime().millisecond);
  simpleRandSeed(static_cast<uint32_t>(seed));
  in.result.clear();
  return OK;
}

const CommandRegistrar kRegs[] = {
    {"rnd", orvelCommandRnd},     {"rnd64", orvelCommandRnd64}, {"rndseq", orvelCommandRndseq},
    {"lrand", orvelCommandLrand}, {"srand", orvelCommandSrand},
};

}  // namespace
}  // namespace orvel
