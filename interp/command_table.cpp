#include "interp/command_table.h"

#include <algorithm>

namespace orvel {

namespace {
std::vector<std::pair<const char*, Handler>>& registrars() {
  static std::vector<std::pair<const char*, Handler>> list;
  return list;
}
// Generations are unique across all tables, so a cached look-up can never
// match another interpreter's table by accident.
uint64_t nextGeneration() {
  static uint64_t counter = 1;
  return ++counter;
}
inline std::string_view stripGlobal(std::string_view name) {
  if (name.size() >= 2 && name[0] == ':' && name[1] == ':') name.remove_prefix(2);
  return name;
}
}  // namespace

CommandRegistrar::CommandRegistrar(const char* name, Handler h) { registrars().emplace_back(name, h); }

Handler builtinHandler(std::string_view name) {
  for (auto& [n, h] : registrars())
    if (name == n) return h;
  return nullptr;
}

size_t CommandTable::lowerBound(std::string_view name) const {
  // Unsigned byte order, which is what std::string_view's compare gives.
  auto it = std::lower_bound(entries_.begin(), entries_.end(), name,
                             [](const std::unique_ptr<Command>& c, std::string_view n) {
                               return std::string_view(c->name) < n;
                             });
  return static_cast<size_t>(it - entries_.begin());
}

int CommandTable::add(std::string_view name, Handler h, void* pd, int kind, std::shared_ptr<void> owner) {
  if (index_.count(name)) return DEFINED;
  auto c = std::make_unique<Command>();
  c->name.assign(name);
  c->handler = h;
  c->pd = pd;
  c->kind = kind;
  c->owner = std::move(owner);
  Command* raw = c.get();
  size_t pos = lowerBound(name);
  entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(pos), std::move(c));
  index_.emplace(std::string_view(raw->name), raw);
  generation_ = nextGeneration();
  return OK;
}

bool CommandTable::remove(std::string_view name) {
  auto it = index_.find(name);
  if (it == index_.end()) return false;
  Command* c = it->second;
  index_.erase(it);
  auto pos = std::find_if(entries_.begin(), entries_.end(),
                          [&](const std::unique_ptr<Command>& e) { return e.get() == c; });
  if (pos != entries_.end()) entries_.erase(pos);
  generation_ = nextGeneration();
  return true;
}

bool CommandTable::rename(std::string_view oldName, std::string_view newName) {
  auto it = index_.find(oldName);
  if (it == index_.end() || index_.count(newName)) return false;
  Command* c = it->second;
  index_.erase(it);
  auto pos = std::find_if(entries_.begin(), entries_.end(),
                          [&](const std::unique_ptr<Command>& e) { return e.get() == c; });
  std::unique_ptr<Command> owned = std::move(*pos);
  entries_.erase(pos);
  owned->name.assign(newName);
  size_t at = lowerBound(owned->name);
  entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(at), std::move(owned));
  index_.emplace(std::string_view(c->name), c);
  generation_ = nextGeneration();
  return true;
}

int orvelRegisterCommand(Interp& in, std::string_view name, Handler h, void* pd, int kind,
                         std::shared_ptr<void> owner) {
  if (!in.commands) return ERROR;
  try {
    return in.commands->add(name, h, pd, kind, std::move(owner));
  } catch (...) {
    return ERROR;
  }
}

Command* orvelGetCommand(Interp& in, std::string_view name) {
  if (!in.commands || name.empty()) return nullptr;
  return in.commands->find(stripGlobal(name));
}

int orvelUnregisterCommand(Interp& in, std::string_view name) {
  if (!in.commands) return 0;
  return in.commands->remove(name) ? 1 : 0;
}

int orvelRenameCommand(Interp& in, std::string_view oldName, std::string_view newName) {
  if (!in.commands) return 0;
  return in.commands->rename(oldName, newName) ? 1 : 0;
}

std::vector<Command*> orvelCommandList(Interp& in) {
  std::vector<Command*> out;
  if (!in.commands) return out;
  for (auto& c : in.commands->entries()) out.push_back(c.get());
  return out;
}

int orvelCountPrivateData(Interp& in, const void* pd) {
  int n = 0;
  if (in.commands)
    for (auto& c : in.commands->entries())
      if (c->pd == pd) n++;
  return n;
}

std::string orvelCommandNameOfHandler(Interp& in, Handler h) {
  if (in.commands)
    for (auto& c : in.commands->entries())
      if (c->handler == h) return c->name;
  return {};
}

int orvelRemoveCommandsOfHandler(Interp& in, Handler h) {
  int n = 0;
  for (;;) {
    std::string name = orvelCommandNameOfHandler(in, h);
    if (name.empty()) break;
    if (!orvelUnregisterCommand(in, name)) break;
    n++;
  }
  return n;
}

void orvelRegisterCoreCommands(Interp& in, bool withoutExit) {
  for (auto& [name, h] : registrars()) {
    if (withoutExit && std::string_view(name) == "exit") continue;
    orvelRegisterCommand(in, name, h, nullptr, 0);
  }
}

}  // namespace orvel
