// Variable look-up and assignment, and call frames.
#include <cstring>

#include "interp/interp.h"
#include "interp/process_state.h"
#include "interp/struct_access.h"
#include "support/hash_table.h"
#include "support/wildcard.h"

namespace orvel {

namespace {

inline bool isGlobalName(std::string_view n) { return n.size() >= 2 && n[0] == ':' && n[1] == ':'; }

// The frame a name refers to, and the name without its :: prefix.
CallFrame* frameFor(Interp& in, std::string_view& name, int scope) {
  if (isGlobalName(name)) {
    name.remove_prefix(2);
    return globalFrame(in);
  }
  return scope == -1 ? in.callFrame : globalFrame(in);
}

// The record a plain (non-element) link finally stands for.
Var* deref(Var* v) {
  int guard = 0;
  while (v && v->link && v->subscript.empty() && guard++ < 100000) v = v->link.get();
  return v;
}

VarPtr makeVar(std::string_view name, std::string_view value, int level) {
  auto v = newVarRecord();
  v->name.assign(name);
  v->value.assign(value);
  v->level = level;
  v->assigned = true;
  return v;
}

}  // namespace

Var* varTarget(Var* v) { return deref(v); }

CallFrame* globalFrame(Interp& in) { return in.globalFrame.get(); }

Var* orvelGetVar(Interp& in, std::string_view name, int scope) {
  if (!in.callFrame) {
    reportError(in, "getvar: NULL callframe at level %i in %s\r\n", in.level, procNameOf(in));
    return nullptr;
  }
  if (name.empty()) return nullptr;
  try {
    CallFrame* f = frameFor(in, name, scope);
    if (!f) return nullptr;
    Var* v = f->vars.find(name);
    if (v && v->link) {
      // A link always shows its target's current value.
      if (!v->subscript.empty()) {
        Var* arr = deref(v->link.get());
        const std::string* e = arr ? arrayElementOf(arr, v->subscript, arr->noCase) : nullptr;
        if (e) v->value = e->empty() ? std::string("{}") : *e;
      }
      // A plain link is read through varTarget, so its own copy of the
      // value is not refreshed here (that would copy long values on every
      // look-up).
    }
    return v;
  } catch (...) {
    reportException("orvelGetVar", nullptr);
    return nullptr;
  }
}

Var* getVarGlob(Interp& in, std::string_view pattern, bool nocase, int scope) {
  if (!in.callFrame) {
    reportError(in, "getVarGlob: NULL callframe at level %i in %s\r\n", in.level, procNameOf(in));
    return nullptr;
  }
  if (pattern.empty()) return nullptr;
  CallFrame* f = frameFor(in, pattern, scope);
  if (!f) return nullptr;
  if (pattern.find_first_of("*?") == std::string_view::npos && !nocase) return f->vars.find(pattern);
  for (Var* v : f->vars.list())
    if (wildMatch(pattern, v->name, nocase)) return v;
  return nullptr;
}

int set_var(Interp& in, std::string_view name, std::string_view value) {
  if (name.empty() || !in.callFrame) return 1;
  CallFrame* f = frameFor(in, name, -1);
  if (!f || name.empty()) return 1;
  Var* v = f->vars.find(name);
  if (!v) {
    f->vars.add(makeVar(name, value, f->level));
    return 0;
  }
  Var* t = deref(v);
  if (t->kind != VK_AUTO) {
    if (t->kind == VK_DICT)
      reportError(in, "set_var: Can't assign to '%s' (type %s) at level %i in %s\r\n", v->name.c_str(),
                  kindName(t->kind), frameLevel(in), procNameOf(in));
    else
      reportError(in, "set_var: Bad variable type '%s' (type %s) at level %i in %s\r\n", v->name.c_str(),
                  kindName(t->kind), frameLevel(in), procNameOf(in));
    return 1;
  }
  if (v->link && !v->subscript.empty()) {
    Var* arr = deref(v->link.get());
    if (arr && arr->table) arr->table->set(v->subscript, value.empty() ? std::string_view("{}") : value);
  } else {
    for (Var* p = v->link.get(); p; p = p->link.get()) {
      if (!p->subscript.empty()) {
        Var* arr = deref(p->link.get());
        if (arr && arr->table) arr->table->set(p->subscript, value);
        break;
      }
      p->value.assign(value);
      p->assigned = true;
      p->size = static_cast<int64_t>(value.size());
    }
  }
  v->value.assign(value);
  v->assigned = true;
  return 0;
}

int orvelSetConst(Interp& in, std::string_view name, std::string_view value, bool isStatic, bool replace) {
  std::string_view n = name;
  CallFrame* f = frameFor(in, n, -1);
  if (!f || n.empty()) return 1;
  Var* v = f->vars.find(n);
  if (v) {
    if (!replace) {
      reportError(in, "%s: Variable '%s' already exists at level %i in %s\r\n", "const",
                  std::string(name).c_str(), frameLevel(in), procNameOf(in));
      return 1;
    }
    v->value.assign(value);
    v->isConst = true;
    v->isPointer = false;
    v->isStatic = isStatic;
    v->assigned = false;
    return 0;
  }
  VarPtr nv = makeVar(n, value, f->level);
  nv->isConst = true;
  nv->isStatic = isStatic;
  nv->assigned = false;
  f->vars.add(std::move(nv));
  return 0;
}

bool readVarValue(Interp& in, Var* v, std::string& out) {
  if (!v) return false;
  if (v->link && !v->subscript.empty()) {
    Var* arr = deref(v->link.get());
    const std::string* e = arr ? arrayElementOf(arr, v->subscript, arr->noCase) : nullptr;
    out = e ? *e : v->value;
    return true;
  }
  Var* t = deref(v);
  switch (t->kind) {
    case VK_FIELD:
      return readFieldValue(in, t, out);
    case VK_DICT:
      out = dictText(t);
      return true;
    default:
      out = t->value;
      return true;
  }
}

CallFrame* frameAtLevel(Interp& in, int n) {
  if (n < 0) n = 0;
  for (CallFrame* f = in.callFrame; f; f = f->parent)
    if (f->level <= n) return f;
  return nullptr;
}

CallFrame* orvelPushCallFrame(Interp& in) {
  std::unique_ptr<CallFrame> f;
  if (!in.framePool.empty()) {
    f = std::move(in.framePool.back());
    in.framePool.pop_back();
  } else {
    f = std::make_unique<CallFrame>();
  }
  CallFrame* raw = f.release();
  raw->parent = in.callFrame;
  raw->level = in.callFrame ? in.callFrame->level + 1 : 0;
  raw->argv = nullptr;
  raw->hasProcName = false;
  raw->procName.clear();
  in.callFrame = raw;
  return raw;
}

void orvelDropCallFrame(Interp& in) {
  CallFrame* f = in.callFrame;
  if (!f || f == in.globalFrame.get()) return;
  try {
    // Structs first, so that their member variables go with them.
    auto isStruct = [](const Var* v) { return v->kind == VK_STRUCT && !v->link && v->members; };
    if (f->vars.any(isStruct)) {
      std::vector<VarPtr> structs;
      for (Var* v : f->vars.list())
        if (isStruct(v)) structs.push_back(f->vars.findPtr(v->name));
      for (VarPtr& v : structs)
        if (v && f->vars.find(v->name) == v.get()) destroyStruct(in, v.get());
    }
    f->vars.clear();
  } catch (...) {
    reportException("orvelDropCallFrame", nullptr);
  }
  in.callFrame = f->parent;
  f->parent = nullptr;
  f->argv = nullptr;
  f->procName.clear();
  f->hasProcName = false;
  if (in.framePool.size() < 64)
    in.framePool.emplace_back(f);
  else
    delete f;
}

bool orvelDeleteVar(Interp& in, std::string_view name) {
  CallFrame* f = frameFor(in, name, -1);
  if (!f) return false;
  Var* v = f->vars.find(name);
  if (!v) return false;
  return f->vars.remove(v);
}

const char* kindName(int kind) {
  static const char* const names[] = {"auto", "const", "array", "struct", "field", "pointer",
                                      "variant", "dictionary", "stack", "unknown", "list"};
  return kind >= 0 && kind <= 10 ? names[kind] : "error";
}

}  // namespace orvel
