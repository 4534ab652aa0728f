// Space on the disk holding a path.
#pragma once
#include <cstdint>
#include <string>

namespace plat {

struct DiskSpace {
  int64_t total = 0;  // size of the disk in bytes
  int64_t free = 0;   // bytes not in use
  int64_t avail = 0;  // bytes the caller may still use
};

// A drive letter ("C" or "C:") stands for its root folder where the system
// has drives. False when the disk cannot be queried.
bool diskSpace(const std::string& path, DiskSpace& out);

}  // namespace plat
