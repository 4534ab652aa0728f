// bit: single bits of a 64-bit integer.
//   bit get value n      1 when bit n (0 = lowest) is set, else 0
//   bit set value n      value with bit n set
//   bit clear value n    value with bit n cleared
//   bit toggle value n   value with bit n inverted
//   bit count value      the number of set bits
//   bit highest value    position of the highest set bit, -1 for 0
//   bit lowest value     position of the lowest set bit, -1 for 0
// Values are read as the arithmetic commands read integers (0x, 0b, 0o,
// &h, &b prefixes); results are signed decimal.
#include <bit>

#include "commands/core/binary_engine.h"
#include "expr/numbers.h"
#include "interp/interp.h"

namespace orvel {

namespace {

int orvelCommandBit(Interp& in, Args& argv, void*) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  const std::string& sub = argv[1];
  const char* cmd = argv[0].c_str();
  in.result.clear();
  const bool oneArg = equalsNoCase(sub, "count") || equalsNoCase(sub, "highest") || equalsNoCase(sub, "lowest");
  const bool twoArgs =
      equalsNoCase(sub, "get") || equalsNoCase(sub, "set") || equalsNoCase(sub, "clear") || equalsNoCase(sub, "toggle");
  if (!oneArg && !twoArgs)
    return fail(in, "%s: Unknown subcommand '%s' (get, set, clear, toggle, count, highest or lowest)", cmd,
                sub.c_str());
  if (argv.size() != (oneArg ? 3u : 4u)) return wrongNumArgs(in, argv);
  int64_t value;
  if (!binary::strictInteger(argv[2], value))
    return fail(in, "%s %s: Invalid integer '%s'", cmd, sub.c_str(), argv[2].c_str());
  const auto bits = static_cast<uint64_t>(value);
  if (oneArg) {
    if (equalsNoCase(sub, "count"))
      in.result = intText(std::popcount(bits));
    else if (bits == 0)
      in.result = "-1";
    else if (equalsNoCase(sub, "highest"))
      in.result = intText(63 - std::countl_zero(bits));
    else
      in.result = intText(std::countr_zero(bits));
    return OK;
  }
  int64_t n;
  if (!binary::strictInteger(argv[3], n) || n < 0 || n > 63)
    return fail(in, "%s %s: Bit position '%s' is not from 0 to 63", cmd, sub.c_str(), argv[3].c_str());
  const uint64_t mask = uint64_t{1} << n;
  if (equalsNoCase(sub, "get"))
    in.result = bits & mask ? "1" : "0";
  else if (equalsNoCase(sub, "set"))
    in.result = intText(static_cast<int64_t>(bits | mask));
  else if (equalsNoCase(sub, "clear"))
    in.result = intText(static_cast<int64_t>(bits & ~mask));
  else
    in.result = intText(static_cast<int64_t>(bits ^ mask));
  return OK;
}

const CommandRegistrar reg[] = {{"bit", orvelCommandBit}};

}  // namespace

}  // namespace orvel
