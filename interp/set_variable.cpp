// The core of `set`: element, read and write forms.
#include "interp/interp.h"
#include "interp/list_text.h"
#include "interp/struct_access.h"
#include "support/hash_table.h"

namespace orvel {

namespace {
void clearDictionary(Var* v) {
  v->table.reset();
  v->kind = VK_AUTO;
  v->value.clear();
  v->subscript.clear();
}
}  // namespace

int setVariable(Interp& in, std::string_view name, const std::string* value, bool report) {
  auto failMsg = [&](const char* fmt, auto... args) {
    if (report) fail(in, fmt, args...);
    return ERROR;
  };
  std::string nm(name);
  size_t open = name.find('(');
  size_t close = open == std::string_view::npos ? std::string_view::npos : name.find(')', open);
  if (open != std::string_view::npos && close != std::string_view::npos) {
    std::string_view arr = name.substr(0, open);
    std::string_view sub = name.substr(open + 1, close - open - 1);
    if (sub.empty()) return failMsg("%s: Syntax error '%s'", "set", nm.c_str());
    if (Var* v = varTarget(orvelGetVar(in, arr))) {
      if (v->kind != VK_ARRAY && v->kind != VK_AUTO)
        return failMsg("%s: Variable '%s' can't store an array", "set", std::string(arr).c_str());
    }
    if (sub.size() >= 2 && sub.front() == '"' && sub.back() == '"') sub = sub.substr(1, sub.size() - 2);
    std::string key;
    key.reserve(sub.size());
    for (size_t i = 0; i < sub.size(); i++) {
      if (sub[i] == '\\' && i + 1 < sub.size() && sub[i + 1] == ' ') {
        key += ' ';
        i++;
      } else {
        key += sub[i];
      }
    }
    if (value) {
      int code = arraySetElement(in, arr, key, *value, false, report);
      if (code == OK)
        in.result = *value;
      else
        in.result.clear();
      return code;
    }
    const std::string* e = arrayGetElement(in, arr, key);
    if (!e) {
      in.result.clear();
      return failMsg("%s: No such array element %s(%s)", "set", std::string(arr).c_str(), key.c_str());
    }
    in.result = *e;
    return OK;
  }

  Var* v = orvelGetVar(in, name);
  if (!value) {
    if (!v) {
      if (name.find('.') != std::string_view::npos) {
        std::string out;
        if (structMemberByName(in, name, out)) {
          in.result = std::move(out);
          return OK;
        }
      }
      in.result.clear();
      return failMsg("%s: Variable '%s' not found", "set", nm.c_str());
    }
    Var* t = varTarget(v);
    if (v->link && !v->subscript.empty()) {
      readVarValue(in, v, in.result);
      return OK;
    }
    switch (t->kind) {
      case VK_AUTO:
        if (t->isPointer) in.result.clear();
        else in.result = t->value;
        return OK;
      case VK_FIELD:
        readFieldValue(in, t, in.result);
        return OK;
      case VK_STRUCT:
        in.result = "<struct>";
        return OK;
      case VK_DICT:
        in.result = dictText(t);
        return OK;
      default:
        in.result.clear();
        return OK;
    }
  }

  if (!v) {
    if (set_var(in, name, *value) != 0) {
      in.result.clear();
      return ERROR;
    }
    in.result = *value;
    return OK;
  }
  Var* t = varTarget(v);
  if (v->link && !v->subscript.empty()) {
    Var* arr = varTarget(v->link.get());
    if (arr && arr->table) arr->table->set(v->subscript, *value);
    v->value = *value;
    return OK;
  }
  if (t->kind == VK_DICT) clearDictionary(t);
  if (t->kind == VK_AUTO && !t->isPointer && !t->isConst && !v->isConst) {
    for (Var* p = v; p; p = p->link.get()) {
      p->value = *value;
      p->size = static_cast<int64_t>(value->size());
      p->assigned = true;
      if (!p->subscript.empty()) break;
    }
    in.result = *value;
    return OK;
  }
  in.result.clear();
  return failMsg("%s: Variable '%s', object type '%s' not handled", "set", nm.c_str(),
                 (v->isConst || t->isConst) ? "const" : kindName(t->kind));
}

int setVariableRemembered(Interp& in, std::string_view name, const std::string& value, VarLookupCache& cache) {
  // Only plain names are remembered; the others keep every rule of set.
  if (in.callFrame->vars.stamp() != cache.stamp) {
    if (!isPlainName(name)) return setVariable(in, name, &value, true);
  }
  Var* v = in.callFrame->vars.findRemembered(name, cache);
  if (!v || v->link || v->kind != VK_AUTO || v->isPointer || v->isConst) return setVariable(in, name, &value, true);
  v->value = value;
  v->size = static_cast<int64_t>(value.size());
  v->assigned = true;
  in.result = value;
  return OK;
}

}  // namespace orvel
