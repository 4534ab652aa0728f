// The relational operator commands: > >= < <= == !=
// Numbers compare as numbers (integers or reals), anything else as text.
#include "expr/numbers.h"
#include "interp/interp.h"

namespace orvel {
namespace {

enum class Rel { Gt, Ge, Lt, Le, Eq, Ne, Unknown };

Rel relOf(const std::string& n) {
  if (n.size() == 1) return n[0] == '>' ? Rel::Gt : n[0] == '<' ? Rel::Lt : Rel::Unknown;
  if (n.size() != 2 || n[1] != '=') return Rel::Unknown;
  switch (n[0]) {
    case '>': return Rel::Ge;
    case '<': return Rel::Le;
    case '=': return Rel::Eq;
    case '!': return Rel::Ne;
    default: return Rel::Unknown;
  }
}

// order < 0, 0, > 0 against the relation.
inline bool holds(Rel r, int order) {
  switch (r) {
    case Rel::Gt: return order > 0;
    case Rel::Ge: return order >= 0;
    case Rel::Lt: return order < 0;
    case Rel::Le: return order <= 0;
    case Rel::Eq: return order == 0;
    case Rel::Ne: return order != 0;
    default: return false;
  }
}

template <typename T>
inline int orderOf(T a, T b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

// Doubles: NaN is neither below, above nor equal to anything.
inline bool holdsReal(Rel r, double a, double b) {
  switch (r) {
    case Rel::Gt: return a > b;
    case Rel::Ge: return a >= b;
    case Rel::Lt: return a < b;
    case Rel::Le: return a <= b;
    case Rel::Eq: return a == b;
    case Rel::Ne: return a != b;
    default: return false;
  }
}


inline std::string_view asText(const std::string& s) {
  return s == "{}" ? std::string_view() : std::string_view(s);
}

int orvelCommandRelational(Interp& in, Args& argv, void*) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  bool isUnsigned = false;
  for (size_t i = 3; i < argv.size(); i++)
    if (argv[i] == "-unsigned") isUnsigned = true;
  Rel rel = relOf(argv[0]);
  const std::string& ta = argv[1];
  const std::string& tb = argv[2];
  int64_t qa, qb;
  if (plainDecimal(ta, qa) && plainDecimal(tb, qb)) {
    bool t = holds(rel, isUnsigned ? orderOf(static_cast<uint64_t>(qa), static_cast<uint64_t>(qb)) : orderOf(qa, qb));
    in.result.assign(t ? "1" : "0", 1);
    return OK;
  }
  int ka = numberKind(ta);
  int kb = ka != kNotNumber ? numberKind(tb) : kNotNumber;
  bool truth;
  if (ka == kNotNumber || kb == kNotNumber) {
    int c = asText(ta).compare(asText(tb));
    truth = holds(rel, c);
  } else if (ka == kRealNumber || kb == kRealNumber) {
    double a = ka == kRealNumber ? textToDouble(ta) : static_cast<double>(toInt64(ta));
    double b = kb == kRealNumber ? textToDouble(tb) : static_cast<double>(toInt64(tb));
    truth = holdsReal(rel, a, b);
  } else {
    int64_t a = toInt64(ta), b = toInt64(tb);
    truth = holds(rel, isUnsigned ? orderOf(static_cast<uint64_t>(a), static_cast<uint64_t>(b)) : orderOf(a, b));
  }
  in.result.assign(truth ? "1" : "0", 1);
  return OK;
}

const CommandRegistrar kRegs[] = {
    {">", orvelCommandRelational},  {">=", orvelCommandRelational}, {"<", orvelCommandRelational},
    {"<=", orvelCommandRelational}, {"==", orvelCommandRelational}, {"!=", orvelCommandRelational},
};

}  // namespace
}  // namespace orvel
