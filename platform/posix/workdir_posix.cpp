#include "platform/workdir.h"

#include <sys/statvfs.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace plat {

bool currentDirectory(std::string& out) {
  std::vector<char> buf(4096);
  for (int i = 0; i < 6; i++) {
    if (getcwd(buf.data(), buf.size())) {
      out = buf.data();
      return true;
    }
    if (errno != ERANGE) return false;
    buf.resize(buf.size() * 2);
  }
  return false;
}

bool changeDirectory(const std::string& path, std::string& err) {
  if (chdir(path.c_str()) == 0) return true;
  err = std::strerror(errno);
  return false;
}

int64_t threadId() {
#ifdef SYS_gettid
  return static_cast<int64_t>(syscall(SYS_gettid));
#else
  return static_cast<int64_t>(getpid());
#endif
}

int64_t diskFreeBytes(const std::string& path) {
  struct statvfs st;
  if (statvfs(path.c_str(), &st) != 0) return -1;
  return static_cast<int64_t>(st.f_bavail) * static_cast<int64_t>(st.f_frsize);
}

}  // namespace plat
