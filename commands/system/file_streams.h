// Open file streams by number, shared by puts and the file commands.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "interp/interp.h"

namespace orvel {

// Writes text to an open stream; false when the handle names no open stream.
bool fileStreamWrite(int64_t handle, std::string_view text);

// A path argument as the file commands read it: unescaped while the
// backslash-escape switch is on.
std::string filePathArg(std::string_view word);

// The stream command handlers, which `file` also reaches by subcommand.
int orvelCommandOpen(Interp& in, Args& argv, void* pd);
int orvelCommandClose(Interp& in, Args& argv, void* pd);
int orvelCommandEof(Interp& in, Args& argv, void* pd);
int orvelCommandFlush(Interp& in, Args& argv, void* pd);
int orvelCommandTell(Interp& in, Args& argv, void* pd);
int orvelCommandRewind(Interp& in, Args& argv, void* pd);
int orvelCommandSeek(Interp& in, Args& argv, void* pd);
int orvelCommandGets(Interp& in, Args& argv, void* pd);
int orvelCommandRead(Interp& in, Args& argv, void* pd);

}  // namespace orvel
