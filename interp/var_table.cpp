#include "interp/var_table.h"

#include <algorithm>
#include <cstring>

#include "interp/interp.h"

namespace orvel {

Var* VarTable::find(std::string_view name) const {
  if (name.empty()) return nullptr;
  Recent& r = recent_[(name.size() * 7 + static_cast<unsigned char>(name[0]) +
                       static_cast<unsigned char>(name.back())) & 7];
  if (r.var && r.name.size() == name.size() && std::memcmp(r.name.data(), name.data(), name.size()) == 0)
    return r.var;
  auto it = map_.find(name);
  if (it == map_.end()) return nullptr;
  if (name.size() <= 15) {  // short names only: keeping them costs no allocation
    r.name.assign(name);
    r.var = it->second.get();
  }
  return it->second.get();
}

VarPtr VarTable::findPtr(std::string_view name) const {
  auto it = map_.find(name);
  return it == map_.end() ? nullptr : it->second;
}

Var* VarTable::add(VarPtr v) {
  changed();
  v->seq = nextSeq_++;
  Var* raw = v.get();
  auto it = map_.find(std::string_view(v->name));
  if (it != map_.end()) {
    shadowed_.push_back(std::move(it->second));
    it->second = std::move(v);
  } else {
    std::string key = v->name;
    map_.emplace(std::move(key), std::move(v));
  }
  return raw;
}

bool VarTable::remove(Var* v) {
  if (!v) return false;
  changed();
  auto it = map_.find(std::string_view(v->name));
  if (it != map_.end() && it->second.get() == v) {
    // A shadowed record of the same name becomes visible again.
    auto sh = std::find_if(shadowed_.rbegin(), shadowed_.rend(),
                           [&](const VarPtr& p) { return p->name == v->name; });
    if (sh != shadowed_.rend()) {
      it->second = std::move(*sh);
      shadowed_.erase(std::next(sh).base());
    } else {
      map_.erase(it);
    }
    return true;
  }
  auto sh = std::find_if(shadowed_.begin(), shadowed_.end(),
                         [&](const VarPtr& p) { return p.get() == v; });
  if (sh != shadowed_.end()) {
    shadowed_.erase(sh);
    return true;
  }
  return false;
}

std::vector<Var*> VarTable::list() const {
  std::vector<Var*> out;
  out.reserve(map_.size() + shadowed_.size());
  for (auto& [k, v] : map_) out.push_back(v.get());
  for (auto& v : shadowed_) out.push_back(v.get());
  std::sort(out.begin(), out.end(), [](Var* a, Var* b) { return a->seq > b->seq; });
  return out;
}

void VarTable::clear() {
  changed();
  map_.clear();
  shadowed_.clear();
}

std::vector<VarPtr> VarTable::takeAll() {
  changed();
  std::vector<VarPtr> out;
  out.reserve(map_.size() + shadowed_.size());
  for (auto& [k, v] : map_) out.push_back(std::move(v));
  for (auto& v : shadowed_) out.push_back(std::move(v));
  map_.clear();
  shadowed_.clear();
  std::sort(out.begin(), out.end(), [](const VarPtr& a, const VarPtr& b) { return a->seq > b->seq; });
  return out;
}

}  // namespace orvel
