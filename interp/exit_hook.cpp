#include "interp/exit_hook.h"

namespace orvel {

namespace {
ExitHook g_hook = nullptr;
}

void setExitHook(ExitHook hook) { g_hook = hook; }

void orvelExitRequested(Interp& in) {
  if (g_hook) g_hook(in);
}

}  // namespace orvel
