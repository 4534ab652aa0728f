#include "plugin_harness.h"

#include <gtest/gtest.h>

namespace harness {
namespace {
std::string gResult;
int gInterp;  // the interpreter is opaque to the plug-in: any address does

void ORVEL_CDECL setResult(void*, const char* text, int length) {
  gResult = length > 0 ? std::string(text, static_cast<size_t>(length)) : std::string(text ? text : "");
}

void ensureRoutines() {
  static bool done = false;
  if (done) return;
  done = true;
  int n = _export_common_routines(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                  setResult, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(n, 17);
}
}  // namespace

Outcome run(const std::vector<std::string>& words) {
  ensureRoutines();
  std::vector<std::string> copy = words;
  std::vector<char*> argv;
  for (auto& w : copy) argv.push_back(w.data());
  argv.push_back(nullptr);
  gResult.clear();
  Outcome o;
  if (!copy.empty() && copy[0] == "bellcode")
    o.code = orvel_win_bellcode(&gInterp, static_cast<int>(copy.size()), argv.data(), nullptr);
  else
    o.code = orvel_win_win(&gInterp, static_cast<int>(copy.size()), argv.data(), nullptr);
  o.result = gResult;
  return o;
}

std::string win(const std::vector<std::string>& words) {
  std::vector<std::string> all{"win"};
  all.insert(all.end(), words.begin(), words.end());
  Outcome o = run(all);
  EXPECT_EQ(o.code, ORVEL_OK) << "win " << (words.empty() ? "" : words[0]) << ": " << o.result;
  return o.result;
}

}  // namespace harness
