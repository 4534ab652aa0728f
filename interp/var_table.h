// The variables of one call frame. Scripts see them as a list with the
// newest first. Records are kept in the order they were added; a small
// table is searched from the newest record back, a large one through a hash
// index of the visible names. Every change to the table gives it a new
// stamp, so that a look-up remembered together with the stamp stays valid
// exactly as long as the table is unchanged. A stamp stands for one layout
// of names: two tables share a stamp only when they hold the same names in
// the same positions (the frames of one procedure right after its
// arguments are bound), so a remembered position serves all of them.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orvel {

struct Var;
using VarPtr = std::shared_ptr<Var>;

struct StringHash {
  using is_transparent = void;
  size_t operator()(std::string_view s) const noexcept { return std::hash<std::string_view>{}(s); }
};

class VarTable;

// A variable look-up remembered as a position (or -1 for "not there")
// with the stamp of the table state it was made in.
struct VarLookupCache {
  uint64_t stamp = 0;
  int64_t index = -1;
};

// A stamp no table state has had: the layout stamp of a procedure's
// freshly bound frames.
uint64_t newLayoutStamp();

// Letters, digits and underscores only: a variable name that needs no frame
// prefix, subscript, member or indirection handling.
inline bool isPlainName(std::string_view n) {
  if (n.empty()) return false;
  for (char c : n)
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_')) return false;
  return true;
}

// A new variable record, taken from a pool of released ones when possible.
VarPtr newVarRecord();

class VarTable {
 public:
  VarTable();
  VarTable(const VarTable&) = delete;
  VarTable& operator=(const VarTable&) = delete;
  ~VarTable();

  Var* find(std::string_view name) const;
  // find, answered from cache while it was filled by this table in its
  // present state (and refilled otherwise).
  Var* findRemembered(std::string_view name, VarLookupCache& cache) const {
    if (cache.stamp != stamp_) {
      cache.stamp = stamp_;
      cache.index = name.empty() ? -1 : indexOf(name);
    }
    return cache.index < 0 ? nullptr : entries_[static_cast<size_t>(cache.index)].get();
  }
  VarPtr findPtr(std::string_view name) const;
  // Adds a record as the newest (a record of the same name is shadowed
  // until the newer one is removed).
  Var* add(VarPtr v);
  // Fills an empty table with records of distinct plain names, in order,
  // and gives it the layout stamp of that list of names.
  void bind(std::vector<VarPtr>& records, uint64_t layoutStamp);
  bool remove(Var* v);
  std::vector<Var*> list() const;  // newest first
  std::vector<VarPtr> takeAll();   // newest first; empties the table
  // Drops every record and empties the table.
  void clear();
  // True when some record (shadowed ones included) satisfies test.
  template <class F>
  bool any(F test) const {
    for (auto& v : entries_)
      if (test(v.get())) return true;
    return false;
  }
  size_t size() const;  // visible names
  bool empty() const { return entries_.empty(); }
  uint64_t stamp() const { return stamp_; }

 private:
  void changed();
  int64_t indexOf(std::string_view name) const;  // newest record of the name, or -1
  void buildIndex() const;
  // Records the newest position of a name in the index (an index that
  // would grow past half full is rebuilt from the records instead).
  void indexName(std::string_view name, uint32_t pos) const;
  static uint32_t nameHash(std::string_view name);
  void dropIndex() const {
    slots_.clear();
    names_ = 0;
    indexed_ = false;
  }
  std::vector<VarPtr> entries_;  // oldest first
  uint64_t stamp_;
  // Name -> position in entries_ of the newest record of that name, an
  // open-addressed power-of-two array of (hash, position + 1) kept at most
  // half full; built when the table grows past a few records, dropped by
  // removals.
  struct IndexSlot {
    uint32_t hash;
    uint32_t pos;  // 0: empty
  };
  mutable std::vector<IndexSlot> slots_;
  mutable size_t names_ = 0;  // distinct names in the index
  mutable bool indexed_ = false;
};

}  // namespace orvel
