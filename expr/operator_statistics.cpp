// The statistics commands: min max mode median mean
#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

#include "expr/numbers.h"
#include "interp/interp.h"
#include "support/keylist.h"

namespace orvel {
namespace {

int orvelCommandMax(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  bool wantMax = argv[0] == "max";
  int64_t best = decimalInt64(argv[1]);
  for (size_t i = 2; i < argv.size(); i++) {
    bool ok;
    int64_t v = toInt64(argv[i], &ok);
    if (!ok) return fail(in, "%s: Unknown type %s", argv[0].c_str(), argv[1].c_str());
    if (wantMax ? v > best : v < best) best = v;
  }
  assignInt(in.result, best);
  return OK;
}

int orvelCommandMode(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  KeyList counts;
  for (size_t i = 1; i < argv.size(); i++) {
    if (KeyList::node* n = counts.addKey(argv[i])) {
      n->valueType = KeyList::kPointer;
      n->number++;
    }
  }
  const KeyList::node* best = nullptr;
  for (int32_t i = 0; i < counts.count(); i++) {
    const KeyList::node* n = counts.nodeAt(i);
    if (n->number > 1 && (!best || n->number > best->number)) best = n;
  }
  if (!best) return fail(in, "%s: Series has no mode", argv[0].c_str());
  in.result = best->key;
  return OK;
}

// Ascending order that also places NaN (after everything else), so that
// sorting never sees an inconsistent comparison.
bool realBefore(double a, double b) {
  if (std::isnan(a)) return false;
  if (std::isnan(b)) return true;
  return a < b;
}

int orvelCommandMedian(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  std::vector<double> values;
  try {
    values.reserve(argv.size() - 1);
  } catch (const std::bad_alloc&) {
    in.result.assign("0");
    return ERROR;
  }
  for (size_t i = 1; i < argv.size(); i++) values.push_back(textToDouble(argv[i]));
  if (values.size() > 1) std::sort(values.begin(), values.end(), realBefore);
  assignReal(in.result, values[(values.size() + 1) / 2 - 1]);
  return OK;
}

int orvelCommandMean(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  double sum = 0.0;
  for (size_t i = 1; i < argv.size(); i++) sum += textToDouble(argv[i]);
  assignReal(in.result, sum / static_cast<double>(argv.size() - 1));
  return OK;
}

const CommandRegistrar kRegs[] = {
    {"max", orvelCommandMax},       {"min", orvelCommandMax},   {"mode", orvelCommandMode},
    {"median", orvelCommandMedian}, {"mean", orvelCommandMean},
};

}  // namespace
}  // namespace orvel
