// Start-up services for Windows. SHGetFolderPathA is looked up at run time
// (shell32.dll, else shfolder.dll), so the program runs where neither has it.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <winsock2.h>
#include <windows.h>

#include <cerrno>

#include "platform/host_support.h"

namespace plat {

namespace {

using GetFolderPathFn = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);

GetFolderPathFn folderPathFunction() {
  for (const char* dll : {"shell32.dll", "shfolder.dll"}) {
    HMODULE m = LoadLibraryA(dll);
    if (!m) continue;
    FARPROC p = GetProcAddress(m, "SHGetFolderPathA");
    if (p) return reinterpret_cast<GetFolderPathFn>(reinterpret_cast<void (*)()>(p));
  }
  return nullptr;
}

}  // namespace

std::string localAppDataFolder() {
  GetFolderPathFn fn = folderPathFunction();
  if (!fn) return {};
  char buf[MAX_PATH + 1] = {0};
  const int kLocalAppData = 28;  // CSIDL_LOCAL_APPDATA
  if (FAILED(fn(nullptr, kLocalAppData, nullptr, 0, buf))) return {};
  std::string s(buf);
  while (!s.empty() && (s.back() == '\\' || s.back() == '/')) s.pop_back();
  return s;
}

char pathSeparator() { return '\\'; }

int socketStartupError() {
  WSADATA data;
  int error = WSAStartup(MAKEWORD(2, 2), &data);
  if (error == 0) WSACleanup();
  return error;
}

void clearConsoleWindowIcons(const std::string& title) {
  HWND w = FindWindowA("ConsoleWindowClass", title.c_str());
  if (!w) return;
  SendMessageA(w, WM_SETICON, ICON_SMALL, 0);
  SendMessageA(w, WM_SETICON, ICON_BIG, 0);
}

bool openFailureMayPass() {
  // A file held open by another program without read sharing comes back as
  // an access failure; a missing file cannot pass.
  return errno != ENOENT;
}

}  // namespace plat
