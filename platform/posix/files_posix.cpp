// Files, folders, disks and machine facts on POSIX systems.
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/files.h"
#include "platform/system.h"

namespace plat {

namespace {

thread_local int g_lastErrno = 0;

bool fail(std::string& err) {
  g_lastErrno = errno;
  err = std::strerror(errno);
  return false;
}

bool writeAll(int fd, std::string_view data) {
  const char* p = data.data();
  size_t left = data.size();
  while (left > 0) {
    size_t chunk = left > (size_t(1) << 30) ? (size_t(1) << 30) : left;
    ssize_t n = ::write(fd, p, chunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) {
      errno = ENOSPC;
      return false;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  return true;
}

// The file a write to path really changes: the target of a symbolic link.
std::string writeTarget(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    if (char* real = ::realpath(path.c_str(), nullptr)) {
      std::string out(real);
      ::free(real);
      return out;
    }
  }
  return path;
}

std::string folderOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

uint64_t meminfoValue(const std::string& text, const char* key) {
  size_t at = text.find(key);
  if (at == std::string::npos) return 0;
  return std::strtoull(text.c_str() + at + std::strlen(key), nullptr, 10) * 1024;
}

std::string readSmallFile(const char* path) {
  std::ifstream f(path);
  std::ostringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

// The first bytes of a file, for recognising programs.
std::string fileHead(const std::string& path, size_t n) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {};
  std::string buf(n, '\0');
  ssize_t got = ::pread(fd, buf.data(), n, 0);
  ::close(fd);
  buf.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return buf;
}

uint32_t le32(const std::string& b, size_t at) {
  if (at + 4 > b.size()) return 0;
  return static_cast<uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

// Large buffers are asked for in huge pages, so filling them costs a few
// page faults instead of one per 4 KB.
void adviseHugePages(void* p, size_t n) {
#ifdef MADV_HUGEPAGE
  const uintptr_t huge = uintptr_t(2) << 20;
  if (n < 4 * huge) return;
  uintptr_t start = (reinterpret_cast<uintptr_t>(p) + huge - 1) & ~(huge - 1);
  uintptr_t end = (reinterpret_cast<uintptr_t>(p) + n) & ~(huge - 1);
  if (end > start) ::madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
#else
  (void)p;
  (void)n;
#endif
}

}  // namespace

bool fileStatus(const std::string& path, FileStatus& out) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) {
    g_lastErrno = errno;
    return false;
  }
  out = FileStatus{};
  out.isDir = S_ISDIR(st.st_mode);
  out.isFile = S_ISREG(st.st_mode);
  out.size = static_cast<int64_t>(st.st_size);
  out.atime = static_cast<int64_t>(st.st_atime);
  out.mtime = static_cast<int64_t>(st.st_mtime);
  out.ctime = static_cast<int64_t>(st.st_ctime);
  out.dev = static_cast<uint64_t>(st.st_dev);
  out.ino = static_cast<uint64_t>(st.st_ino);
  out.rdev = static_cast<uint64_t>(st.st_rdev);
  out.mode = static_cast<uint32_t>(st.st_mode);
  out.nlink = static_cast<int64_t>(st.st_nlink);
  out.uid = static_cast<int64_t>(st.st_uid);
  out.gid = static_cast<int64_t>(st.st_gid);
  out.drive = -1;
  return true;
}

bool pathExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

bool isDirectory(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool isRegularFile(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool canRead(const std::string& path) { return ::access(path.c_str(), R_OK) == 0; }

bool canWrite(const std::string& path) {
  if (isDirectory(path)) return false;
  if (pathExists(path)) return ::access(path.c_str(), W_OK) == 0;
  return ::access(folderOf(path).c_str(), W_OK) == 0;
}

std::string lastErrorText() { return std::strerror(g_lastErrno ? g_lastErrno : errno); }
bool lastErrorWasAccessDenied() { return g_lastErrno == EACCES || g_lastErrno == EPERM; }

bool readWholeFile(const std::string& path, std::string& out, std::string& err) {
  out.clear();
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return fail(err);
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    fail(err);
    ::close(fd);
    return false;
  }
  if (S_ISDIR(st.st_mode)) {
    errno = EISDIR;
    fail(err);
    ::close(fd);
    return false;
  }
  // Regular files are read in one piece of their size; anything that grows
  // meanwhile, and files whose size the system does not know, in chunks.
  size_t have = 0;
  size_t want = S_ISREG(st.st_mode) && st.st_size > 0 ? static_cast<size_t>(st.st_size) + 1 : 65536;
  out.reserve(want);
  adviseHugePages(out.data(), out.capacity());
  out.resize(want);
  for (;;) {
    if (have == out.size()) out.resize(out.size() * 2);
    ssize_t n = ::read(fd, out.data() + have, out.size() - have);
    if (n < 0) {
      if (errno == EINTR) continue;
      fail(err);
      ::close(fd);
      out.clear();
      return false;
    }
    if (n == 0) break;
    have += static_cast<size_t>(n);
  }
  ::close(fd);
  out.resize(have);
  return true;
}

bool replaceFile(const std::string& path, std::string_view data, std::string& err) {
  std::string target = writeTarget(path);
  struct stat old;
  bool had = ::stat(target.c_str(), &old) == 0;
  if (had && S_ISDIR(old.st_mode)) {
    errno = EISDIR;
    return fail(err);
  }
  if (had && ::access(target.c_str(), W_OK) != 0) return fail(err);
  if (had && !S_ISREG(old.st_mode)) {
    // A device, pipe or socket is written to as it is; it cannot be
    // replaced by a file.
    int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return fail(err);
    if (!writeAll(fd, data)) {
      fail(err);
      ::close(fd);
      return false;
    }
    if (::close(fd) != 0) return fail(err);
    return true;
  }
  std::string folder = folderOf(target);
  size_t slash = target.find_last_of('/');
  std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  std::string tmp = (folder == "/" ? std::string("/") : folder + "/") + "." + base + ".XXXXXX";
  int fd = ::mkstemp(tmp.data());
  if (fd < 0) return fail(err);
  mode_t mode;
  if (had) {
    mode = old.st_mode & 07777;
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  ::fchmod(fd, mode);
  if (had && (old.st_uid != ::geteuid() || old.st_gid != ::getegid())) {
    // Keep the owner where the system allows it; when it does not the new
    // file belongs to the writer, as a copy would.
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
    }
  }
  bool ok = writeAll(fd, data);
  if (!ok) {
    fail(err);
    ::close(fd);
    ::unlink(tmp.c_str());
    return false;
  }
  if (::close(fd) != 0) {
    fail(err);
    ::unlink(tmp.c_str());
    return false;
  }
  if (::rename(tmp.c_str(), target.c_str()) != 0) {
    fail(err);
    ::unlink(tmp.c_str());
    return false;
  }
  return true;
}

bool appendFile(const std::string& path, std::string_view data, std::string& err) {
  int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return fail(err);
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    fail(err);
    ::close(fd);
    return false;
  }
  if (!writeAll(fd, data)) {
    fail(err);
    if (::ftruncate(fd, st.st_size) != 0) {
    }
    ::close(fd);
    return false;
  }
  if (::close(fd) != 0) return fail(err);
  return true;
}

bool removeFile(const std::string& path, std::string& err) {
  if (isDirectory(path)) {
    errno = EISDIR;
    return fail(err);
  }
  if (::unlink(path.c_str()) != 0) return fail(err);
  return true;
}

bool renamePath(const std::string& from, const std::string& to, std::string& err) {
  if (::rename(from.c_str(), to.c_str()) != 0) return fail(err);
  return true;
}

bool makeDirectory(const std::string& path, std::string& err) {
  if (::mkdir(path.c_str(), 0777) != 0) return fail(err);
  return true;
}

std::string fullPath(const std::string& path) {
  std::string p = path;
  if (p.empty() || p[0] != '/') {
    std::string cwd;
    std::vector<char> buf(4096);
    while (::getcwd(buf.data(), buf.size()) == nullptr && errno == ERANGE) buf.resize(buf.size() * 2);
    cwd = buf.data();
    p = cwd + "/" + p;
  }
  std::vector<std::string> parts;
  size_t i = 0;
  while (i <= p.size()) {
    size_t j = p.find('/', i);
    if (j == std::string::npos) j = p.size();
    std::string part = p.substr(i, j - i);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    i = j + 1;
  }
  std::string out;
  for (auto& s : parts) out += "/" + s;
  return out.empty() ? "/" : out;
}

bool fileAttributes(const std::string& path, FileAttributes& out) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) {
    g_lastErrno = errno;
    return false;
  }
  out = FileAttributes{};
  std::string full = fullPath(path);
  size_t slash = full.find_last_of('/');
  std::string name = slash == std::string::npos ? full : full.substr(slash + 1);
  out.hidden = !name.empty() && name[0] == '.';
  out.readonly = ::access(path.c_str(), W_OK) != 0;
  out.longName = full;
  out.shortName = full;
  return true;
}

