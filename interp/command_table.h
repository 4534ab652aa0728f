// The command table: entries kept in ascending byte order of their names,
// with a hash index for look-up.
#pragma once
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "interp/interp.h"

namespace orvel {

// The handler a built-in command registered itself with, or null.
Handler builtinHandler(std::string_view name);

class CommandTable {
 public:
  Command* find(std::string_view name) const {
    auto it = index_.find(name);
    return it == index_.end() ? nullptr : it->second;
  }
  // DEFINED when the name exists, OK after adding.
  int add(std::string_view name, Handler h, void* pd, int kind, std::shared_ptr<void> owner);
  bool remove(std::string_view name);
  bool rename(std::string_view oldName, std::string_view newName);
  const std::vector<std::unique_ptr<Command>>& entries() const { return entries_; }
  size_t size() const { return entries_.size(); }
  void clear() {
    index_.clear();
    entries_.clear();
  }
  // Bumped on every change, so cached look-ups can tell they are stale.
  uint64_t generation() const { return generation_; }

 private:
  size_t lowerBound(std::string_view name) const;
  std::vector<std::unique_ptr<Command>> entries_;
  std::unordered_map<std::string_view, Command*> index_;  // keys view the entries' names
  uint64_t generation_ = 0;
};

}  // namespace orvel
