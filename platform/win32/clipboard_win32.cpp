// The text clipboard (Windows): the system clipboard in its text format.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstring>

#include "platform/clipboard.h"
#include "platform/win32/win32_helpers.h"

namespace plat {

using win32::errorText;

namespace {

// Another program may hold the clipboard for a moment: try for about a
// quarter of a second.
bool openClipboard(std::string& err) {
  for (int i = 0; i < 25; i++) {
    if (OpenClipboard(nullptr)) return true;
    Sleep(10);
  }
  err = "the clipboard is in use (" + errorText(GetLastError()) + ")";
  return false;
}

}  // namespace

bool clipboardIsShared() { return true; }

bool clipboardRead(std::string& text, std::string& err) {
  text.clear();
  if (!IsClipboardFormatAvailable(CF_TEXT)) return true;
  if (!openClipboard(err)) return false;
  bool ok = true;
  if (HANDLE h = GetClipboardData(CF_TEXT)) {
    if (const char* p = static_cast<const char*>(GlobalLock(h))) {
      size_t cap = GlobalSize(h);
      text.assign(p, strnlen(p, cap));
      GlobalUnlock(h);
    } else {
      err = errorText(GetLastError());
      ok = false;
    }
  }
  CloseClipboard();
  return ok;
}

bool clipboardWrite(std::string_view text, std::string& err) {
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  if (!mem) {
    err = "out of memory";
    return false;
  }
  char* p = static_cast<char*>(GlobalLock(mem));
  if (!text.empty()) std::memcpy(p, text.data(), text.size());
  p[text.size()] = '\0';
  GlobalUnlock(mem);
  if (!openClipboard(err)) {
    GlobalFree(mem);
    return false;
  }
  EmptyClipboard();
  bool ok = SetClipboardData(CF_TEXT, mem) != nullptr;
  if (!ok) {
    err = errorText(GetLastError());
    GlobalFree(mem);  // still ours when the clipboard refused it
  }
  CloseClipboard();
  return ok;
}

bool clipboardClear(std::string& err) {
  if (!openClipboard(err)) return false;
  bool ok = EmptyClipboard() != 0;
  if (!ok) err = errorText(GetLastError());
  CloseClipboard();
  return ok;
}

}  // namespace plat