bool executableType(const std::string& path, std::string& type) {
  if (!isRegularFile(path)) return false;
  std::string head = fileHead(path, 4096);
  if (head.size() >= 5 && head.compare(0, 4, "\x7f" "ELF") == 0) {
    type = head[4] == 2 ? "64bit" : "32bit";
    return true;
  }
  if (head.size() >= 2 && head[0] == '#' && head[1] == '!') {
    type = "posix";
    return true;
  }
  if (head.size() >= 64 && head[0] == 'M' && head[1] == 'Z') {
    uint32_t pe = le32(head, 60);
    std::string whole = pe + 26 <= head.size() ? head : (pe < (1u << 20) ? fileHead(path, pe + 26) : std::string());
    std::string peHead = whole.size() >= size_t(pe) + 6 ? whole.substr(pe, 26) : std::string();
    if (peHead.size() >= 6 && peHead.compare(0, 4, std::string("PE\0\0", 4)) == 0) {
      unsigned machine = static_cast<unsigned char>(peHead[4]) | static_cast<unsigned char>(peHead[5]) << 8;
      type = (machine == 0x8664 || machine == 0xAA64 || machine == 0x200) ? "64bit" : "32bit";
      return true;
    }
    if (peHead.size() >= 2 && (peHead.compare(0, 2, "NE") == 0 || peHead.compare(0, 2, "LE") == 0)) {
      type = "wow";
      return true;
    }
    type = "dos";
    return true;
  }
  return false;
}

