#include "interp/var_table.h"

#include <algorithm>
#include <cstring>

#include "interp/interp.h"

namespace orvel {

namespace {

// Every table change takes the next number, so no two states of any tables
// share a stamp.
uint64_t g_nextStamp = 1;

constexpr size_t kIndexFrom = 12;  // records before a table gets a hash index

// Released records without other owners, ready for reuse (a procedure call
// then binds its arguments without allocating).
// Never destroyed: tables of interpreters that outlive static destruction
// may still hand records back.
struct VarPool {
  std::vector<VarPtr> free;
};
VarPool* g_pool = nullptr;
VarPool& pool() {
  if (!g_pool) g_pool = new VarPool;
  return *g_pool;
}

// Back to a new record's state; the shared parts are already empty (only
// such records are kept).
void resetVar(Var& v) {
  v.value.clear();
  v.name.clear();
  v.kind = VK_AUTO;
  v.size = 0;
  v.isPointer = false;
  v.isConst = false;
  v.isStatic = false;
  v.noCase = false;
  v.book[0] = v.book[1] = v.book[2] = v.book[3] = 0;
  v.level = 0;
  v.assigned = false;
  if (!v.subscript.empty()) v.subscript.clear();
  v.seq = 0;
}

void release(VarPtr& v) {
  auto& free = pool().free;
  // Only plain records with no other owner; long values are not worth
  // keeping around.
  if (v && v.use_count() == 1 && free.size() < 256 && v->value.capacity() <= 256 && !v->members && !v->table &&
      !v->stack && !v->link) {
    resetVar(*v);
    free.push_back(std::move(v));
    return;
  }
  v.reset();
}

}  // namespace

VarPtr newVarRecord() {
  auto& free = pool().free;
  if (!free.empty()) {
    VarPtr v = std::move(free.back());
    free.pop_back();
    return v;
  }
  return std::make_shared<Var>();
}

uint64_t newLayoutStamp() { return g_nextStamp++; }

VarTable::VarTable() : stamp_(g_nextStamp++) {}

VarTable::~VarTable() { clear(); }

void VarTable::changed() { stamp_ = g_nextStamp++; }

size_t VarTable::size() const {
  if (entries_.size() < 2) return entries_.size();
  if (!indexed_) buildIndex();
  return names_;
}

uint32_t VarTable::nameHash(std::string_view name) {
  uint32_t h = 2166136261u;
  for (unsigned char c : name) h = (h ^ c) * 16777619u;
  return h;
}

void VarTable::buildIndex() const {
  size_t cap = 32;
  while (cap < entries_.size() * 2 + 2) cap *= 2;
  slots_.assign(cap, IndexSlot{0, 0});
  names_ = 0;
  indexed_ = true;
  for (size_t i = 0; i < entries_.size(); i++) indexName(entries_[i]->name, static_cast<uint32_t>(i));
}

void VarTable::indexName(std::string_view name, uint32_t pos) const {
  if ((names_ + 1) * 2 > slots_.size()) {
    buildIndex();  // the record at pos is already in entries_
    return;
  }
  const uint32_t h = nameHash(name);
  const size_t mask = slots_.size() - 1;
  for (size_t i = h & mask;; i = (i + 1) & mask) {
    IndexSlot& s = slots_[i];
    if (s.pos == 0) {
      s = IndexSlot{h, pos + 1};
      ++names_;
      return;
    }
    if (s.hash == h && entries_[s.pos - 1]->name == name) {
      s.pos = pos + 1;
      return;
    }
  }
}

int64_t VarTable::indexOf(std::string_view name) const {
  const size_t n = entries_.size();
  if (n < kIndexFrom && !indexed_) {
    for (size_t i = n; i-- > 0;) {
      const std::string& k = entries_[i]->name;
      if (k.size() == name.size() && std::memcmp(k.data(), name.data(), name.size()) == 0)
        return static_cast<int64_t>(i);
    }
    return -1;
  }
  if (!indexed_) buildIndex();
  const uint32_t h = nameHash(name);
  const size_t mask = slots_.size() - 1;
  for (size_t i = h & mask;; i = (i + 1) & mask) {
    const IndexSlot& s = slots_[i];
    if (s.pos == 0) return -1;
    if (s.hash == h && entries_[s.pos - 1]->name == name) return static_cast<int64_t>(s.pos - 1);
  }
}

Var* VarTable::find(std::string_view name) const {
  if (name.empty()) return nullptr;
  int64_t i = indexOf(name);
  return i < 0 ? nullptr : entries_[static_cast<size_t>(i)].get();
}

VarPtr VarTable::findPtr(std::string_view name) const {
  if (name.empty()) return nullptr;
  int64_t i = indexOf(name);
  return i < 0 ? nullptr : entries_[static_cast<size_t>(i)];
}

Var* VarTable::add(VarPtr v) {
  changed();
  Var* raw = v.get();
  entries_.push_back(std::move(v));
  if (indexed_) indexName(raw->name, static_cast<uint32_t>(entries_.size() - 1));
  return raw;
}

void VarTable::bind(std::vector<VarPtr>& records, uint64_t layoutStamp) {
  if (!entries_.empty()) {  // not a fresh table: add one by one
    for (VarPtr& v : records) add(std::move(v));
    records.clear();
    return;
  }
  for (VarPtr& v : records) entries_.push_back(std::move(v));
  records.clear();
  dropIndex();
  stamp_ = layoutStamp;
}

bool VarTable::remove(Var* v) {
  if (!v) return false;
  for (size_t i = entries_.size(); i-- > 0;) {
    if (entries_[i].get() != v) continue;
    changed();
    VarPtr gone = std::move(entries_[i]);
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(i));
    // Positions after the removed record moved: the index is rebuilt on
    // the next look-up of a large table.
    dropIndex();
    release(gone);
    return true;
  }
  return false;
}

std::vector<Var*> VarTable::list() const {
  std::vector<Var*> out;
  out.reserve(entries_.size());
  for (size_t i = entries_.size(); i-- > 0;) out.push_back(entries_[i].get());
  return out;
}

void VarTable::clear() {
  changed();
  // Newest first, as the records were listed.
  for (size_t i = entries_.size(); i-- > 0;) release(entries_[i]);
  entries_.clear();
  dropIndex();
}

std::vector<VarPtr> VarTable::takeAll() {
  changed();
  std::vector<VarPtr> out;
  out.reserve(entries_.size());
  for (size_t i = entries_.size(); i-- > 0;) out.push_back(std::move(entries_[i]));
  entries_.clear();
  dropIndex();
  return out;
}

}  // namespace orvel
