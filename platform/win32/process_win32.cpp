// Child processes for Windows: CreateProcessA with inherited handles, the
// command interpreter named by COMSPEC. ShellExecuteExA (shell32.dll) and
// the token queries are loaded or used at run time.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "platform/console.h"
#include "platform/event_pump.h"
#include "platform/process.h"
#include "platform/system.h"

namespace plat {

namespace {

struct Handle {
  HANDLE h = nullptr;
  Handle() = default;
  explicit Handle(HANDLE v) : h(v) {}
  ~Handle() { reset(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  void reset() {
    if (h && h != INVALID_HANDLE_VALUE) CloseHandle(h);
    h = nullptr;
  }
};

std::vector<char> mutableLine(const std::string& s) {
  std::vector<char> buf(s.begin(), s.end());
  buf.push_back('\0');
  return buf;
}

std::string comspec() {
  std::string shell;
  if (!getEnv("COMSPEC", shell) || shell.empty()) shell = "cmd.exe";
  return shell;
}

std::string errorText(DWORD code) {
  char* msg = nullptr;
  DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, code, 0, reinterpret_cast<LPSTR>(&msg), 0, nullptr);
  std::string text = n && msg ? std::string(msg, n) : "error " + std::to_string(code);
  if (msg) LocalFree(msg);
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

// An inheritable copy of one of this process's standard handles, so that
// a child started with STARTF_USESTDHANDLES can use it.
HANDLE inheritableStd(DWORD which) {
  HANDLE h = GetStdHandle(which), dup = nullptr;
  if (!h || h == INVALID_HANDLE_VALUE) return nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), h, GetCurrentProcess(), &dup, 0, TRUE, DUPLICATE_SAME_ACCESS))
    return nullptr;
  return dup;
}

}  // namespace

bool runCommandLine(const std::string& line, int& exitCode) { return runShell(line, exitCode); }

bool runInteractiveShell(const std::string& line, int& exitCode) {
  if (line.find('\0') != std::string::npos) return false;
  std::string cmd = comspec() + " /K " + line;
  std::vector<char> buf = mutableLine(cmd);
  std::string title = "Command Shell";
  flushOut();
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.lpTitle = title.data();
  Handle in(inheritableStd(STD_INPUT_HANDLE)), out(inheritableStd(STD_OUTPUT_HANDLE)),
      err(inheritableStd(STD_ERROR_HANDLE));
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = in.h;
  si.hStdOutput = out.h;
  si.hStdError = err.h;
  PROCESS_INFORMATION pi{};
  BOOL ok = CreateProcessA(nullptr, buf.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
  in.reset();
  out.reset();
  err.reset();
  if (!ok) return false;
  Handle process(pi.hProcess), thread(pi.hThread);
  for (;;) {
    DWORD r = MsgWaitForMultipleObjects(1, &pi.hProcess, FALSE, INFINITE, QS_ALLINPUT);
    if (r == WAIT_OBJECT_0 + 1) {
      MSG msg;
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
      runEventPumps();
      continue;
    }
    if (r == WAIT_OBJECT_0) break;
    // A failed wait: fall back to a plain wait so the child is still reaped.
    WaitForSingleObject(pi.hProcess, INFINITE);
    break;
  }
  DWORD code = 0;
  exitCode = GetExitCodeProcess(pi.hProcess, &code) ? static_cast<int>(code) : -1;
  return true;
}

SpawnResult spawnCaptured(const std::vector<std::string>& words, bool noWait,
                          const std::function<void(const char*, size_t)>& onChunk) {
  SpawnResult res;
  for (size_t i = 0; i < words.size(); i++) {
    if (i) res.commandLine += ' ';
    if (words[i].find(' ') != std::string::npos) res.commandLine += '"' + words[i] + '"';
    else res.commandLine += words[i];
  }
  if (words.empty() || words[0].empty()) {
    res.error = "no program given";
    return res;
  }
  if (res.commandLine.find('\0') != std::string::npos) {
    res.error = "a word holds a NUL character";
    return res;
  }
  SECURITY_ATTRIBUTES sa{};
  sa.nLength = sizeof sa;
  sa.bInheritHandle = TRUE;
  Handle readEnd, writeEnd;
  if (!noWait) {
    if (!CreatePipe(&readEnd.h, &writeEnd.h, &sa, 0)) {
      res.pipeFailed = true;
      res.error = errorText(GetLastError());
      return res;
    }
    SetHandleInformation(readEnd.h, HANDLE_FLAG_INHERIT, 0);
  }
  Handle nul(CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0, nullptr));
  Handle ownOut, ownErr;
  if (noWait) {
    ownOut.h = inheritableStd(STD_OUTPUT_HANDLE);
    ownErr.h = inheritableStd(STD_ERROR_HANDLE);
  }
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = nul.h != INVALID_HANDLE_VALUE ? nul.h : nullptr;
  si.hStdOutput = noWait ? ownOut.h : writeEnd.h;
  si.hStdError = noWait ? ownErr.h : writeEnd.h;
  std::vector<char> buf = mutableLine(res.commandLine);
  PROCESS_INFORMATION pi{};
  flushOut();
  BOOL ok = CreateProcessA(nullptr, buf.data(), nullptr, nullptr, TRUE, noWait ? CREATE_NEW_PROCESS_GROUP : 0,
                           nullptr, nullptr, &si, &pi);
  writeEnd.reset();
  nul.reset();
  ownOut.reset();
  ownErr.reset();
  if (!ok) {
    res.error = errorText(GetLastError());
    return res;
  }
  res.started = true;
  Handle process(pi.hProcess), thread(pi.hThread);
  if (noWait) return res;
  std::vector<char> chunk(65536);
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(readEnd.h, chunk.data(), static_cast<DWORD>(chunk.size()), &n, nullptr) || n == 0) break;
    onChunk(chunk.data(), n);
  }
  readEnd.reset();
  WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD code = 0;
  res.exitCode = GetExitCodeProcess(pi.hProcess, &code) ? static_cast<int>(code) : -1;
  return res;
}

bool runsElevated() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  Handle t(token);
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  return GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) && elevation.TokenIsElevated;
}

bool startElevated(const std::string& parameters) {
  using ShellExecuteExFn = BOOL(WINAPI*)(SHELLEXECUTEINFOA*);
  HMODULE shell32 = LoadLibraryA("shell32.dll");
  FARPROC p = shell32 ? GetProcAddress(shell32, "ShellExecuteExA") : nullptr;
  auto fn = reinterpret_cast<ShellExecuteExFn>(reinterpret_cast<void (*)()>(p));
  bool ok = false;
  if (fn) {
    std::string file = modulePath();
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.lpVerb = "runas";
    info.lpFile = file.c_str();
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.nShow = SW_SHOWNORMAL;
    ok = fn(&info) != FALSE;
  }
  if (shell32) FreeLibrary(shell32);
  return ok;
}

}  // namespace plat
