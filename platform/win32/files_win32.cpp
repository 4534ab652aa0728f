// Files, folders, disks and machine facts on Windows. Entry points that
// older systems may lack (SHGetFolderPathA, GlobalMemoryStatusEx,
// GetBinaryTypeA, IsUserAnAdmin) are looked up at run time.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/system.h"
#include "platform/win32/win32_helpers.h"

namespace plat {

using win32::procAddress;
using win32::errorText;

namespace {

thread_local DWORD g_lastError = 0;

bool fail(std::string& err) {
  g_lastError = GetLastError();
  err = errorText(g_lastError);
  return false;
}

bool writeAll(HANDLE h, std::string_view data) {
  const char* p = data.data();
  size_t left = data.size();
  while (left > 0) {
    DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
    DWORD wrote = 0;
    if (!WriteFile(h, p, chunk, &wrote, nullptr)) return false;
    if (wrote == 0) {
      SetLastError(ERROR_DISK_FULL);
      return false;
    }
    p += wrote;
    left -= wrote;
  }
  return true;
}

std::string folderOf(const std::string& path) {
  size_t slash = path.find_last_of("/\\");
  if (slash == std::string::npos) return ".";
  if (slash == 0) return path.substr(0, 1);
  if (slash == 2 && path[1] == ':') return path.substr(0, 3);
  return path.substr(0, slash);
}

int64_t fileTimeToUnix(const FILETIME& ft) {
  ULARGE_INTEGER u;
  u.LowPart = ft.dwLowDateTime;
  u.HighPart = ft.dwHighDateTime;
  return static_cast<int64_t>(u.QuadPart / 10000000ULL) - 11644473600LL;
}

}  // namespace

bool fileStatus(const std::string& path, FileStatus& out) {
  WIN32_FILE_ATTRIBUTE_DATA d;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &d)) {
    g_lastError = GetLastError();
    return false;
  }
  out = FileStatus{};
  out.isDir = (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  out.isFile = !out.isDir;
  out.size = static_cast<int64_t>((static_cast<uint64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow);
  out.atime = fileTimeToUnix(d.ftLastAccessTime);
  out.mtime = fileTimeToUnix(d.ftLastWriteTime);
  out.ctime = fileTimeToUnix(d.ftCreationTime);
  out.mode = out.isDir ? 0040755 : ((d.dwFileAttributes & FILE_ATTRIBUTE_READONLY) ? 0100444 : 0100666);
  out.nlink = 1;
  std::string full = fullPath(path);
  if (full.size() >= 2 && full[1] == ':') {
    char c = full[0];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    out.drive = c - 'A';
    out.dev = out.rdev = static_cast<uint64_t>(out.drive);
  }
  return true;
}

bool pathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool isDirectory(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool isRegularFile(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool canRead(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  CloseHandle(h);
  return true;
}

bool canWrite(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  if (a != INVALID_FILE_ATTRIBUTES) {
    if (a & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) return false;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
  }
  return isDirectory(folderOf(path));
}

std::string lastErrorText() { return errorText(g_lastError ? g_lastError : GetLastError()); }
bool lastErrorWasAccessDenied() { return g_lastError == ERROR_ACCESS_DENIED; }

bool readWholeFile(const std::string& path, std::string& out, std::string& err) {
  out.clear();
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE) return fail(err);
  LARGE_INTEGER size;
  size_t want = 65536;
  if (GetFileSizeEx(h, &size) && size.QuadPart > 0) want = static_cast<size_t>(size.QuadPart) + 1;
  out.resize(want);
  size_t have = 0;
  for (;;) {
    if (have == out.size()) out.resize(out.size() * 2);
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(out.size() - have, 1u << 30));
    DWORD got = 0;
    if (!ReadFile(h, out.data() + have, chunk, &got, nullptr)) {
      fail(err);
      CloseHandle(h);
      out.clear();
      return false;
    }
    if (got == 0) break;
    have += got;
  }
  CloseHandle(h);
  out.resize(have);
  return true;
}

bool replaceFile(const std::string& path, std::string_view data, std::string& err) {
  DWORD attrs = GetFileAttributesA(path.c_str());
  bool had = attrs != INVALID_FILE_ATTRIBUTES;
  if (had && (attrs & FILE_ATTRIBUTE_DIRECTORY)) {
    SetLastError(ERROR_DIRECTORY);
    return fail(err);
  }
  if (had && (attrs & FILE_ATTRIBUTE_READONLY)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return fail(err);
  }
  char tmp[MAX_PATH + 16];
  if (!GetTempFileNameA(folderOf(path).c_str(), "orv", 0, tmp)) return fail(err);
  HANDLE h = CreateFileA(tmp, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    fail(err);
    DeleteFileA(tmp);
    return false;
  }
  bool ok = writeAll(h, data);
  if (!ok) fail(err);
  if (!CloseHandle(h) && ok) {
    ok = false;
    fail(err);
  }
  if (ok && !MoveFileExA(tmp, path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    ok = false;
    fail(err);
  }
  if (!ok) {
    DeleteFileA(tmp);
    return false;
  }
  if (had) SetFileAttributesA(path.c_str(), attrs & ~FILE_ATTRIBUTE_TEMPORARY);
  return true;
}

bool appendFile(const std::string& path, std::string_view data, std::string& err) {
  if (isDirectory(path)) {
    SetLastError(ERROR_DIRECTORY);
    return fail(err);
  }
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) return fail(err);
  LARGE_INTEGER size, zero;
  zero.QuadPart = 0;
  if (!GetFileSizeEx(h, &size) || !SetFilePointerEx(h, zero, nullptr, FILE_END)) {
    fail(err);
    CloseHandle(h);
    return false;
  }
  if (!writeAll(h, data)) {
    fail(err);
    SetFilePointerEx(h, size, nullptr, FILE_BEGIN);
    SetEndOfFile(h);
    CloseHandle(h);
    return false;
  }
  if (!CloseHandle(h)) return fail(err);
  return true;
}

bool removeFile(const std::string& path, std::string& err) {
  if (!DeleteFileA(path.c_str())) return fail(err);
  return true;
}

bool renamePath(const std::string& from, const std::string& to, std::string& err) {
  if (!MoveFileA(from.c_str(), to.c_str())) return fail(err);
  return true;
}

bool makeDirectory(const std::string& path, std::string& err) {
  if (!CreateDirectoryA(path.c_str(), nullptr)) return fail(err);
  return true;
}

std::string fullPath(const std::string& path) {
  if (path.empty()) return fullPath(".");
  DWORD n = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
  if (n == 0) return path;
  std::string out(n, '\0');
  DWORD got = GetFullPathNameA(path.c_str(), n, out.data(), nullptr);
  out.resize(got < n ? got : 0);
  return out.empty() ? path : out;
}

bool fileAttributes(const std::string& path, FileAttributes& out) {
  DWORD a = GetFileAttributesA(path.c_str());
  if (a == INVALID_FILE_ATTRIBUTES) {
    g_lastError = GetLastError();
    return false;
  }
  out = FileAttributes{};
  out.archive = (a & FILE_ATTRIBUTE_ARCHIVE) != 0;
  out.hidden = (a & FILE_ATTRIBUTE_HIDDEN) != 0;
  out.system = (a & FILE_ATTRIBUTE_SYSTEM) != 0;
  out.readonly = (a & FILE_ATTRIBUTE_READONLY) != 0;
  std::string full = fullPath(path);
  char buf[MAX_PATH * 4];
  DWORD n = GetLongPathNameA(full.c_str(), buf, sizeof buf);
  out.longName = n > 0 && n < sizeof buf ? std::string(buf, n) : full;
  n = GetShortPathNameA(full.c_str(), buf, sizeof buf);
  out.shortName = n > 0 && n < sizeof buf ? std::string(buf, n) : full;
  return true;
}

bool executableType(const std::string& path, std::string& type) {
  using GetBinaryTypeFn = BOOL(WINAPI*)(LPCSTR, LPDWORD);
  static GetBinaryTypeFn getBinaryType = procAddress<GetBinaryTypeFn>("kernel32.dll", "GetBinaryTypeA");
  if (!getBinaryType) return false;
  DWORD t = 0;
  if (!getBinaryType(path.c_str(), &t)) {
    g_lastError = GetLastError();
    return false;
  }
  switch (t) {
    case 0: type = "32bit"; break;
    case 1: type = "dos"; break;
    case 2: type = "wow"; break;
    case 3: type = "pif"; break;
    case 4: type = "posix"; break;
    case 5: type = "os216"; break;
    case 6: type = "64bit"; break;
    default: type = "unknown"; break;
  }
  return true;
}

bool isExecutableFile(const std::string& path) {
  size_t dot = path.find_last_of('.');
  size_t slash = path.find_last_of("/\\");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
  std::string ext = path.substr(dot);
  for (auto& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return ext == ".com" || ext == ".exe" || ext == ".bat" || ext == ".cmd";
}

std::vector<std::string> volumeRoots() {
  std::vector<std::string> out;
  DWORD mask = GetLogicalDrives();
  for (int i = 0; i < 26; i++)
    if (mask & (1u << i)) out.push_back(std::string(1, static_cast<char>('A' + i)) + ":/");
  return out;
}

std::string driveLetters() {
  std::string out;
  for (int i = 0; i < 26; i++) {
    char root[4] = {static_cast<char>('A' + i), ':', '\\', 0};
    UINT t = GetDriveTypeA(root);
    if (t >= 2 && t <= 6) {
      if (!out.empty()) out += ' ';
      out += root[0];
    }
  }
  return out;
}

namespace {
std::string rootOf(const std::string& drive) {
  std::string r = drive;
  if (r.size() == 1) r += ":\\";
  else if (r.size() == 2 && r[1] == ':') r += "\\";
  else {
    // Any other existing path stands for the root of the volume holding it.
    char root[MAX_PATH + 1] = {0};
    if (GetFileAttributesA(r.c_str()) != INVALID_FILE_ATTRIBUTES &&
        GetVolumePathNameA(r.c_str(), root, sizeof root) && root[0])
      r = root;
  }
  return r;
}
}  // namespace

int64_t diskSize(const std::string& path) {
  ULARGE_INTEGER freeToCaller, total, totalFree;
  if (!GetDiskFreeSpaceExA(rootOf(path).c_str(), &freeToCaller, &total, &totalFree)) return -1;
  return static_cast<int64_t>(total.QuadPart);
}

int diskType(const std::string& path) { return static_cast<int>(GetDriveTypeA(rootOf(path).c_str())); }

std::string appDataFolder() {
  using SHGetFolderPathFn = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);
  static SHGetFolderPathFn shGetFolderPath = procAddress<SHGetFolderPathFn>("shell32.dll", "SHGetFolderPathA");
  char buf[MAX_PATH + 1] = {0};
  const int kLocalAppData = 0x001c;
  if (shGetFolderPath && shGetFolderPath(nullptr, kLocalAppData, nullptr, 0, buf) == 0) return buf;
  std::string v;
  if (getEnv("LOCALAPPDATA", v)) return v;
  return {};
}

bool memoryStatus(MemoryStatus& out) {
  using GlobalMemoryStatusExFn = BOOL(WINAPI*)(LPMEMORYSTATUSEX);
  static GlobalMemoryStatusExFn statusEx =
      procAddress<GlobalMemoryStatusExFn>("kernel32.dll", "GlobalMemoryStatusEx");
  out = MemoryStatus{};
  if (statusEx) {
    MEMORYSTATUSEX m;
    m.dwLength = sizeof m;
    if (!statusEx(&m)) return false;
    out.totalPhys = m.ullTotalPhys;
    out.availPhys = m.ullAvailPhys;
    out.totalPage = m.ullTotalPageFile;
    out.availPage = m.ullAvailPageFile;
    out.totalVirtual = m.ullTotalVirtual;
    out.availVirtual = m.ullAvailVirtual;
    return true;
  }
  MEMORYSTATUS m;
  m.dwLength = sizeof m;
  GlobalMemoryStatus(&m);
  out.totalPhys = m.dwTotalPhys;
  out.availPhys = m.dwAvailPhys;
  out.totalPage = m.dwTotalPageFile;
  out.availPage = m.dwAvailPageFile;
  out.totalVirtual = m.dwTotalVirtual;
  out.availVirtual = m.dwAvailVirtual;
  return true;
}

OsVersion osVersion() {
  OsVersion v;
  // RtlGetVersion reports the true version whatever the manifest says.
  struct OsInfo {
    ULONG size, major, minor, build, platform;
    WCHAR csd[128];
  } info{};
  info.size = sizeof info;
  using RtlGetVersionFn = LONG(WINAPI*)(OsInfo*);
  static RtlGetVersionFn rtlGetVersion = procAddress<RtlGetVersionFn>("ntdll.dll", "RtlGetVersion");
  if (rtlGetVersion && rtlGetVersion(&info) == 0) {
    v.major = info.major;
    v.minor = info.minor;
    v.build = info.build;
    v.platform = info.platform;
  }
  const char* name = "Windows";
  if (v.major == 10 && v.build >= 22000) name = "Windows 11";
  else if (v.major == 10) name = "Windows 10";
  else if (v.major == 6 && v.minor == 3) name = "Windows 8.1";
  else if (v.major == 6 && v.minor == 2) name = "Windows 8";
  else if (v.major == 6 && v.minor == 1) name = "Windows 7";
  else if (v.major == 6 && v.minor == 0) name = "Windows Vista";
  else if (v.major == 5) name = "Windows XP";
  char buf[128];
  std::snprintf(buf, sizeof buf, "%s %u.%u (build %u)", name, v.major, v.minor, v.build);
  v.text = buf;
  return v;
}

int monitorCount() {
  int n = GetSystemMetrics(80);  // SM_CMONITORS
  return n > 0 ? n : 1;
}

bool isNetworked() { return (GetSystemMetrics(63) & 1) != 0; }  // SM_NETWORK

int networkAdapterCount() {
  // Counted through the adapter list of the IP helper when it is there.
  using GetNumberOfInterfacesFn = DWORD(WINAPI*)(PDWORD);
  static GetNumberOfInterfacesFn count =
      procAddress<GetNumberOfInterfacesFn>("iphlpapi.dll", "GetNumberOfInterfaces");
  DWORD n = 0;
  if (count && count(&n) == 0) return n > 0 ? static_cast<int>(n) - 1 : 0;
  return 0;
}

bool isElevated() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  TOKEN_ELEVATION e{};
  DWORD size = 0;
  bool yes = GetTokenInformation(token, TokenElevation, &e, sizeof e, &size) && e.TokenIsElevated;
  CloseHandle(token);
  return yes;
}

bool isAdmin() {
  using IsUserAnAdminFn = BOOL(WINAPI*)();
  static IsUserAnAdminFn isUserAnAdmin = procAddress<IsUserAnAdminFn>("shell32.dll", "IsUserAnAdmin");
  return isUserAnAdmin && isUserAnAdmin();
}

}  // namespace plat
