#include "interp/struct_access.h"

#include "interp/struct_data.h"
#include "support/hash_table.h"

namespace orvel {

bool readFieldValue(Interp&, Var* field, std::string& out) {
  out.clear();
  if (!field || !field->members) return false;
  const auto& block = field->members->block;
  int64_t off = field->book[0], width = field->size;
  if (off < 0 || width <= 0 || static_cast<size_t>(off) > block.size()) return true;
  for (int64_t i = 0; i < width && static_cast<size_t>(off + i) < block.size(); i++) {
    char c = block[static_cast<size_t>(off + i)];
    if (c == '\0') break;
    out += c;
  }
  return true;
}

void destroyStruct(Interp& in, Var* structVar) {
  if (!structVar || !structVar->members) return;
  std::shared_ptr<StructData> data = structVar->members;
  CallFrame* frame = nullptr;
  for (CallFrame* f = in.callFrame; f && !frame; f = f->parent)
    if (f->vars.find(structVar->name) == structVar) frame = f;
  if (frame) {
    for (auto& w : data->members)
      if (auto m = w.lock()) frame->vars.remove(m.get());
    frame->vars.remove(structVar);
  }
  data->members.clear();
  data->block.clear();
}

bool structMemberByName(Interp& in, std::string_view name, std::string& out) {
  std::string_view full = name;
  if (full.size() >= 2 && full[0] == ':' && full[1] == ':') full.remove_prefix(2);
  size_t dot = full.find('.');
  if (dot == std::string_view::npos || dot == 0) return false;
  std::string structName(name.substr(0, name.size() - full.size() + dot));
  Var* s = orvelGetVar(in, structName);
  s = varTarget(s);
  if (!s || s->kind != VK_STRUCT || !s->members) return false;
  for (auto& w : s->members->members) {
    auto m = w.lock();
    if (!m) continue;
    std::string_view mn = m->name;
    if (mn.size() >= 2 && mn[0] == ':' && mn[1] == ':') mn.remove_prefix(2);
    if (mn == full) return readFieldValue(in, m.get(), out);
  }
  return false;
}

std::string dictText(Var* dict) {
  std::string out;
  if (!dict || !dict->table) return out;
  auto quote = [&](const std::string& s) {
    if (s.empty()) out += "{}";
    else if (s.find_first_of(" \t") != std::string::npos) {
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
    quote(n.key);
    out += ' ';
    quote(n.value);
  });
  return out;
}

}  // namespace orvel
