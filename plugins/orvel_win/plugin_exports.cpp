// The exports the interpreter's `lib` command looks for.
#include <cstring>
#include <exception>
#include <string>

#include "commands.h"
#include "host.h"
#include "include/orvel_plugin.h"
#include "presenter.h"
#include "window.h"

namespace owin {

HostRoutines& host() {
  static HostRoutines h;
  return h;
}

void setResult(void* interp, std::string_view text) {
  if (!host().setResult || !interp) return;
  std::string s(text);  // the routine copies a NUL-terminated text
  host().setResult(interp, s.c_str(), static_cast<int>(s.size()));
}

int fail(void* interp, const std::string& message) {
  setResult(interp, message);
  return ORVEL_ERROR;
}

namespace {
template <class F>
int guarded(void* interp, const char* name, F&& body) {
  try {
    return body();
  } catch (const std::exception& e) {
    return fail(interp, std::string(name) + ": internal failure: " + e.what());
  } catch (...) {
    return fail(interp, std::string(name) + ": internal failure");
  }
}
}  // namespace

}  // namespace owin

extern "C" {

ORVEL_EXPORT int ORVEL_CDECL orvel_win_win(void* interp, int argc, char** argv, void*) {
  return owin::guarded(interp, "win", [&] { return owin::winCommand(interp, argc, argv); });
}

ORVEL_EXPORT int ORVEL_CDECL orvel_win_bellcode(void* interp, int argc, char** argv, void*) {
  return owin::guarded(interp, "bellcode", [&] { return owin::bellcodeCommand(interp, argc, argv); });
}

static const char* gCommands[] = {"win", "bellcode", nullptr};
static const char* gFunctions[] = {"orvel_win_win", "orvel_win_bellcode", nullptr};

ORVEL_EXPORT const char** ORVEL_CDECL _get_command_list(void) { return gCommands; }
ORVEL_EXPORT const char** ORVEL_CDECL _get_function_list(void) { return gFunctions; }
ORVEL_EXPORT int ORVEL_CDECL _get_export_count(void) { return 2; }
ORVEL_EXPORT int ORVEL_CDECL _get_dll_version(void) { return 100; }
ORVEL_EXPORT const char* ORVEL_CDECL _get_dll_date(void) { return __DATE__; }
ORVEL_EXPORT const char* ORVEL_CDECL _get_dll_comment(void) {
  return "Drawing window (text cells, sized and rotated text, lines, circles, boxes) and bell codes";
}
ORVEL_EXPORT void ORVEL_CDECL _lib_init(void) {}

ORVEL_EXPORT int ORVEL_CDECL _lib_cleanup(int) {
  try {
    owin::theWindow().close();
  } catch (...) {
  }
  return 0;
}

ORVEL_EXPORT int ORVEL_CDECL _export_common_routines(orvel_get_var_fn getVar, orvel_set_var_fn setVar,
                                                     orvel_string_append_fn, orvel_string_free_fn,
                                                     orvel_frame_at_level_fn, orvel_find_command_fn,
                                                     orvel_get_command_fn, orvel_split_list_fn,
                                                     orvel_free_string_array_fn, orvel_set_result_fn setResult,
                                                     orvel_alloc_fn, orvel_free_fn, orvel_get_element_fn,
                                                     orvel_set_element_fn, orvel_string_array_add_fn,
                                                     orvel_delete_var_fn, orvel_assign_fn) {
  owin::host().getVar = getVar;
  owin::host().setVar = setVar;
  owin::host().setResult = setResult;
  return setResult ? ORVEL_HOST_ROUTINE_COUNT : 0;
}

ORVEL_EXPORT int ORVEL_CDECL _pump_events(int* keys, int maxKeys) {
  try {
    owin::Window& w = owin::theWindow();
    if (!w.open() || w.headless()) return 0;
    w.presentNow();
    w.pumpEvents(0);
    if (!keys || maxKeys <= 0 || owin::keysGoToConsole()) return 0;
    return w.takeKeys(keys, maxKeys);
  } catch (...) {
    return 0;
  }
}

}  // extern "C"
