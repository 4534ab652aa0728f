// Space on the disk holding a path (Windows).
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "platform/disk_space.h"

namespace plat {

bool diskSpace(const std::string& path, DiskSpace& out) {
  std::string root = path;
  if (root.size() == 1 && root != ".") {
    root += ":\\";
  } else if (root.size() == 2 && root[1] == ':') {
    root += "\\";
  } else if (!root.empty()) {
    // Any other path stands for the root of the volume holding it.
    if (GetFileAttributesA(root.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
    char full[MAX_PATH + 1] = {0}, volume[MAX_PATH + 1] = {0};
    DWORD n = GetFullPathNameA(root.c_str(), sizeof full, full, nullptr);
    if (n > 0 && n < sizeof full && GetVolumePathNameA(full, volume, sizeof volume) && volume[0]) root = volume;
  }
  ULARGE_INTEGER avail, total, totalFree;
  if (!GetDiskFreeSpaceExA(root.empty() ? nullptr : root.c_str(), &avail, &total, &totalFree)) return false;
  out.total = static_cast<int64_t>(total.QuadPart);
  out.free = static_cast<int64_t>(totalFree.QuadPart);
  out.avail = static_cast<int64_t>(avail.QuadPart);
  return true;
}

}  // namespace plat
