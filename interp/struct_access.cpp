#include "interp/struct_access.h"

#include <cstring>

#include "interp/struct_data.h"
#include "support/hash_table.h"

namespace orvel {

namespace {

std::string_view withoutGlobalPrefix(std::string_view s) {
  if (s.size() >= 2 && s[0] == ':' && s[1] == ':') s.remove_prefix(2);
  return s;
}

// The struct variable named before the first '.' of a dotted name, and the
// text after that '.'.
Var* structOfDottedName(Interp& in, std::string_view name, std::string_view& member) {
  std::string_view full = withoutGlobalPrefix(name);
  size_t dot = full.find('.');
  if (dot == std::string_view::npos || dot == 0) return nullptr;
  std::string_view structName = name.substr(0, name.size() - full.size() + dot);
  member = full.substr(dot + 1);
  Var* s = varTarget(orvelGetVar(in, structName));
  return s && s->kind == VK_STRUCT && s->members ? s : nullptr;
}

// The byte range of a field inside its block; false when the field has no
// live block.
bool fieldRange(const Var* field, size_t& offset, size_t& width) {
  if (!field || !field->members) return false;
  const std::vector<char>& block = field->members->block;
  int64_t off = field->book[0], w = field->size;
  if (off < 0 || w <= 0 || static_cast<uint64_t>(off) >= block.size()) return false;
  offset = static_cast<size_t>(off);
  size_t room = block.size() - offset;
  width = static_cast<uint64_t>(w) < room ? static_cast<size_t>(w) : room;
  return true;
}

}  // namespace

bool readFieldValue(Interp&, Var* field, std::string& out) {
  out.clear();
  if (!field || !field->members) return false;
  size_t off = 0, width = 0;
  if (!fieldRange(field, off, width)) return true;  // the struct was released
  const char* p = field->members->block.data() + off;
  const void* zero = std::memchr(p, 0, width);
  out.assign(p, zero ? static_cast<size_t>(static_cast<const char*>(zero) - p) : width);
  return true;
}

bool writeFieldValue(Var* field, std::string_view value) {
  size_t off = 0, width = 0;
  if (!field || field->kind != VK_FIELD || !fieldRange(field, off, width)) return false;
  char* p = field->members->block.data() + off;
  size_t n = value.size() < width ? value.size() : width;
  std::memset(p, 0, width);
  if (n) std::memcpy(p, value.data(), n);
  return true;
}

void destroyStruct(Interp& in, Var* structVar) {
  if (!structVar || !structVar->members) return;
  std::shared_ptr<StructData> data = structVar->members;
  std::vector<VarPtr> members;
  members.reserve(data->members.size());
  for (auto& w : data->members)
    if (VarPtr m = w.lock()) members.push_back(std::move(m));
  // Members live in the struct's frame; each is removed from the first
  // frame of the chain that holds it.
  for (const VarPtr& m : members)
    for (CallFrame* f = in.callFrame; f; f = f->parent)
      if (f->vars.remove(m.get())) break;
  data->members.clear();
  data->block.clear();
  data->block.shrink_to_fit();
  // The record may be freed by its removal: it is not touched afterwards.
  for (CallFrame* f = in.callFrame; f; f = f->parent)
    if (f->vars.remove(structVar)) break;
}

Var* structMemberOf(Var* structVar, std::string_view member) {
  if (!structVar || !structVar->members) return nullptr;
  const StructData& data = *structVar->members;
  if (data.memberKeys.size() == data.members.size()) {
    // The first member whose key matches and whose variable still exists
    // under that name; anything else takes the full walk below.
    bool sure = true;
    for (size_t i = 0; i < data.memberKeys.size(); i++) {
      if (data.memberKeys[i].key != member) continue;
      Var* m = data.members[i].expired() ? nullptr : data.memberKeys[i].var;
      if (!m) {
        sure = false;
        break;
      }
      std::string_view mn = m->name;
      size_t dot = mn.find('.');
      if (dot != std::string_view::npos && mn.substr(dot + 1) == member) return m;
      sure = false;
      break;
    }
    if (sure) return nullptr;
  }
  for (auto& w : data.members) {
    VarPtr m = w.lock();
    if (!m) continue;
    std::string_view mn = m->name;
    size_t dot = mn.find('.');
    if (dot != std::string_view::npos && mn.substr(dot + 1) == member) return m.get();
  }
  return nullptr;
}

bool structMemberByName(Interp& in, std::string_view name, std::string& out) {
  std::string_view member;
  Var* m = structMemberOf(structOfDottedName(in, name, member), member);
  return m && readFieldValue(in, m, out);
}

Var* structMemberVar(Interp& in, std::string_view name) {
  Var* v = orvelGetVar(in, name);
  if (v) {
    Var* t = varTarget(v);
    return t && t->kind == VK_FIELD ? t : nullptr;
  }
  std::string_view member;
  return structMemberOf(structOfDottedName(in, name, member), member);
}

bool usableStruct(const Var* v) {
  return v && v->kind == VK_STRUCT && v->members && !v->members->block.empty() && v->size > 0;
}

std::string dictText(Var* dict) {
  std::string out;
  if (!dict || !dict->table) return out;
  auto quote = [&](std::string_view s) {
    if (s.empty()) out += "{}";
    else if (s.find_first_of(" \t") != std::string_view::npos) {
      out += '{';
      out += s;
      out += '}';
    } else {
      out += s;
    }
  };
  bool first = true;
  dict->table->forEach([&](const hash_table::node& n) {
    if (!first) out += ' ';
    first = false;
    quote(n.key());
    out += ' ';
    quote(n.value);
  });
  return out;
}

}  // namespace orvel
