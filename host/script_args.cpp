#include "host/script_args.h"

namespace hexbury {

std::vector<std::string> buildScriptArguments(int argc, char** argv, const StartupConfig& cfg) {
  std::vector<std::string> list{"hexbury.exe"};
  for (int i = 0; i < argc; i++) list.emplace_back(argv[i]);
  auto flag = [&](bool on, const char* sw) {
    if (on) list.emplace_back(sw);
  };
  auto pair = [&](const std::string& value, const char* sw) {
    if (value.empty()) return;
    list.emplace_back(sw);
    list.push_back(value);
  };
  flag(cfg.silent, "/silent");
  flag(cfg.status, "/status");
  flag(cfg.green_off, "/greenoff");
  flag(cfg.no_open, "/noopen");
  flag(cfg.show_demo, "/demo");
  pair(cfg.script_path, "/script");
  pair(cfg.sound_left, "/soundleft");
  pair(cfg.sound_middle, "/soundmiddle");
  pair(cfg.sound_right, "/soundright");
  pair(cfg.sound_normal, "/soundnormal");
  pair(cfg.sound_reverse, "/soundreverse");
  pair(cfg.web_url, "/w");
  flag(cfg.no_video_check, "/novideocheck");
  return list;
}

}  // namespace hexbury
