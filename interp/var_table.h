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
  size_t size() const { return map_.size(); }
  bool empty() const { return map_.empty(); }

 private:
  std::unordered_map<std::string, VarPtr, StringHash, std::equal_to<>> map_;
  std::vector<VarPtr> shadowed_;
  uint64_t nextSeq_ = 1;
};

}  // namespace orvel
