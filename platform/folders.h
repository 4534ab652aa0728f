// Folder removal and new temporary files.
#pragma once
#include <string>

namespace plat {

// Removes an empty folder; false with a reason in err.
bool removeFolder(const std::string& path, std::string& err);
// Creates a new empty file with a unique name in folder (the system's
// temporary folder when empty) whose name starts with prefix; its path goes
// to out. False with a reason in err.
bool makeTempFile(const std::string& folder, const std::string& prefix, std::string& out,
                  std::string& err);

}  // namespace plat
