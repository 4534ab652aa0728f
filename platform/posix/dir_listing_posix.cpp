// Folder listings and symbolic links (POSIX).
#include "platform/dir_listing.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/files.h"

namespace plat {

bool listDirectory(const std::string& path, std::vector<DirEntry>& out, std::string& err) {
  out.clear();
  DIR* d = ::opendir(path.empty() ? "." : path.c_str());
  if (!d) {
    err = std::strerror(errno);
    return false;
  }
  std::string base = path.empty() ? std::string() : path;
  if (!base.empty() && base.back() != '/') base += '/';
  while (dirent* e = ::readdir(d)) {
    DirEntry entry;
    entry.name = e->d_name;
    if (entry.name == "." || entry.name == "..") continue;
    std::string full = base + entry.name;
    struct stat st;
    if (::lstat(full.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
      entry.isLink = true;
      entry.isDir = ::stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    } else {
      entry.isDir = S_ISDIR(st.st_mode);
    }
    out.push_back(std::move(entry));
  }
  ::closedir(d);
  return true;
}

bool namesIgnoreCase() { return false; }

bool isSymbolicLink(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

namespace {
bool readLinkText(const std::string& path, std::string& out) {
  std::string buf(256, '\0');
  for (;;) {
    ssize_t n = ::readlink(path.c_str(), buf.data(), buf.size());
    if (n < 0) return false;
    if (static_cast<size_t>(n) < buf.size()) {
      out.assign(buf.data(), static_cast<size_t>(n));
      return true;
    }
    if (buf.size() >= 65536) return false;
    buf.resize(buf.size() * 2);
  }
}
}  // namespace

bool resolveLink(const std::string& path, std::string& target, std::string& err) {
  if (!isSymbolicLink(path)) {
    err = pathExists(path) ? "not a link" : "no such file";
    return false;
  }
  std::string current = path;
  // Follow the chain one step at a time, so that a link whose target is
  // missing still answers the path it names; a loop ends after 40 steps.
  for (int step = 0; step < 40 && isSymbolicLink(current); step++) {
    std::string next;
    if (!readLinkText(current, next)) {
      err = std::strerror(errno);
      return false;
    }
    if (next.empty() || next[0] != '/') {
      size_t slash = current.find_last_of('/');
      next = (slash == std::string::npos ? std::string() : current.substr(0, slash + 1)) + next;
    }
    current = next;
  }
  if (isSymbolicLink(current)) {
    err = "too many levels of links";
    return false;
  }
  char* real = ::realpath(current.c_str(), nullptr);
  if (real) {
    target = real;
    std::free(real);
  } else {
    target = fullPath(current);
  }
  return true;
}

}  // namespace plat
