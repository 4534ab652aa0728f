// lappend: grows a list variable in place.
#include "commands/core/list_common.h"
#include "interp/interp.h"
#include "interp/process_state.h"
#include "interp/struct_access.h"
#include "platform/console.h"

namespace orvel {

namespace {

// The text lappend adds for its values, each after one blank (none before
// the first when the variable is empty).
std::string appendedText(const Args& argv, bool startsEmpty) {
  std::string add;
  for (size_t i = 2; i < argv.size(); i++) lists::appendBraced(add, argv[i]);
  if (!startsEmpty) add.insert(add.begin(), ' ');
  return add;
}

// The record a name stands for in its frame, without the copy of the value
// that a read through a link makes (appending must not cost the whole list).
Var* findPlain(Interp& in, std::string_view name) {
  CallFrame* f = in.callFrame;
  if (name.size() >= 2 && name[0] == ':' && name[1] == ':') {
    name.remove_prefix(2);
    f = globalFrame(in);
  }
  return f && !name.empty() ? f->vars.find(name) : nullptr;
}

int refuse(Interp& in, const std::string& name) {
  in.result.clear();
  return fail(in, "lappend: Can't lappend to existing var type in %s", name.c_str());
}

// lappend name(sub) ...: the element is read, extended and stored again.
int appendToElement(Interp& in, Args& argv, size_t open) {
  const std::string& name = argv[1];
  std::string arr = name.substr(0, open);
  std::string sub = name.substr(open + 1, name.size() - open - 2);
  std::string value;
  if (const std::string* e = arrayGetElement(in, arr, sub)) value = *e;
  value += appendedText(argv, value.empty());
  if (setVariable(in, name, &value, true) != OK) {
    in.result.clear();
    return ERROR;
  }
  in.result = std::move(value);
  return OK;
}

int orvelCommandLappend(Interp& in, Args& argv, void*) {
  const bool unused = in.resultUnused;
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  const std::string& name = argv[1];
  size_t open = name.find('(');
  if (open != std::string::npos && open > 0 && name.back() == ')') return appendToElement(in, argv, open);

  Var* v = findPlain(in, name);
  if (!v) {
    if (set_var(in, name, "") != 0 || !(v = findPlain(in, name))) {
      if (ps().debug || ps().verbose) plat::writeOut(strprintf("lappend: variable '%s' does not exist\r\n", name.c_str()));
      in.result.clear();
      return ERROR;
    }
  }
  if (v->link && !v->subscript.empty()) {
    // A link to one array element: the element itself is extended.
    Var* arr = varTarget(v->link.get());
    const std::string* e = arr ? arrayElementOf(arr, v->subscript, arr->noCase) : nullptr;
    std::string value = e ? *e : std::string();
    value += appendedText(argv, value.empty());
    if (setVariable(in, name, &value, true) != OK) {
      in.result.clear();
      return ERROR;
    }
    in.result = std::move(value);
    return OK;
  }
  Var* t = varTarget(v);
  if (!t || t->kind != VK_AUTO || t->isConst || v->isConst || t->isPointer) return refuse(in, name);

  const size_t oldSize = t->value.size();
  if (v == t) {
    // No links: the elements go straight onto the value.
    for (size_t i = 2; i < argv.size(); i++) lists::appendBraced(t->value, argv[i]);
    t->size = static_cast<int64_t>(t->value.size());
    t->assigned = true;
    if (unused) in.result.clear();
    else in.result = t->value;
    return OK;
  }
  const std::string add = appendedText(argv, t->value.empty());
  t->value += add;
  t->size = static_cast<int64_t>(t->value.size());
  t->assigned = true;
  // Links on the way keep a copy of the value they show.
  for (Var* p = v; p && p != t; p = p->link.get()) {
    if (p->value.size() == oldSize) p->value += add;
    else p->value = t->value;
    p->size = t->size;
    p->assigned = true;
  }
  // The new list is the result, unless the evaluator knows nothing reads it
  // (copying it on every call would make a run of appends quadratic).
  if (unused) in.result.clear();
  else in.result = t->value;
  return OK;
}

const CommandRegistrar kRegs[] = {{"lappend", orvelCommandLappend}};

}  // namespace
}  // namespace orvel
