// The variables of one call frame. Scripts see them as a list with the
// newest first; the hash index makes look-up O(1).
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace orvel {

struct Var;
using VarPtr = std::shared_ptr<Var>;

struct StringHash {
  using is_transparent = void;
  size_t operator()(std::string_view s) const noexcept { return std::hash<std::string_view>{}(s); }
};

class VarTable {
 public:
  Var* find(std::string_view name) const;
  VarPtr findPtr(std::string_view name) const;
  // Adds a record at the head of the list (a record of the same name is
  // shadowed until the frame is dropped).
  Var* add(VarPtr v);
  bool remove(Var* v);
  std::vector<Var*> list() const;  // newest first
  std::vector<VarPtr> takeAll();   // empties the table
  // Drops every record (in no particular order) and empties the table.
  void clear();
  // True when some record (shadowed ones included) satisfies test.
  template <class F>
  bool any(F test) const {
    for (auto& kv : map_)
      if (test(kv.second.get())) return true;
    for (auto& v : shadowed_)
      if (test(v.get())) return true;
    return false;
  }
  size_t size() const { return map_.size(); }
  bool empty() const { return map_.empty(); }

 private:
  void changed() {
    for (auto& e : recent_) e.var = nullptr;
  }
  std::unordered_map<std::string, VarPtr, StringHash, std::equal_to<>> map_;
  std::vector<VarPtr> shadowed_;
  uint64_t nextSeq_ = 1;
  // Recent look-ups by name, so that a loop reading the same few names
  // does not hash them on every pass. Emptied by every change to the table.
  struct Recent {
    std::string name;
    Var* var = nullptr;
  };
  mutable Recent recent_[8];
};

}  // namespace orvel
