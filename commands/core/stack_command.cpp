// stack: named stack variables holding a fixed-capacity stack of strings.
#include <memory>
#include <new>

#include "expr/numbers.h"
#include "interp/interp.h"
#include "interp/list_text.h"
#include "interp/struct_access.h"
#include "support/stack.h"

namespace orvel {

namespace {

bool hasWord(const Args& argv, size_t from, std::string_view word) {
  for (size_t i = from; i < argv.size(); i++)
    if (argv[i] == word) return true;
  return false;
}

int stackCreate(Interp& in, Args& argv) {
  if (argv.size() != 4) return wrongNumArgs(in, argv);
  const std::string& name = argv[2];
  if (orvelGetVar(in, name)) {
    in.result = "0";
    return fail(in, "%s %s: Variable '%s' already exists", argv[0].c_str(), argv[1].c_str(), name.c_str());
  }
  int64_t capacity = toInt64(argv[3]);
  if (capacity < 1) capacity = 1;
  if (capacity > INT32_MAX) capacity = INT32_MAX;
  if (set_var(in, name, "<stack>") != 0) {
    in.result = "0";
    return fail(in, "%s create: '%s' failed", argv[0].c_str(), name.c_str());
  }
  Var* v = varTarget(orvelGetVar(in, name));
  if (!v) {
    in.result = "0";
    return fail(in, "%s create failed", argv[0].c_str());
  }
  try {
    v->stack = std::make_shared<Stack>(static_cast<int32_t>(capacity), true);
  } catch (const std::bad_alloc&) {
    orvelDeleteVar(in, name);
    in.result = "0";
    setErrorIndex(in, 5, argv[0].c_str());
    return ERROR;
  }
  v->kind = VK_STACK;
  v->value = "<stack>";
  in.result = "1";
  return OK;
}

// The strings of a stack as a list, bottom first or top first.
std::string stackList(const Stack& s, bool topFirst) {
  std::string out;
  const int32_t n = s.count();
  for (int32_t k = 0; k < n; k++) {
    const std::string* e = s.itemstr(topFirst ? n - 1 - k : k);
    if (e) listAppendElement(out, *e);
  }
  return out;
}

int stackPush(Interp& in, Args& argv, Stack& s) {
  for (size_t i = 3; i < argv.size(); i++) {
    if (argv[i].empty() || argv[i] == "-nocomplain") continue;
    if (s.count() >= s.capacity()) {
      in.result = "Stack overflow";
      return ERROR;
    }
    if (s.pushstr(argv[i]) < 0) {
      in.result.clear();
      setErrorIndex(in, 5, argv[0].c_str());
      return ERROR;
    }
  }
  in.result = intText(s.count());
  return OK;
}

// stack item name index ?default? ?-end?
int stackItem(Interp& in, Args& argv, const Stack& s) {
  if (argv.size() < 4) return wrongNumArgs(in, argv);
  const bool fromTop = argv.back() == "-end";
  size_t last = fromTop ? argv.size() - 1 : argv.size();
  int64_t index = toInt64(argv[3]);
  if (index < 0) index = 0;
  const std::string* e = nullptr;
  if (fromTop) e = s.peekstr();
  else if (index < s.count()) e = s.itemstr(static_cast<int32_t>(index));
  if (e) in.result = *e;
  else in.result = last > 4 ? argv[4] : std::string("{}");
  return OK;
}

// stack foreach name varName body ?-r?
int stackForeach(Interp& in, Args& argv, const Stack& s) {
  if (argv.size() < 5) return wrongNumArgs(in, argv);
  bool topFirst = false;
  for (size_t i = 5; i < argv.size(); i++)
    if (argv[i].compare(0, 2, "-r") == 0) topFirst = true;
  // The body may push, pop or remove the stack: the loop runs over the
  // strings as they were when it began.
  std::vector<std::string> strings;
  const int32_t n = s.count();
  strings.reserve(static_cast<size_t>(n));
  for (int32_t k = 0; k < n; k++)
    if (const std::string* e = s.itemstr(topFirst ? n - 1 - k : k)) strings.push_back(*e);
  const std::string& varName = argv[3];
  const std::string body = argv[4];
  for (const std::string& value : strings) {
    if (setVariable(in, varName, &value, true) != OK) return ERROR;
    int code = orvelEval(in, body);
    if (code == OK || code == CONTINUE) continue;
    if (code == BREAK || code == RETURN) break;
    return code;
  }
  in.result.clear();
  return OK;
}

// stack unset name ?-nocomplain?: the stack goes and the name with it.
int stackUnset(Interp& in, Args& argv, Var* v, Var* target) {
  // A protected variable keeps its stack; unset gives the refusal.
  if (!v->isStatic && !v->isConst && !target->isStatic && !target->isConst) {
    target->stack.reset();
    target->kind = VK_AUTO;
    target->value.clear();
  }
  Args words{"unset", argv[2]};
  if (hasWord(argv, 3, "-nocomplain")) words.push_back("-nocomplain");
  int code = orvelEvalWords(in, words);
  in.result = code == OK ? "1" : "0";
  return code;
}

int orvelCommandStack(Interp& in, Args& argv, void*) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  const std::string& sub = argv[1];
  auto is = [&](const char* w) { return equalsNoCase(sub, w); };
  if (is("create")) return stackCreate(in, argv);

  const bool simple = argv.size() == 3 && (is("pop") || is("peek") || is("is_empty") || is("count") ||
                                           is("size") || is("clear") || is("list") || is("listr"));
  const bool extended = is("push") || is("unset") || is("item") || is("foreach");
  if (!simple && !extended) {
    in.result.clear();
    return fail(in, "%s: Unknown argument '%s'", argv[0].c_str(), sub.c_str());
  }

  const std::string& name = argv[2];
  Var* v = orvelGetVar(in, name);
  if (!v) {
    if (hasWord(argv, 3, "-nocomplain")) {
      in.result = "1";
      return OK;
    }
    in.result = "0";
    return fail(in, "%s %s: '%s' not found", argv[0].c_str(), sub.c_str(), name.c_str());
  }
  Var* t = varTarget(v);
  if (!t || t->kind != VK_STACK) {
    in.result = "0";
    return fail(in, "%s %s: '%s' exists and is not a stack variable", argv[0].c_str(), sub.c_str(), name.c_str());
  }
  if (!t->stack) {
    in.result = "0";
    return fail(in, "%s %s: Stack '%s' not initialised", argv[0].c_str(), sub.c_str(), name.c_str());
  }
  // Keeps the stack alive while a foreach body runs.
  std::shared_ptr<Stack> keep = t->stack;
  Stack& s = *keep;

  if (is("push")) return stackPush(in, argv, s);
  if (is("item")) return stackItem(in, argv, s);
  if (is("foreach")) return stackForeach(in, argv, s);
  if (is("unset")) return stackUnset(in, argv, v, t);
  if (is("pop")) {
    std::optional<std::string> top = s.popstr();
    in.result = top ? std::move(*top) : std::string();
  } else if (is("peek")) {
    const std::string* top = s.peekstr();
    in.result = top ? *top : std::string();
  } else if (is("is_empty")) {
    in.result = s.isEmpty() ? "1" : "0";
  } else if (is("count")) {
    in.result = intText(s.count());
  } else if (is("size")) {
    in.result = intText(s.capacity());
  } else if (is("clear")) {
    while (s.popstr()) {
    }
    in.result = "1";
  } else {
    in.result = stackList(s, is("listr"));
  }
  return OK;
}

const CommandRegistrar kRegs[] = {{"stack", orvelCommandStack}};

}  // namespace
}  // namespace orvel
