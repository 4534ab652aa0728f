// Small tools around variables: let, swap, setat, new, is_set, is_mod,
// varname, K, =>, @> and dummy.
#include <map>
#include <optional>
#include <string>

#include "commands/core/list_common.h"
#include "interp/interp.h"
#include "interp/struct_access.h"
#include "platform/process.h"
#include "platform/shell_words.h"
#include "support/hash_table.h"
#include "support/stack.h"

namespace orvel {

namespace {

// Output of a shell command kept by @> (more is an error).
constexpr size_t kMaxCapture = 64 * 1024 * 1024;

bool isElementName(std::string_view name) {
  size_t open = name.find('(');
  return open != std::string_view::npos && open > 0 && name.back() == ')';
}

// The value of a variable or array element as `set name` reads it; false
// (after reporting "cmd: Variable 'name' not found") when there is none.
bool readValue(Interp& in, const std::string& cmd, const std::string& name, std::string& out) {
  std::string saved = std::move(in.result);
  int code = setVariable(in, name, nullptr, false);
  out = std::move(in.result);
  in.result = std::move(saved);
  if (code == OK) return true;
  fail(in, "%s: Variable '%s' not found", cmd.c_str(), name.c_str());
  return false;
}

// let name = expression ...: assigns the value of the infix expression.
int orvelCommandLet(Interp& in, Args& argv, void*) {
  if (argv.size() < 4) return wrongNumArgs(in, argv);
  if (argv[2] != "=") return fail(in, "%s: Expected '=' after '%s', got '%s'", argv[0].c_str(), argv[1].c_str(), argv[2].c_str());
  Args words{"expr"};
  words.insert(words.end(), argv.begin() + 3, argv.end());
  int code = orvelEvalWords(in, words);
  if (code != OK) return code;
  std::string value = in.result;
  return setVariable(in, argv[1], &value, true);
}

// swap a b: exchanges the values of two variables (or array elements), or
// the contents of two arrays.
int orvelCommandSwap(Interp& in, Args& argv, void*) {
  if (argv.size() != 3) return wrongNumArgs(in, argv);
  const std::string& cmd = argv[0];
  Var* vars[2] = {nullptr, nullptr};
  for (int i = 0; i < 2; i++) {
    const std::string& name = argv[static_cast<size_t>(i) + 1];
    if (isElementName(name)) continue;
    Var* v = orvelGetVar(in, name);
    if (!v) return fail(in, "%s: Variable '%s' not found", cmd.c_str(), name.c_str());
    Var* t = varTarget(v);
    if (v->isConst || t->isConst) return fail(in, "%s: Can't change the constant '%s'", cmd.c_str(), name.c_str());
    if (t->kind != VK_AUTO && t->kind != VK_ARRAY)
      return fail(in, "%s: Can't swap '%s' (type %s)", cmd.c_str(), name.c_str(), kindName(t->kind));
    vars[i] = t;
  }
  bool arrays[2] = {vars[0] && vars[0]->kind == VK_ARRAY, vars[1] && vars[1]->kind == VK_ARRAY};
  if (arrays[0] != arrays[1])
    return fail(in, "%s: Can't swap the array '%s' with the non-array '%s'", cmd.c_str(),
                argv[arrays[0] ? 1 : 2].c_str(), argv[arrays[0] ? 2 : 1].c_str());
  if (arrays[0]) {
    // The tables' contents change places, so that links holding a table
    // keep seeing the array they were made for.
    if (vars[0]->table && vars[1]->table) std::swap(*vars[0]->table, *vars[1]->table);
    else std::swap(vars[0]->table, vars[1]->table);
    std::swap(vars[0]->noCase, vars[1]->noCase);
    in.result = "1";
    return OK;
  }
  std::string a, b;
  if (!readValue(in, cmd, argv[1], a) || !readValue(in, cmd, argv[2], b)) return ERROR;
  if (setVariable(in, argv[1], &b, true) != OK) return ERROR;
  if (setVariable(in, argv[2], &a, true) != OK) {
    setVariable(in, argv[1], &a, false);  // put the first one back
    return ERROR;
  }
  in.result = "1";
  return OK;
}

// setat name index char: replaces one character of a variable's value.
int orvelCommandSetat(Interp& in, Args& argv, void*) {
  if (argv.size() != 4) return wrongNumArgs(in, argv);
  const std::string& cmd = argv[0];
  std::string value;
  if (!readValue(in, cmd, argv[1], value)) return ERROR;
  int64_t index;
  int64_t len = static_cast<int64_t>(value.size());
  if (!lists::listIndex(argv[2], len, index)) return fail(in, "%s: Invalid index '%s'", cmd.c_str(), argv[2].c_str());
  if (index < 0 || index >= len)
    return fail(in, "%s: Index %s out of range for a value of %lld characters", cmd.c_str(), argv[2].c_str(),
                static_cast<long long>(len));
  if (argv[3].size() != 1) return fail(in, "%s: Expected one character, got '%s'", cmd.c_str(), argv[3].c_str());
  value[static_cast<size_t>(index)] = argv[3][0];
  return setVariable(in, argv[1], &value, true);
}

// new name ?value?: creates a variable that must not exist yet.
int orvelCommandNew(Interp& in, Args& argv, void*) {
  if (argv.size() < 2 || argv.size() > 3) return wrongNumArgs(in, argv);
  const std::string& name = argv[1];
  bool exists;
  if (isElementName(name)) {
    size_t open = name.find('(');
    exists = arrayGetElement(in, std::string_view(name).substr(0, open),
                             std::string_view(name).substr(open + 1, name.size() - open - 2)) != nullptr;
  } else {
    exists = orvelGetVar(in, name) != nullptr || structMemberVar(in, name) != nullptr;
  }
  if (exists) return fail(in, "%s: Variable '%s' already exists", argv[0].c_str(), name.c_str());
  std::string value = argv.size() == 3 ? argv[2] : std::string();
  return setVariable(in, name, &value, true);
}

// is_set name: 1 when the variable (or array element) exists and holds
// something: a non-empty value, an array or dictionary with elements, a
// stack with items, or a struct.
int orvelCommandIsSet(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  const std::string& name = argv[1];
  bool set = false;
  if (isElementName(name)) {
    size_t open = name.find('(');
    const std::string* e = arrayGetElement(in, std::string_view(name).substr(0, open),
                                           std::string_view(name).substr(open + 1, name.size() - open - 2));
    set = e && !e->empty();
  } else if (Var* v = orvelGetVar(in, name)) {
    Var* t = varTarget(v);
    switch (t->kind) {
      case VK_ARRAY:
      case VK_DICT:
        set = t->table && !t->table->empty();
        break;
      case VK_STACK:
        set = t->stack && t->stack->count() > 0;
        break;
      case VK_STRUCT:
        set = true;
        break;
      default: {
        std::string value;
        readVarValue(in, v, value);
        set = !value.empty();
      }
    }
  } else if (Var* f = structMemberVar(in, name)) {
    std::string value;
    readFieldValue(in, f, value);
    set = !value.empty();
  }
  in.result = set ? "1" : "0";
  return OK;
}

// What is_mod compares: whether the name was visible, and its value (an
// array as its elements).
struct Snapshot {
  bool exists = false;
  std::string value;
};

Snapshot snapshotOf(Interp& in, const std::string& name) {
  Snapshot s;
  if (isElementName(name)) {
    size_t open = name.find('(');
    if (const std::string* e = arrayGetElement(in, std::string_view(name).substr(0, open),
                                               std::string_view(name).substr(open + 1, name.size() - open - 2))) {
      s.exists = true;
      s.value = *e;
    }
    return s;
  }
  Var* v = orvelGetVar(in, name);
  if (!v) v = structMemberVar(in, name);
  if (!v) return s;
  s.exists = true;
  Var* t = varTarget(v);
  if (t->kind == VK_ARRAY) {
    s.value = "<array>";
    if (t->table) {
      std::vector<std::string> keys, values;
      t->table->keysAndValues(keys, values);
      for (size_t i = 0; i < keys.size(); i++) {
        s.value += '\0';
        s.value += keys[i];
        s.value += '\0';
        s.value += values[i];
      }
    }
  } else if (t->kind == VK_STACK) {
    s.value = "<stack>";
    for (int32_t i = 0; t->stack && i < t->stack->count(); i++)
      if (const std::string* e = t->stack->itemstr(i)) {
        s.value += '\0';
        s.value += *e;
      }
  } else {
    readVarValue(in, v, s.value);
  }
  return s;
}

// is_mod name: 1 when the variable's value (or its existence) differs from
// what the previous is_mod of the same name saw; the first is_mod of a name
// only takes note and answers 0.
int orvelCommandIsMod(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  auto& slot = in.attached["is_mod snapshots"];
  if (!slot) slot = std::make_shared<std::map<std::string, Snapshot>>();
  auto& seen = *static_cast<std::map<std::string, Snapshot>*>(slot.get());
  Snapshot now = snapshotOf(in, argv[1]);
  auto it = seen.find(argv[1]);
  bool changed = it != seen.end() && (it->second.exists != now.exists || it->second.value != now.value);
  seen[argv[1]] = std::move(now);
  in.result = changed ? "1" : "0";
  return OK;
}

// varname name ?-nocomplain?: the name of the variable that name finally
// stands for after upvar and global links, "::" in front for a global;
// "arr(sub)" for a link to an array element.
int orvelCommandVarname(Interp& in, Args& argv, void*) {
  if (argv.size() < 2 || argv.size() > 3) return wrongNumArgs(in, argv);
  bool nocomplain = argv.size() == 3 && argv[2] == "-nocomplain";
  if (argv.size() == 3 && !nocomplain) return fail(in, "%s: Unknown option '%s'", argv[0].c_str(), argv[2].c_str());
  Var* v = orvelGetVar(in, argv[1]);
  if (!v) v = structMemberVar(in, argv[1]);
  if (!v) {
    in.result.clear();
    if (nocomplain) return OK;
    return fail(in, "%s: Variable '%s' not found", argv[0].c_str(), argv[1].c_str());
  }
  auto qualified = [](const Var* r) { return (r->level == 0 ? "::" : "") + r->name; };
  int guard = 0;
  while (v->link && guard++ < 100000) {
    if (!v->subscript.empty()) {
      Var* arr = varTarget(v->link.get());
      in.result = qualified(arr) + "(" + v->subscript + ")";
      return OK;
    }
    v = v->link.get();
  }
  in.result = qualified(v);
  return OK;
}

// K a ?b ...?: a (the other words have already done their work).
int orvelCommandK(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  in.result = argv[1];
  return OK;
}

// => name command ?arg ...?: runs the command (its words are not
// substituted again) and stores its result in the variable.
int orvelCommandAssignResult(Interp& in, Args& argv, void*) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  std::string name = argv[1];
  Args words(argv.begin() + 2, argv.end());
  int code = orvelEvalWords(in, words);
  if (code != OK) return code;
  std::string value = in.result;
  return setVariable(in, name, &value, true);
}

// @> name word ?word ...?: runs the words, joined by blanks, as a command
// line of the system's command interpreter, stores what it printed
// (standard output and error) in the variable and returns its exit status.
int orvelCommandShellCapture(Interp& in, Args& argv, void*) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  std::string line;
  for (size_t i = 2; i < argv.size(); i++) {
    if (i > 2) line += ' ';
    line += argv[i];
  }
  std::string output;
  bool tooLong = false;
  plat::SpawnResult res = plat::spawnCaptured(plat::shellCommandWords(line), false, [&](const char* data, size_t n) {
    if (output.size() + n > kMaxCapture) tooLong = true;
    else output.append(data, n);
  });
  if (!res.started) {
    in.result.clear();
    return fail(in, "%s: Can't run '%s' (%s)", argv[0].c_str(), line.c_str(), res.error.c_str());
  }
  if (tooLong)
    return fail(in, "%s: The output of '%s' is longer than %lld bytes", argv[0].c_str(), line.c_str(),
                static_cast<long long>(kMaxCapture));
  if (setVariable(in, argv[1], &output, true) != OK) return ERROR;
  in.result = std::to_string(res.exitCode);
  return OK;
}

// dummy ?arg ...?: does nothing; the result is empty.
int orvelCommandDummy(Interp& in, Args&, void*) {
  in.result.clear();
  return OK;
}

const CommandRegistrar reg[] = {
    {"let", orvelCommandLet},       {"swap", orvelCommandSwap},       {"setat", orvelCommandSetat},
    {"new", orvelCommandNew},       {"is_set", orvelCommandIsSet},    {"is_mod", orvelCommandIsMod},
    {"varname", orvelCommandVarname}, {"K", orvelCommandK},           {"=>", orvelCommandAssignResult},
    {"@>", orvelCommandShellCapture}, {"dummy", orvelCommandDummy},
};

}  // namespace

}  // namespace orvel
