// The host side of the plug-in calling interface: the command handler that
// calls a plug-in's exported command function, and the 17 host routines a
// plug-in receives through _export_common_routines.
#pragma once
#include <memory>
#include <string>

#include "include/orvel_plugin.h"
#include "interp/interp.h"

namespace orvel {

// Private data of a plug-in command. alive is shared with the loaded module
// and cleared when the module is unloaded, so a command left behind in
// another interpreter fails cleanly instead of calling unmapped code.
struct PluginCommand {
  orvel_command_fn fn = nullptr;
  std::shared_ptr<bool> alive;
  std::string module;
};

// The handler of every plug-in command; pd is a PluginCommand.
int pluginCommandHandler(Interp& in, Args& argv, void* pd);

// The export function behind a command, or null for other commands.
orvel_command_fn pluginFunctionOf(const Command& c);

// Calls a plug-in's _export_common_routines with the host routines and
// returns what it returns.
int exportHostRoutines(orvel_export_common_routines_fn fn);

}  // namespace orvel
