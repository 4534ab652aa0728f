// Folder listings and symbolic links, for the commands that find files.
#pragma once
#include <string>
#include <vector>

namespace plat {

struct DirEntry {
  std::string name;     // the entry's own name, without the folder
  bool isDir = false;   // a folder, or a link to one
  bool isLink = false;  // a symbolic link or other reparse point
};

// The entries of a folder other than "." and "..", in the order the system
// gives them. False with a reason in err when the folder cannot be read.
bool listDirectory(const std::string& path, std::vector<DirEntry>& out, std::string& err);

// Whether the file system compares names without regard to case.
bool namesIgnoreCase();

// Whether path itself (not what it points to) is a symbolic link.
bool isSymbolicLink(const std::string& path);

// The final target of a symbolic link or shortcut as an absolute path. A
// link whose target is missing gives the path it names. False with a reason
// in err when path is not a link or cannot be read.
bool resolveLink(const std::string& path, std::string& target, std::string& err);

}  // namespace plat
