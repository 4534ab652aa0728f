// Calls the plug-in's exports as the interpreter does, with a stand-in for
// the host's result routine.
#pragma once
#include <string>
#include <vector>

#include "include/orvel_plugin.h"

extern "C" {
int orvel_win_win(void* interp, int argc, char** argv, void* privdata);
int orvel_win_bellcode(void* interp, int argc, char** argv, void* privdata);
int _export_common_routines(orvel_get_var_fn, orvel_set_var_fn, orvel_string_append_fn, orvel_string_free_fn,
                            orvel_frame_at_level_fn, orvel_find_command_fn, orvel_get_command_fn,
                            orvel_split_list_fn, orvel_free_string_array_fn, orvel_set_result_fn, orvel_alloc_fn,
                            orvel_free_fn, orvel_get_element_fn, orvel_set_element_fn, orvel_string_array_add_fn,
                            orvel_delete_var_fn, orvel_assign_fn);
int _pump_events(int* keys, int max_keys);
int _lib_cleanup(int);
}

namespace harness {

struct Outcome {
  int code = -1;
  std::string result;
};

// Runs "win ..." or "bellcode ..." given as separate words.
Outcome run(const std::vector<std::string>& words);
// Runs a win subcommand and expects OK; returns the result.
std::string win(const std::vector<std::string>& words);

}  // namespace harness
