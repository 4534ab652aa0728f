#include "platform/workdir.h"

#include <windows.h>

#include <vector>

namespace plat {

bool currentDirectory(std::string& out) {
  DWORD n = GetCurrentDirectoryA(0, nullptr);
  if (n == 0) return false;
  std::vector<char> buf(n + 1);
  DWORD got = GetCurrentDirectoryA(static_cast<DWORD>(buf.size()), buf.data());
  if (got == 0 || got >= buf.size()) return false;
  out.assign(buf.data(), got);
  for (char& c : out)
    if (c == '\\') c = '/';
  return true;
}

bool changeDirectory(const std::string& path, std::string& err) {
  if (SetCurrentDirectoryA(path.c_str())) return true;
  DWORD code = GetLastError();
  char msg[256] = {0};
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, msg,
                 sizeof msg - 1, nullptr);
  err = msg;
  while (!err.empty() && (err.back() == '\n' || err.back() == '\r' || err.back() == '.')) err.pop_back();
  if (err.empty()) err = "error " + std::to_string(code);
  return false;
}

int64_t threadId() { return static_cast<int64_t>(GetCurrentThreadId()); }

int64_t diskFreeBytes(const std::string& path) {
  ULARGE_INTEGER avail;
  if (!GetDiskFreeSpaceExA(path.empty() ? nullptr : path.c_str(), &avail, nullptr, nullptr)) return -1;
  return static_cast<int64_t>(avail.QuadPart);
}

}  // namespace plat
