#include "platform/folders.h"

#include <windows.h>

namespace plat {

namespace {
std::string errorText() {
  DWORD code = GetLastError();
  char msg[256] = {0};
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, msg,
                 sizeof msg - 1, nullptr);
  std::string s = msg;
  while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == '.')) s.pop_back();
  return s.empty() ? "error " + std::to_string(code) : s;
}
}  // namespace

bool removeFolder(const std::string& path, std::string& err) {
  if (RemoveDirectoryA(path.c_str())) return true;
  err = errorText();
  return false;
}

bool makeTempFile(const std::string& folder, const std::string& prefix, std::string& out,
                  std::string& err) {
  std::string dir = folder;
  if (dir.empty()) {
    char buf[MAX_PATH + 1] = {0};
    DWORD n = GetTempPathA(MAX_PATH, buf);
    if (n == 0 || n > MAX_PATH) {
      err = errorText();
      return false;
    }
    dir = buf;
  }
  char name[MAX_PATH + 1] = {0};
  if (!GetTempFileNameA(dir.c_str(), prefix.empty() ? "orv" : prefix.c_str(), 0, name)) {
    err = errorText();
    return false;
  }
  out = name;
  for (char& c : out)
    if (c == '\\') c = '/';
  return true;
}

}  // namespace plat
