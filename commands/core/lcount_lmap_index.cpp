// lcount (element count), lmap (a lambda over a list) and index (one
// character of a string).
#include <exception>

#include "commands/core/list_common.h"
#include "expr/numbers.h"
#include "interp/interp.h"
#include "interp/list_text.h"
#include "interp/struct_access.h"

namespace orvel {

namespace {

inline bool isTrailingBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

void trimTrailing(std::string& s) {
  size_t n = s.size();
  while (n > 0 && isTrailingBlank(s[n - 1])) n--;
  s.resize(n);
}

bool hasWord(const Args& argv, size_t from, std::string_view word) {
  for (size_t i = from; i < argv.size(); i++)
    if (argv[i] == word) return true;
  return false;
}

// lcount list ?-var?
int orvelCommandLcount(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  std::vector<std::string> items;
  if (hasWord(argv, 2, "-var")) {
    Var* v = in.callFrame ? in.callFrame->vars.find(argv[1]) : nullptr;
    if (!v) {
      in.result.clear();
      return fail(in, "%s: Value not found", argv[0].c_str());
    }
    Var* t = varTarget(v);
    if (t && t->kind == VK_AUTO && !t->isConst && !v->isConst && (!v->link || v->subscript.empty())) {
      // The stored value loses its trailing blanks too.
      trimTrailing(t->value);
      t->size = static_cast<int64_t>(t->value.size());
      in.result = intText(TclTokenised3(t->value, items));
      return OK;
    }
    std::string text;
    readVarValue(in, v, text);
    trimTrailing(text);
    in.result = intText(TclTokenised3(text, items));
    return OK;
  }
  std::string text = argv[1];
  trimTrailing(text);
  in.result = intText(TclTokenised3(text, items));
  return OK;
}

// lmap lambda list: apply's result for each element, as a list.
int orvelCommandLmap(Interp& in, Args& argv, void* pd) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  Command* apply = orvelGetCommand(in, "apply");
  if (!apply || !apply->handler) return fail(in, "%s: Command 'apply' not found", argv[0].c_str());
  Handler h = apply->handler;
  std::vector<std::string> items;
  TclTokenised3(argv[2], items);
  const std::string lambda = argv[1];
  std::string out;
  for (auto& e : items) {
    Args words{"apply", lambda, std::move(e)};
    int code = h(in, words, pd);
    // ERROR ends the map at once; so do the codes that end the program or a
    // script (exit, stop, goto), which must not be swallowed.
    if (code == ERROR || code == EXIT || code == STOP || code == GOTO) return code;
    lists::appendBraced(out, in.result);
  }
  in.result = items.empty() ? std::string("{}") : std::move(out);
  return OK;
}

// index string position ?-var?
int orvelCommandIndex(Interp& in, Args& argv, void*) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  try {
    std::string text = argv[1];
    if (hasWord(argv, 3, "-var")) {
      if (Var* v = orvelGetVar(in, argv[1])) readVarValue(in, v, text);
    }
    int64_t pos = toInt64(argv[2]);
    if (pos < 0) pos = 0;
    if (!text.empty() && pos < static_cast<int64_t>(text.size()))
      in.result.assign(1, text[static_cast<size_t>(pos)]);
    else
      in.result.clear();
    return OK;
  } catch (const std::exception& e) {
    reportException("orvelCommandIndex", e.what());
  } catch (...) {
    reportException("orvelCommandIndex", nullptr);
  }
  in.result.clear();
  return ERROR;
}

const CommandRegistrar kRegs[] = {
    {"lcount", orvelCommandLcount}, {"lmap", orvelCommandLmap}, {"index", orvelCommandIndex}};

}  // namespace
}  // namespace orvel
