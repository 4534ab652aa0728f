// Files, folders, disks and machine facts the file and information commands
// need. Paths are byte strings passed to the system as given.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

struct FileStatus {
  bool isDir = false;
  bool isFile = false;
  int64_t size = 0;
  int64_t atime = 0, mtime = 0, ctime = 0;  // seconds since 1970
  uint64_t dev = 0, ino = 0, rdev = 0;
  uint32_t mode = 0;
  int64_t nlink = 0, uid = 0, gid = 0;
  int drive = -1;  // drive number (0 = A) where the system has drives
};

// False when the path does not exist or cannot be queried (links are followed).
bool fileStatus(const std::string& path, FileStatus& out);
bool pathExists(const std::string& path);
bool isDirectory(const std::string& path);
bool isRegularFile(const std::string& path);
bool canRead(const std::string& path);
// True when the file could be opened for writing (an existing file without
// the write right, or a missing file in a folder without it, gives false).
bool canWrite(const std::string& path);

// Text of the last system error, and whether it was a refused access.
std::string lastErrorText();
bool lastErrorWasAccessDenied();

// Whole-file operations. A failure returns false with a reason in err.
bool readWholeFile(const std::string& path, std::string& out, std::string& err);
// Writes data to a temporary file in the same folder and renames it over
// path, so a failed write leaves the old content as it was.
bool replaceFile(const std::string& path, std::string_view data, std::string& err);
// Appends data; a failed append cuts the file back to its old length.
bool appendFile(const std::string& path, std::string_view data, std::string& err);

bool removeFile(const std::string& path, std::string& err);
bool renamePath(const std::string& from, const std::string& to, std::string& err);
bool makeDirectory(const std::string& path, std::string& err);

// The absolute path with "." and ".." folded (the file need not exist).
std::string fullPath(const std::string& path);

// File attributes as the Windows attribute bits give them; elsewhere hidden
// means a name beginning with "." and read-only means no write right.
struct FileAttributes {
  bool archive = false, hidden = false, system = false, readonly = false;
  std::string longName, shortName;
};
bool fileAttributes(const std::string& path, FileAttributes& out);

// Executable type: "32bit", "dos", "wow", "pif", "posix", "os216", "64bit";
// false when the file is not a program the system recognises.
bool executableType(const std::string& path, std::string& type);
// Whether the file counts as a program (see the backends for the rule).
bool isExecutableFile(const std::string& path);

// Drive roots ("C:/" ...); the root "/" where the system has no drives.
std::vector<std::string> volumeRoots();
// Drive letters whose drive type lies between 2 and 6 (none on systems
// without drives).
std::string driveLetters();
// Size in bytes of the disk holding path, or -1.
int64_t diskSize(const std::string& path);
// Drive type number (0 unknown, 1 no root folder, 2 removable, 3 fixed,
// 4 remote, 5 CD-ROM, 6 RAM disk).
int diskType(const std::string& path);

// The per-user application-data folder.
std::string appDataFolder();

struct MemoryStatus {
  uint64_t totalPhys = 0, availPhys = 0, totalPage = 0, availPage = 0, totalVirtual = 0,
           availVirtual = 0;
};
bool memoryStatus(MemoryStatus& out);

struct OsVersion {
  unsigned major = 0, minor = 0, build = 0, platform = 0;
  std::string text;  // a readable name with the version
};
OsVersion osVersion();
int monitorCount();
bool isNetworked();
// Network interfaces other than the loopback one.
int networkAdapterCount();
// Elevation and administrator rights (always false where the system has
// neither notion).
bool isElevated();
bool isAdmin();

}  // namespace plat
