// Array elements: the assignment and look-up rules shared by `set
// name(sub)`, the evaluator and the array commands.
#include "interp/interp.h"
#include "interp/struct_access.h"
#include "support/hash_table.h"

namespace orvel {

const std::string* arrayElementOf(Var* arr, std::string_view sub, bool noCase) {
  arr = varTarget(arr);
  if (!arr || arr->kind != VK_ARRAY || !arr->table) return nullptr;
  if (const std::string* v = arr->table->getPtr(sub)) return v;
  if (noCase || arr->noCase) {
    hash_table::node* n = arr->table->findNoCase(sub);
    if (n) return &n->value;
  }
  return nullptr;
}

const std::string* arrayGetElement(Interp& in, std::string_view arrayName, std::string_view sub, bool noCase) {
  return arrayElementOf(orvelGetVar(in, arrayName), sub, noCase);
}

int arraySetElement(Interp& in, std::string_view arrayName, std::string_view sub, std::string_view value,
                    bool noCase, bool report) {
  if (arrayName.empty() || sub.empty()) return ERROR;
  Var* v = varTarget(orvelGetVar(in, arrayName));
  if (!v) {
    if (set_var(in, arrayName, "<array>") != 0) return ERROR;
    v = varTarget(orvelGetVar(in, arrayName));
    if (!v) return ERROR;
    v->kind = VK_ARRAY;
    v->noCase = noCase;
    v->table = std::make_shared<hash_table>();
  } else if (v->link && !v->subscript.empty()) {
    return ERROR;  // a link to one element cannot hold elements itself
  } else if (v->kind == VK_AUTO && !v->isConst) {
    v->value = "<array>";
    v->kind = VK_ARRAY;
    v->noCase = noCase;
    v->table = std::make_shared<hash_table>();
  } else {
    if (v->kind == VK_ARRAY && v->isConst) {
      if (report)
        reportError(in, "Can't assign to const array '%s' at level %i in %s\r\n", v->name.c_str(), frameLevel(in),
                    procNameOf(in));
      return ERROR;
    }
    if (!v->table) return ERROR;
  }
  hash_table::node* existing = nullptr;
  if (v->noCase && !v->table->find(sub)) existing = v->table->findNoCase(sub);
  int ok = existing ? (existing->value.assign(value), 1) : v->table->set(sub, value, true);
  if (!ok) {
    if (report)
      reportError(in, "array set: Failed to update element at level %i in %s\r\n", frameLevel(in), procNameOf(in));
    return ERROR;
  }
  return OK;
}

}  // namespace orvel
