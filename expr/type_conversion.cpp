// The type-conversion commands: char uchar short ushort long ulong int wide
// signed uint unsigned float double. Each reads one value by the integer
// operand rules and shows it as the named C type would hold it.
#include <cinttypes>
#include <string>

#include "expr/expression_text.h"
#include "expr/numbers.h"
#include "interp/interp.h"
#include "support/ascii_case.h"

namespace orvel {

namespace {

// Radix-prefixed texts convert as integers even when they hold a point.
bool hasRadixPrefix(std::string_view v) {
  if (v.size() < 2) return false;
  char a = v[0], b = asciiLower(v[1]);
  return (a == '0' && (b == 'x' || b == 'b' || b == 'o')) || (a == '&' && (b == 'h' || b == 'b'));
}

int orvelCommandChar(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  const std::string& v = argv[1];
  bool ok = true;
  int64_t value = toInt64(v, &ok);
  if (!ok) return fail(in, "%s: Unknown type %s", argv[0].c_str(), v.c_str());
  std::string name = argv[0];
  for (char& c : name) c = asciiLower(c);
  uint64_t bits = static_cast<uint64_t>(value);
  if (name == "char") in.result = std::to_string(static_cast<int>(static_cast<int8_t>(bits & 0xFFu)));
  else if (name == "uchar") in.result = std::to_string(static_cast<int>(bits & 0xFFu));
  else if (name == "short") in.result = std::to_string(static_cast<int>(static_cast<int16_t>(bits & 0xFFFFu)));
  else if (name == "ushort") in.result = std::to_string(static_cast<int>(bits & 0xFFFFu));
  else if (name == "long") in.result = std::to_string(static_cast<int32_t>(bits & 0xFFFFFFFFu));
  else if (name == "ulong") in.result = std::to_string(static_cast<uint32_t>(bits & 0xFFFFFFFFu));
  else if (name == "uint" || name == "unsigned") in.result = std::to_string(bits);
  else if (name == "float" || name == "double")
    in.result = realText(v.find('.') != std::string::npos && !hasRadixPrefix(v) ? realValue(v)
                                                                                 : static_cast<double>(value));
  else in.result = intText(value);  // int, wide, signed
  return OK;
}

const CommandRegistrar kRegs[] = {
    {"char", orvelCommandChar},   {"uchar", orvelCommandChar},  {"short", orvelCommandChar},
    {"ushort", orvelCommandChar}, {"long", orvelCommandChar},   {"ulong", orvelCommandChar},
    {"int", orvelCommandChar},    {"wide", orvelCommandChar},   {"signed", orvelCommandChar},
    {"uint", orvelCommandChar},   {"unsigned", orvelCommandChar}, {"float", orvelCommandChar},
    {"double", orvelCommandChar},
};

}  // namespace
}  // namespace orvel
