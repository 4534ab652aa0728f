#include "host/config_report.h"

#include <filesystem>
#include <system_error>

#include "interp/interp.h"
#include "platform/console.h"

namespace hexbury {

namespace {

constexpr int kNormal = 7;
constexpr int kRed = 12;
constexpr int kMagenta = 13;
constexpr int kYellow = 14;
constexpr int kWhite = 15;

// One line in a colour, the normal colour restored after it.
void colouredLine(int attr, const std::string& text) {
  plat::setAttribute(attr);
  plat::writeOut(text);
  plat::setAttribute(kNormal);
}

void rule() { colouredLine(kWhite, std::string(79, '-') + "\r\n"); }

const char* trueFalse(bool b) { return b ? "True" : "False"; }

bool fileExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(std::filesystem::path(path), ec);
}

void pathLine(const char* format, const std::string& path) {
  std::string line = orvel::strprintf(format, path.empty() ? "Unconfigured" : path.c_str());
  if (!path.empty() && !fileExists(path)) colouredLine(kRed, line);
  else plat::writeOut(line);
}

}  // namespace

void printConfigReport(const StartupConfig& cfg) {
  using orvel::strprintf;
  colouredLine(kYellow, "Program Configuration v1.08 14th May 2023\r\n");
  rule();
  plat::writeOut(strprintf("Application path:          %s\r\n", cfg.exe_folder.c_str()));
  plat::writeOut(strprintf("Configuration (INI) file:  %s\r\n", cfg.ini_path.c_str()));
  rule();
  plat::writeOut("Cmd Arg       INI Option   Value\r\n");
  rule();
  plat::writeOut(strprintf("/SILENT       Silent       %s\r\n", trueFalse(cfg.silent)));
  plat::writeOut(strprintf("/STATUS       Status       %s\r\n", trueFalse(cfg.status)));
  plat::writeOut(strprintf("/NOOPEN       NoOpenSignal %s\r\n", trueFalse(cfg.no_open)));
  plat::writeOut(strprintf("/DEMO         ShowDemo     %s\r\n", trueFalse(cfg.show_demo)));
  plat::writeOut(strprintf("/NOVIDEOCHECK NoVideoCheck %s\r\n", trueFalse(cfg.no_video_check)));
  pathLine("/SCRIPT       Script       %s\r\n", cfg.script_path);
  pathLine("/SOUNDLEFT    SoundLeft    %s\r\n", cfg.sound_left);
  pathLine("/SOUNDMIDDLE  SoundMiddle  %s\r\n", cfg.sound_middle);
  pathLine("/SOUNDRIGHT   SoundRight   %s\r\n", cfg.sound_right);
  pathLine("/SOUNDNORMAL  SoundNormal  %s\r\n", cfg.sound_normal);
  pathLine("/SOUNDREVERSE SoundReverse %s\r\n", cfg.sound_reverse);
  if (cfg.web_url.empty()) plat::writeOut("/W             WebURL      Unconfigured\r\n");
  else colouredLine(kMagenta, "/W             WebURL      " + cfg.web_url + "\r\n");
  rule();
}

}  // namespace hexbury