bool isExecutableFile(const std::string& path) {
  size_t dot = path.find_last_of('.');
  size_t slash = path.find_last_of("/\\");
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) {
    std::string ext = path.substr(dot);
    for (auto& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    if (ext == ".com" || ext == ".exe" || ext == ".bat" || ext == ".cmd") return true;
  }
  std::string type;
  return ::access(path.c_str(), X_OK) == 0 && executableType(path, type);
}

std::vector<std::string> volumeRoots() { return {"/"}; }

std::string driveLetters() { return {}; }

int64_t diskSize(const std::string& path) {
  struct statvfs vs;
  if (::statvfs(path.c_str(), &vs) != 0) return -1;
  return static_cast<int64_t>(vs.f_blocks) * static_cast<int64_t>(vs.f_frsize);
}

int diskType(const std::string& path) {
  struct statvfs vs;
  if (::statvfs(path.c_str(), &vs) != 0) return 1;
  return 3;
}

std::string appDataFolder() {
  std::string v;
  if (getEnv("XDG_DATA_HOME", v) && !v.empty() && v[0] == '/') return v;
  if (getEnv("HOME", v) && !v.empty()) return v + "/.local/share";
  return {};
}

bool memoryStatus(MemoryStatus& out) {
  std::string mi = readSmallFile("/proc/meminfo");
  out = MemoryStatus{};
  if (!mi.empty()) {
    out.totalPhys = meminfoValue(mi, "MemTotal:");
    out.availPhys = meminfoValue(mi, "MemAvailable:");
    if (out.availPhys == 0) out.availPhys = meminfoValue(mi, "MemFree:");
    out.totalPage = out.totalPhys + meminfoValue(mi, "SwapTotal:");
    out.availPage = out.availPhys + meminfoValue(mi, "SwapFree:");
  } else {
    struct sysinfo si;
    if (::sysinfo(&si) != 0) return false;
    out.totalPhys = static_cast<uint64_t>(si.totalram) * si.mem_unit;
    out.availPhys = static_cast<uint64_t>(si.freeram) * si.mem_unit;
    out.totalPage = out.totalPhys + static_cast<uint64_t>(si.totalswap) * si.mem_unit;
    out.availPage = out.availPhys + static_cast<uint64_t>(si.freeswap) * si.mem_unit;
  }
  // The user part of the address space of a 64-bit process (47 bits).
  out.totalVirtual = sizeof(void*) == 8 ? (uint64_t(1) << 47) : (uint64_t(3) << 30);
  std::string status = readSmallFile("/proc/self/status");
  uint64_t used = meminfoValue(status, "VmSize:");
  out.availVirtual = used < out.totalVirtual ? out.totalVirtual - used : 0;
  return out.totalPhys > 0;
}

OsVersion osVersion() {
  OsVersion v;
  struct utsname u;
  if (::uname(&u) != 0) return v;
  std::sscanf(u.release, "%u.%u.%u", &v.major, &v.minor, &v.build);
  v.platform = 0;
  v.text = std::string(u.sysname) + " " + u.release + " " + u.machine;
  return v;
}

int monitorCount() { return 1; }

bool isNetworked() {
  DIR* d = ::opendir("/sys/class/net");
  if (!d) return false;
  bool up = false;
  while (dirent* e = ::readdir(d)) {
    std::string name = e->d_name;
    if (name == "." || name == ".." || name == "lo") continue;
    std::string state = readSmallFile(("/sys/class/net/" + name + "/operstate").c_str());
    if (state.rfind("up", 0) == 0) up = true;
  }
  ::closedir(d);
  return up;
}

int networkAdapterCount() {
  DIR* d = ::opendir("/sys/class/net");
  if (!d) return 0;
  int n = 0;
  while (dirent* e = ::readdir(d)) {
    std::string name = e->d_name;
    if (name != "." && name != ".." && name != "lo") n++;
  }
  ::closedir(d);
  return n;
}

bool isElevated() { return false; }
bool isAdmin() { return false; }

}  // namespace plat
