// The host routines the interpreter hands the plug-in, and the small
// helpers the command handlers use to answer through them.
#pragma once
#include <string>
#include <string_view>

#include "include/orvel_plugin.h"

namespace owin {

struct HostRoutines {
  orvel_set_result_fn setResult = nullptr;
  orvel_get_var_fn getVar = nullptr;
  orvel_set_var_fn setVar = nullptr;
};
HostRoutines& host();

// Sets the interpreter result (nothing happens before the routines came).
void setResult(void* interp, std::string_view text);
// Sets the result to the message and returns ORVEL_ERROR.
int fail(void* interp, const std::string& message);

}  // namespace owin
