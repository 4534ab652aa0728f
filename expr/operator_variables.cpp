#include "expr/operator_variables.h"

#include <cstring>

#include "interp/struct_access.h"
#include "interp/struct_data.h"

namespace orvel {

namespace {

bool writableScalar(const Var* v) { return v->kind == VK_AUTO && !v->isConst && !v->isPointer; }

void writeMember(Var* field, std::string_view text) {
  if (!field->members) return;
  std::vector<char>& block = field->members->block;
  int64_t off = field->book[0], width = field->size;
  if (off < 0 || width <= 0 || static_cast<uint64_t>(off) >= block.size()) return;
  size_t room = block.size() - static_cast<size_t>(off);
  size_t w = static_cast<uint64_t>(width) < room ? static_cast<size_t>(width) : room;
  size_t n = text.size() < w ? text.size() : w;
  char* p = block.data() + off;
  std::memset(p, 0, w);
  if (n) std::memcpy(p, text.data(), n);
}

}  // namespace

std::string_view operandValue(Interp& in, Var* v, std::string& scratch) {
  if (!v) return {};
  if (!v->link) {
    if (v->kind != VK_FIELD && v->kind != VK_DICT) return v->value;
  } else if (v->subscript.empty()) {
    Var* t = varTarget(v);
    if (t && t->kind != VK_FIELD && t->kind != VK_DICT && t->subscript.empty()) return t->value;
  }
  readVarValue(in, v, scratch);
  return scratch;
}

bool isStructMember(Var* v) {
  Var* t = varTarget(v);
  return t && t->kind == VK_FIELD;
}

int storeOperandValue(Interp& in, Var* v, std::string_view name, std::string_view text) {
  if (!v) return OK;
  Var* t = varTarget(v);
  if (t && t->kind == VK_FIELD) {
    writeMember(t, text);
    return OK;
  }
  if (!v->isConst && t && !t->link && t->subscript.empty() && writableScalar(t)) {
    // Every record of a plain link chain carries the value.
    for (Var* p = v; p; p = p->link.get()) {
      p->value.assign(text);
      p->size = static_cast<int64_t>(text.size());
      p->assigned = true;
    }
    return OK;
  }
  std::string value(text);
  return setVariable(in, name, &value, true);
}

}  // namespace orvel
