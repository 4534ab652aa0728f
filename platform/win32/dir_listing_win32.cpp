// Folder listings, symbolic links and shortcuts (Windows). A shortcut file
// (.lnk) is read through the shell's link object, whose entry points in
// ole32.dll are looked up at run time; other links through the final path
// of an opened handle (GetFinalPathNameByHandleA, also looked up at run time).
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include <cctype>
#include <string>

#include "platform/dir_listing.h"
#include "platform/files.h"
#include "platform/win32/win32_helpers.h"

namespace plat {

using win32::procAddress;
using win32::errorText;

namespace {

bool endsWithLnk(const std::string& path) {
  if (path.size() < 4) return false;
  std::string tail = path.substr(path.size() - 4);
  for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return tail == ".lnk";
}

// The shell link object and its interfaces, named here so that no import
// library of identifiers is needed.
const GUID kClsidShellLink = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const GUID kIidShellLinkA = {0x000214EE, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const GUID kIidPersistFile = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

bool shortcutTarget(const std::string& path, std::string& target, std::string& err) {
  using CoInitializeExFn = HRESULT(WINAPI*)(LPVOID, DWORD);
  using CoUninitializeFn = void(WINAPI*)();
  using CoCreateInstanceFn = HRESULT(WINAPI*)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);
  static auto coInit = procAddress<CoInitializeExFn>("ole32.dll", "CoInitializeEx");
  static auto coUninit = procAddress<CoUninitializeFn>("ole32.dll", "CoUninitialize");
  static auto coCreate = procAddress<CoCreateInstanceFn>("ole32.dll", "CoCreateInstance");
  if (!coInit || !coUninit || !coCreate) {
    err = "shortcuts cannot be read on this system";
    return false;
  }
  HRESULT init = coInit(nullptr, COINIT_APARTMENTTHREADED);
  bool ok = false;
  IShellLinkA* link = nullptr;
  if (SUCCEEDED(coCreate(kClsidShellLink, nullptr, CLSCTX_INPROC_SERVER, kIidShellLinkA,
                         reinterpret_cast<void**>(&link)))) {
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(kIidPersistFile, reinterpret_cast<void**>(&file)))) {
      int n = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
      std::wstring wide(n > 0 ? static_cast<size_t>(n) : 1, L'\0');
      MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), n);
      if (SUCCEEDED(file->Load(wide.c_str(), STGM_READ))) {
        char buf[MAX_PATH + 1] = {0};
        if (SUCCEEDED(link->GetPath(buf, MAX_PATH, nullptr, SLGP_RAWPATH)) && buf[0]) {
          target = buf;
          ok = true;
        } else {
          err = "the shortcut names no file";
        }
      } else {
        err = "not a shortcut";
      }
      file->Release();
    }
    link->Release();
  } else {
    err = "the shell link object is not available";
  }
  if (SUCCEEDED(init)) coUninit();
  return ok;
}

}  // namespace

bool listDirectory(const std::string& path, std::vector<DirEntry>& out, std::string& err) {
  out.clear();
  std::string pattern = path.empty() ? std::string(".") : path;
  if (pattern.back() != '/' && pattern.back() != '\\') pattern += '\\';
  pattern += '*';
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA(pattern.c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) {
    DWORD code = GetLastError();
    if (code == ERROR_FILE_NOT_FOUND) return true;  // an empty drive
    err = errorText(code);
    return false;
  }
  do {
    DirEntry e;
    e.name = fd.cFileName;
    if (e.name == "." || e.name == "..") continue;
    e.isDir = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    e.isLink = (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    out.push_back(std::move(e));
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  return true;
}

bool namesIgnoreCase() { return true; }

bool isSymbolicLink(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool resolveLink(const std::string& path, std::string& target, std::string& err) {
  if (!pathExists(path) && !isSymbolicLink(path)) {
    err = "no such file";
    return false;
  }
  if (endsWithLnk(path) && !isSymbolicLink(path)) return shortcutTarget(path, target, err);
  if (!isSymbolicLink(path)) {
    err = "not a link";
    return false;
  }
  using FinalPathFn = DWORD(WINAPI*)(HANDLE, LPSTR, DWORD, DWORD);
  static auto finalPath = procAddress<FinalPathFn>("kernel32.dll", "GetFinalPathNameByHandleA");
  if (!finalPath) {
    err = "links cannot be followed on this system";
    return false;
  }
  HANDLE h = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    err = errorText(GetLastError());
    return false;
  }
  std::string buf(MAX_PATH + 1, '\0');
  DWORD n = finalPath(h, buf.data(), static_cast<DWORD>(buf.size()), 0);
  if (n >= buf.size()) {
    buf.assign(n + 1, '\0');
    n = finalPath(h, buf.data(), static_cast<DWORD>(buf.size()), 0);
  }
  DWORD code = GetLastError();
  CloseHandle(h);
  if (n == 0 || n >= buf.size()) {
    err = errorText(code);
    return false;
  }
  buf.resize(n);
  if (buf.rfind("\\\\?\\UNC\\", 0) == 0) buf = "\\\\" + buf.substr(8);
  else if (buf.rfind("\\\\?\\", 0) == 0) buf = buf.substr(4);
  target = buf;
  return true;
}

}  // namespace plat
