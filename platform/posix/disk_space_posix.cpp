// Space on the disk holding a path (POSIX).
#include "platform/disk_space.h"

#include <sys/statvfs.h>

namespace plat {

bool diskSpace(const std::string& path, DiskSpace& out) {
  struct statvfs vs;
  if (::statvfs(path.empty() ? "." : path.c_str(), &vs) != 0) return false;
  int64_t unit = static_cast<int64_t>(vs.f_frsize ? vs.f_frsize : vs.f_bsize);
  out.total = static_cast<int64_t>(vs.f_blocks) * unit;
  out.free = static_cast<int64_t>(vs.f_bfree) * unit;
  out.avail = static_cast<int64_t>(vs.f_bavail) * unit;
  return true;
}

}  // namespace plat
