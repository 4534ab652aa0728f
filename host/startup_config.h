// The start-up settings of the Hexbury program: switches from the command
// line, keys from hexbury.ini and the folders it was looked for in.
#pragma once
#include <string>
#include <vector>

namespace hexbury {

struct StartupConfig {
  // Command line (the host's own switches).
  bool debug = false;
  bool echo = false;
  bool show_config = false;
  // hexbury.ini, section Config.
  bool silent = false;
  bool status = false;
  bool green_off = false;
  bool no_open = false;
  bool show_demo = false;
  bool no_video_check = false;
  std::string script_path;
  std::string sound_left, sound_middle, sound_right;
  std::string sound_normal, sound_reverse;
  std::string web_url;
  // Where the program and its configuration live; both end in a separator.
  std::string exe_folder;
  std::string user_folder;
  std::string ini_path;
  // Bare words of the command line (at most kMaxPositionals).
  std::vector<std::string> positional;
};

constexpr size_t kMaxPositionals = 10;
constexpr size_t kMaxPath = 260;
constexpr size_t kMaxUrl = 2048;

}  // namespace hexbury
