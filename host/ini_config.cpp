#include "host/ini_config.h"

#include <filesystem>
#include <system_error>

#include "host/ini_reader.h"
#include "platform/host_support.h"
#include "platform/system.h"

namespace hexbury {

namespace fs = std::filesystem;

namespace {

const char* const kSection = "Config";

bool fileExists(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(fs::path(path), ec);
}

// A path value: environment references expanded, backslashes turned into
// forward slashes, at most kMaxPath characters.
std::string pathValue(const std::string& value) {
  std::string s = expand_env_refs(value);
  for (char& c : s)
    if (c == '\\') c = '/';
  if (s.size() > kMaxPath) s.resize(kMaxPath);
  return s;
}

void readBool(const std::string& path, const char* key, bool& flag) {
  if (auto v = ini_get_bool(path, kSection, key)) flag = *v;
}

void readPath(const std::string& path, const char* key, std::string& out) {
  if (auto v = ini_get_string(path, kSection, key)) out = pathValue(*v);
}

}  // namespace

std::string prepareUserFolder() {
  std::string base = plat::localAppDataFolder();
  if (base.empty()) return {};
  const char sep = plat::pathSeparator();
  std::string folder = base + sep + "hexbury" + sep;
  std::error_code ec;
  if (!fs::is_directory(fs::path(folder), ec)) fs::create_directories(fs::path(folder), ec);
  return folder;
}

std::string executableFolder() {
  std::string exe = plat::modulePath();
  std::error_code ec;
  fs::path p = fs::absolute(fs::path(exe), ec);
  if (ec) p = fs::path(exe);
  std::string folder = p.parent_path().string();
  const char sep = plat::pathSeparator();
  if (folder.empty() || (folder.back() != sep && folder.back() != '/')) folder += sep;
  return folder;
}

std::string locateIni(const std::string& exeFolder, const std::string& userFolder) {
  std::string path = exeFolder + "hexbury" + ".ini";
  if (!fileExists(path) && !userFolder.empty()) path = userFolder + "hexbury" + ".ini";
  return path;
}

void readConfiguration(StartupConfig& cfg) {
  const std::string& ini = cfg.ini_path;
  readBool(ini, "Silent", cfg.silent);
  readBool(ini, "Status", cfg.status);
  readBool(ini, "GreenOffIndicators", cfg.green_off);
  readBool(ini, "NoOpenSignal", cfg.no_open);
  readBool(ini, "ShowDemo", cfg.show_demo);
  readBool(ini, "NoVideoCheck", cfg.no_video_check);
  readPath(ini, "Script", cfg.script_path);
  if (auto v = ini_get_string(ini, kSection, "WebURL")) {
    cfg.web_url = *v;
    if (cfg.web_url.size() > kMaxUrl) cfg.web_url.resize(kMaxUrl);
  }
  readPath(ini, "SoundLeft", cfg.sound_left);
  readPath(ini, "SoundMiddle", cfg.sound_middle);
  readPath(ini, "SoundRight", cfg.sound_right);
  readPath(ini, "SoundNormal", cfg.sound_normal);
  readPath(ini, "SoundReverse", cfg.sound_reverse);
}

}  // namespace hexbury
