// The `array` command: option scan and subcommand dispatch; `is_array`.
#include <exception>

#include "commands/core/array_common.h"
#include "interp/struct_access.h"

namespace orvel {

namespace {

using arrays::ArrayOptions;
using SubHandler = int (*)(Interp&, Args&, const ArrayOptions&);

struct Subcommand {
  const char* name;
  SubHandler handler;
  bool needsFourWords;  // the subcommands after `walk` take at least four words
};

const Subcommand kSubcommands[] = {
    {"create", arrays::arrayCreate, false},   {"get", arrays::arrayGet, false},
    {"names", arrays::arrayNames, false},     {"size", arrays::arraySize, false},
    {"trim", arrays::arrayTrim, false},       {"sort", arrays::arraySortList, false},
    {"list", arrays::arraySortList, false},   {"foreach", arrays::arrayForeach, false},
    {"statistics", arrays::arrayStatistics, false}, {"unset", arrays::arrayUnset, false},
    {"swap", arrays::arraySwap, false},       {"walk", arrays::arrayWalk, false},
    {"item", arrays::arrayItem, true},        {"find", arrays::arrayFind, true},
    {"set", arrays::arraySetPairs, true},     {"setint", arrays::arraySetInt, true},
    {"append", arrays::arrayAppend, true},    {"blank", arrays::arrayBlank, true},
};

bool startsWithNoCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && equalsNoCase(s.substr(0, prefix.size()), prefix);
}

int orvelCommandArray(Interp& in, Args& argv, void*) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  try {
    ArrayOptions o = arrays::scanArrayOptions(argv);
    const std::string& sub = argv[1];
    if (startsWithNoCase(sub, "exist") || equalsNoCase(sub, "is_set")) return arrays::arrayExists(in, argv, o);
    for (const Subcommand& s : kSubcommands) {
      if (!equalsNoCase(sub, s.name)) continue;
      if (s.needsFourWords && argv.size() < 4) return wrongNumArgs(in, argv);
      return s.handler(in, argv, o);
    }
    return fail(in, "array %s: Not implemented", sub.c_str());
  } catch (const std::exception& e) {
    reportException("orvelCommandArray", e.what());
  } catch (...) {
    reportException("orvelCommandArray", nullptr);
  }
  in.result.clear();
  return ERROR;
}

int orvelCommandIsArray(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  Var* v = varTarget(orvelGetVar(in, argv[1]));
  in.result = v && v->kind == VK_ARRAY ? "1" : "0";
  return OK;
}

const CommandRegistrar kRegs[] = {{"array", orvelCommandArray}, {"is_array", orvelCommandIsArray}};

}  // namespace
}  // namespace orvel
