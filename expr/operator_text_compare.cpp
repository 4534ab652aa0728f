// The text comparison commands: eq ne lt gt le ge (optionally -nocase),
// their case-blind forms eqi nei lti gti lei gei, and the prefix
// comparisons eqn nen. Texts are never read as numbers here.
#include "expr/numbers.h"
#include "interp/interp.h"

namespace orvel {
namespace {

enum class Rel { Eq, Ne, Lt, Gt, Le, Ge };

inline unsigned char fold(char c) {
  return static_cast<unsigned char>((c >= 'A' && c <= 'Z') ? c + 32 : c);
}

// Byte-wise unsigned order of a and b, optionally with letters folded.
int compareText(std::string_view a, std::string_view b, bool noCase) {
  if (!noCase) {
    int c = a.compare(b);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
  }
  size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; i++) {
    unsigned char x = fold(a[i]), y = fold(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

bool holds(Rel r, int order) {
  switch (r) {
    case Rel::Eq: return order == 0;
    case Rel::Ne: return order != 0;
    case Rel::Lt: return order < 0;
    case Rel::Gt: return order > 0;
    case Rel::Le: return order <= 0;
    case Rel::Ge: return order >= 0;
  }
  return false;
}

// The relation of a two-letter name ("eq" ... "ge").
bool relationOf(std::string_view n, Rel& r) {
  if (n == "eq") r = Rel::Eq;
  else if (n == "ne") r = Rel::Ne;
  else if (n == "lt") r = Rel::Lt;
  else if (n == "gt") r = Rel::Gt;
  else if (n == "le") r = Rel::Le;
  else if (n == "ge") r = Rel::Ge;
  else return false;
  return true;
}

int orvelCommandEq(Interp& in, Args& argv, void*) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  bool noCase = false;
  size_t lastPositional = 0;
  for (size_t i = 1; i < argv.size(); i++) {
    std::string& a = argv[i];
    if (a == "{}" || a == "\"\"") a.clear();
    if (!a.empty() && a[0] == '-') {
      if (a == "-nocase") noCase = true;
    } else {
      lastPositional = i;
    }
  }
  std::string_view name = argv[0];
  std::string_view a = argv[1], b = argv[2];
  bool truth;
  if (lastPositional >= 3) {
    bool isEqn = name == "eqn";
    if (!isEqn && name != "nen") return wrongNumArgs(in, argv);
    int64_t n = decimalInt64(argv[lastPositional]);
    size_t len = n < 0 ? 0 : static_cast<size_t>(n);
    std::string_view pa = a.substr(0, len < a.size() ? len : a.size());
    std::string_view pb = b.substr(0, len < b.size() ? len : b.size());
    bool equal = compareText(pa, pb, noCase) == 0;
    truth = isEqn ? equal : !equal;
  } else {
    Rel r;
    if (noCase) {
      if (!relationOf(name, r)) return wrongNumArgs(in, argv);
    } else if (name.size() == 3 && name[2] == 'i' && relationOf(name.substr(0, 2), r)) {
      noCase = true;
    } else if (!relationOf(name, r)) {
      return wrongNumArgs(in, argv);
    }
    truth = holds(r, compareText(a, b, noCase));
  }
  in.result.assign(truth ? "1" : "0", 1);
  return OK;
}

const CommandRegistrar kRegs[] = {
    {"eq", orvelCommandEq},   {"ne", orvelCommandEq},   {"lt", orvelCommandEq},   {"gt", orvelCommandEq},
    {"le", orvelCommandEq},   {"ge", orvelCommandEq},   {"eqi", orvelCommandEq},  {"nei", orvelCommandEq},
    {"lti", orvelCommandEq},  {"gti", orvelCommandEq},  {"lei", orvelCommandEq},  {"gei", orvelCommandEq},
    {"eqn", orvelCommandEq},  {"nen", orvelCommandEq},
};

}  // namespace
}  // namespace orvel
