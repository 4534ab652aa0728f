// The working folder, thread identity and free disk space.
#pragma once
#include <cstdint>
#include <string>

namespace plat {

// The process's current folder; false when it cannot be read.
bool currentDirectory(std::string& out);
// Makes path the current folder; false with a reason in err.
bool changeDirectory(const std::string& path, std::string& err);
// The calling thread's identifier as the system numbers it.
int64_t threadId();
// Bytes free for the caller on the disk holding path, or -1.
int64_t diskFreeBytes(const std::string& path);

}  // namespace plat
