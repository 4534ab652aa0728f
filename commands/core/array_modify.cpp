// Array subcommands that change a whole array: create (and `dim`), trim,
// swap and unset.
#include "commands/core/array_common.h"
#include "expr/numbers.h"
#include "interp/struct_access.h"

namespace orvel {

namespace arrays {

namespace {

bool isOption(const std::string& w) { return !w.empty() && w[0] == '-'; }

int refuseConst(Interp& in, Var* v) {
  in.result.clear();
  return fail(in, "Can't assign to const array '%s'", v->name.c_str());
}

// Makes name an empty array with the given bucket count.
int dimArray(Interp& in, const char* cmd, const std::string& name, int64_t size) {
  in.result.clear();
  if (Var* v = varTarget(orvelGetVar(in, name))) {
    if (v->kind == VK_ARRAY) return fail(in, "%s: Array '%s' already exists", cmd, name.c_str());
    return ERROR;
  }
  if (!createArray(in, name, size < 1 ? 1 : size)) return ERROR;
  return OK;
}

// Removes a record from whichever frame of the chain holds it.
void removeRecord(Interp& in, Var* v) {
  for (CallFrame* f = in.callFrame; f; f = f->parent)
    if (f->vars.remove(v)) return;
}

// Frees the array's table, makes it a plain variable and removes it (and
// the link it was reached through).
void removeArray(Interp& in, Var* rec, Var* target) {
  target->table.reset();
  target->kind = VK_AUTO;
  target->value.clear();
  target->noCase = false;
  target->isConst = false;
  if (rec == target) {
    removeRecord(in, target);
    return;
  }
  // The link may be the last owner of its target: hold the target until
  // both records are out of their frames.
  VarPtr keep = rec->link;
  for (int guard = 0; keep && keep.get() != target && keep->link && guard < 100000; guard++) keep = keep->link;
  if (keep.get() != target) return;
  removeRecord(in, rec);
  removeRecord(in, target);
}

}  // namespace

int arrayCreate(Interp& in, Args& argv, const ArrayOptions&) {
  int64_t size = 1;
  for (size_t i = 3; i < argv.size(); i++)
    if (!isOption(argv[i])) {
      size = toInt64(argv[i]);
      break;
    }
  if (size <= 0) {
    in.result.clear();
    return fail(in, "%s create: size <=0 (try: array set)", argv[0].c_str());
  }
  return dimArray(in, argv[0].c_str(), argv[2], size);
}

int arrayTrim(Interp& in, Args& argv, const ArrayOptions&) {
  Var* v = findArray(in, argv[2]);
  if (!v || !v->table) {
    in.result.clear();
    return fail(in, "%s %s: Invalid array", argv[0].c_str(), argv[1].c_str());
  }
  if (v->isConst) return refuseConst(in, v);
  std::string_view chars = " \t";
  int mode = 0;
  bool charsGiven = false;
  for (size_t i = 3; i < argv.size(); i++) {
    const std::string& w = argv[i];
    if (w == "-left") {
      if (mode == 0) mode = 1;
    } else if (w == "-right") {
      if (mode == 0) mode = 2;
    } else if (!isOption(w) && !charsGiven) {
      chars = w;
      charsGiven = true;
    }
  }
  v->table->trimValues(chars, mode);
  in.result.clear();
  return OK;
}

int arraySwap(Interp& in, Args& argv, const ArrayOptions& o) {
  Var* v = argv.size() >= 5 ? findArray(in, argv[2]) : nullptr;
  if (!v || !v->table) {
    in.result.clear();
    reportError(in, "%s %s: Syntax error\r\n", argv[0].c_str(), argv[1].c_str());
    return ERROR;
  }
  hash_table::node* a = elementNode(v, argv[3], o.nocase);
  hash_table::node* b = elementNode(v, argv[4], o.nocase);
  if (!a || !b) {
    in.result.clear();
    return fail(in, "%s %s: Subscript '%s' not found in %s", argv[0].c_str(), argv[1].c_str(),
                (a ? argv[4] : argv[3]).c_str(), argv[2].c_str());
  }
  if (v->isConst) return refuseConst(in, v);
  a->value.swap(b->value);
  const bool aHas = a->hasValue;
  a->hasValue = b->hasValue;
  b->hasValue = aHas;
  in.result = "1";
  return OK;
}

int arrayUnset(Interp& in, Args& argv, const ArrayOptions& o) {
  bool allowConst = false;
  for (size_t i = 3; i < argv.size(); i++)
    if (argv[i] == "-const") allowConst = true;
  auto stop = [&](int code) {
    in.result = "0";
    return code;
  };
  int64_t removed = 0;
  for (size_t i = 2; i < argv.size(); i++) {
    const std::string& w = argv[i];
    if (isOption(w)) continue;
    size_t open = w.find('(');
    if (open != std::string::npos) {
      size_t close = w.find(')', open);
      if (close == std::string::npos || close < open + 2)
        return stop(fail(in, "%s %s: %s Syntax error", argv[0].c_str(), argv[1].c_str(), w.c_str()));
      Var* arr = findArray(in, std::string_view(w).substr(0, open));
      hash_table::node* n = elementNode(arr, std::string_view(w).substr(open + 1, close - open - 1), o.nocase);
      if (n && !arr->isConst) {
        std::string key(n->key());
        arr->table->remove(key);
        removed++;
        continue;
      }
      if (o.nocomplain) continue;
      return stop(fail(in, "%s %s: Error unsetting array element '%s'", argv[0].c_str(), argv[1].c_str(),
                       w.c_str()));
    }
    Var* rec = orvelGetVar(in, w);
    Var* target = varTarget(rec);
    if (!target || target->kind != VK_ARRAY) {
      if (debugOrVerbose() && !o.nocomplain)
        return stop(fail(in, "%s %s: No such array '%s'", argv[0].c_str(), argv[1].c_str(), w.c_str()));
      continue;
    }
    if (target->isStatic || rec->isStatic) {
      // A static array is never removed, not even with -const.
      if (o.nocomplain) continue;
      return stop(quietFail(in, false, "%s: Static variable '%s' is protected", argv[0].c_str(), w.c_str()));
    }
    if ((target->isConst || rec->isConst) && !allowConst) {
      // A protected array is never emptied without -const.
      if (o.nocomplain) continue;
      return stop(quietFail(in, false, "%s: Can't unset a const '%s'", argv[0].c_str(), w.c_str()));
    }
    removeArray(in, rec, target);
    removed++;
  }
  in.result = intText(removed);
  return OK;
}

}  // namespace arrays

namespace {

int orvelCommandDim(Interp& in, Args& argv, void*) {
  if (argv.size() != 3) return wrongNumArgs(in, argv);
  return arrays::dimArray(in, argv[0].c_str(), argv[1], toInt64(argv[2]));
}

const CommandRegistrar kRegs[] = {{"dim", orvelCommandDim}};

}  // namespace
}  // namespace orvel
