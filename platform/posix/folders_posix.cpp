#include "platform/folders.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace plat {

bool removeFolder(const std::string& path, std::string& err) {
  if (rmdir(path.c_str()) == 0) return true;
  err = std::strerror(errno);
  return false;
}

bool makeTempFile(const std::string& folder, const std::string& prefix, std::string& out,
                  std::string& err) {
  std::string dir = folder;
  if (dir.empty()) {
    const char* t = std::getenv("TMPDIR");
    dir = t && *t ? t : "/tmp";
  }
  if (dir.back() != '/') dir += '/';
  std::string tmpl = dir + prefix + "XXXXXX";
  std::vector<char> buf(tmpl.begin(), tmpl.end());
  buf.push_back('\0');
  int fd = mkstemp(buf.data());
  if (fd < 0) {
    err = std::strerror(errno);
    return false;
  }
  close(fd);
  out = buf.data();
  return true;
}

}  // namespace plat
