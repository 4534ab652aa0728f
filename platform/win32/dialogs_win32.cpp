// Dialog boxes (Windows): the common file dialogs (comdlg32.dll), the
// shell's folder browser (shell32.dll), both looked up at run time, and a
// small text-question dialog built from a template in memory.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <commdlg.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/win32/win32_helpers.h"

namespace plat {

using win32::procAddress;

namespace {

HWND ownerWindow() {
  using GetConsoleWindowFn = HWND(WINAPI*)();
  static auto getConsoleWindow = procAddress<GetConsoleWindowFn>("kernel32.dll", "GetConsoleWindow");
  return getConsoleWindow ? getConsoleWindow() : nullptr;
}

// Closes every dialog of this thread as cancelled, for the automatic
// cancel; a periodic thread timer keeps trying until the dialog is up.
BOOL CALLBACK cancelDialog(HWND hwnd, LPARAM) {
  char cls[16] = {0};
  GetClassNameA(hwnd, cls, sizeof cls);
  if (std::strcmp(cls, "#32770") == 0) PostMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
  return TRUE;
}

void CALLBACK autoCancelTick(HWND, UINT, UINT_PTR, DWORD) { EnumThreadWindows(GetCurrentThreadId(), cancelDialog, 0); }

class AutoCancel {
 public:
  explicit AutoCancel(int ms) : id_(ms > 0 ? SetTimer(nullptr, 0, static_cast<UINT>(ms), autoCancelTick) : 0) {}
  ~AutoCancel() {
    if (id_) KillTimer(nullptr, id_);
  }
  AutoCancel(const AutoCancel&) = delete;
  AutoCancel& operator=(const AutoCancel&) = delete;

 private:
  UINT_PTR id_;
};

std::wstring wide(const std::string& s) {
  int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, nullptr, 0);
  std::wstring w(n > 0 ? static_cast<size_t>(n) : 1, L'\0');
  MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, w.data(), n);
  w.resize(w.size() - 1);  // the terminating zero
  return w;
}

// ---- the text question: a dialog template assembled in memory

class TemplateBuilder {
 public:
  void align4() {
    while (data_.size() % 4) data_.push_back(0);
  }
  void word(WORD w) {
    data_.push_back(static_cast<unsigned char>(w & 0xFF));
    data_.push_back(static_cast<unsigned char>(w >> 8));
  }
  void dword(DWORD d) {
    word(static_cast<WORD>(d & 0xFFFF));
    word(static_cast<WORD>(d >> 16));
  }
  void text(const std::wstring& s) {
    for (wchar_t c : s) word(static_cast<WORD>(c));
    word(0);
  }
  // One control: class atom 0x80 button, 0x81 edit, 0x82 static.
  void item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD classAtom, const std::wstring& title) {
    align4();
    dword(style | WS_CHILD | WS_VISIBLE);
    dword(0);  // extended style
    word(static_cast<WORD>(x));
    word(static_cast<WORD>(y));
    word(static_cast<WORD>(cx));
    word(static_cast<WORD>(cy));
    word(id);
    word(0xFFFF);
    word(classAtom);
    text(title);
    word(0);  // no creation data
  }
  std::vector<unsigned char>& bytes() { return data_; }

 private:
  std::vector<unsigned char> data_;
};

constexpr WORD kEditId = 100;
constexpr WORD kQuestionId = 101;

struct TextQuestion {
  const std::string* initial;
  std::string answer;
};

INT_PTR CALLBACK textQuestionProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_INITDIALOG) {
    SetWindowLongPtrA(dlg, DWLP_USER, lp);
    auto* q = reinterpret_cast<TextQuestion*>(lp);
    SetDlgItemTextA(dlg, kEditId, q->initial->c_str());
    HWND edit = GetDlgItem(dlg, kEditId);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SetFocus(edit);
    SetForegroundWindow(dlg);
    return FALSE;  // the focus was set here
  }
  if (msg == WM_COMMAND) {
    WORD id = LOWORD(wp);
    if (id == IDOK) {
      auto* q = reinterpret_cast<TextQuestion*>(GetWindowLongPtrA(dlg, DWLP_USER));
      HWND edit = GetDlgItem(dlg, kEditId);
      int n = GetWindowTextLengthA(edit);
      std::string s(static_cast<size_t>(n > 0 ? n : 0) + 1, '\0');
      GetWindowTextA(edit, s.data(), n + 1);
      s.resize(std::strlen(s.c_str()));
      q->answer = s;
      EndDialog(dlg, IDOK);
      return TRUE;
    }
    if (id == IDCANCEL) {
      EndDialog(dlg, IDCANCEL);
      return TRUE;
    }
  }
  return FALSE;
}

// The common dialogs want a buffer for the chosen path.
constexpr DWORD kPathBuffer = 32768;

DialogOutcome fileDialog(bool save, const std::string& title, const std::string& initial, std::string& path,
                         int autoCancelMs) {
  using FileDialogFn = BOOL(WINAPI*)(LPOPENFILENAMEA);
  static auto openFn = procAddress<FileDialogFn>("comdlg32.dll", "GetOpenFileNameA");
  static auto saveFn = procAddress<FileDialogFn>("comdlg32.dll", "GetSaveFileNameA");
  FileDialogFn fn = save ? saveFn : openFn;
  if (!fn) return DialogOutcome::Unavailable;
  std::vector<char> buf(kPathBuffer, '\0');
  std::string folder;
  // An initial folder opens the dialog there; an initial file name is
  // offered in the name field.
  DWORD attr = initial.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(initial.c_str());
  if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY)) folder = initial;
  else if (initial.size() < kPathBuffer) std::memcpy(buf.data(), initial.data(), initial.size());
  OPENFILENAMEA ofn;
  std::memset(&ofn, 0, sizeof ofn);
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = ownerWindow();
  ofn.lpstrFilter = "All files (*.*)\0*.*\0";
  ofn.lpstrFile = buf.data();
  ofn.nMaxFile = kPathBuffer;
  ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
              (save ? OFN_OVERWRITEPROMPT : (OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST));
  AutoCancel cancel(autoCancelMs);
  if (!fn(&ofn)) {
    using ErrorFn = DWORD(WINAPI*)();
    static auto extendedError = procAddress<ErrorFn>("comdlg32.dll", "CommDlgExtendedError");
    if (extendedError && extendedError() != 0) return DialogOutcome::Unavailable;
    return DialogOutcome::Cancelled;
  }
  path = buf.data();
  return DialogOutcome::Chosen;
}

int CALLBACK browseCallback(HWND hwnd, UINT msg, LPARAM, LPARAM data) {
  if (msg == BFFM_INITIALIZED && data) SendMessageA(hwnd, BFFM_SETSELECTIONA, TRUE, data);
  return 0;
}

}  // namespace

bool dialogsAvailable() {
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  if (in == nullptr || in == INVALID_HANDLE_VALUE) return true;  // a program without a console
  DWORD mode = 0;
  return GetConsoleMode(in, &mode) != 0;  // input from a file or pipe: ask there
}

DialogOutcome askTextDialog(const std::string& title, const std::string& question, const std::string& initial,
                            std::string& answer, int autoCancelMs) {
  // Layout in dialog units: the question above a one-line field, OK and
  // Cancel below it on the right.
  TemplateBuilder t;
  t.dword(DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU);
  t.dword(0);
  t.word(4);  // controls
  t.word(0);
  t.word(0);
  t.word(260);
  t.word(86);
  t.word(0);  // no menu
  t.word(0);  // the standard dialog class
  t.text(wide(title.empty() ? std::string("Input") : title));
  t.word(8);
  t.text(L"MS Shell Dlg");
  t.item(SS_LEFT, 8, 8, 244, 32, kQuestionId, 0x82, wide(question));
  t.item(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 8, 44, 244, 14, kEditId, 0x81, L"");
  t.item(BS_DEFPUSHBUTTON | WS_TABSTOP, 148, 64, 50, 14, IDOK, 0x80, L"OK");
  t.item(BS_PUSHBUTTON | WS_TABSTOP, 202, 64, 50, 14, IDCANCEL, 0x80, L"Cancel");
  std::vector<unsigned char>& bytes = t.bytes();
  // The template must be DWORD-aligned in memory.
  std::vector<DWORD> aligned((bytes.size() + 3) / 4, 0);
  std::memcpy(aligned.data(), bytes.data(), bytes.size());
  TextQuestion q{&initial, {}};
  AutoCancel cancel(autoCancelMs);
  INT_PTR r = DialogBoxIndirectParamA(GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(aligned.data()),
                                      ownerWindow(), textQuestionProc, reinterpret_cast<LPARAM>(&q));
  if (r == -1 || r == 0) return DialogOutcome::Unavailable;
  if (r != IDOK) return DialogOutcome::Cancelled;
  answer = q.answer;
  return DialogOutcome::Chosen;
}

DialogOutcome askOpenFileDialog(const std::string& title, const std::string& initial, std::string& path,
                                int autoCancelMs) {
  return fileDialog(false, title, initial, path, autoCancelMs);
}

DialogOutcome askSaveFileDialog(const std::string& title, const std::string& initial, std::string& path,
                                int autoCancelMs) {
  return fileDialog(true, title, initial, path, autoCancelMs);
}

DialogOutcome askFolderDialog(const std::string& title, const std::string& initial, std::string& path,
                              int autoCancelMs) {
  using BrowseFn = LPITEMIDLIST(WINAPI*)(LPBROWSEINFOA);
  using PathFn = BOOL(WINAPI*)(LPCITEMIDLIST, LPSTR);
  using FreeFn = void(WINAPI*)(LPVOID);
  using CoInitializeExFn = HRESULT(WINAPI*)(LPVOID, DWORD);
  using CoUninitializeFn = void(WINAPI*)();
  static auto browse = procAddress<BrowseFn>("shell32.dll", "SHBrowseForFolderA");
  static auto pathOf = procAddress<PathFn>("shell32.dll", "SHGetPathFromIDListA");
  static auto taskFree = procAddress<FreeFn>("ole32.dll", "CoTaskMemFree");
  static auto coInit = procAddress<CoInitializeExFn>("ole32.dll", "CoInitializeEx");
  static auto coUninit = procAddress<CoUninitializeFn>("ole32.dll", "CoUninitialize");
  if (!browse || !pathOf || !taskFree) return DialogOutcome::Unavailable;
  HRESULT init = coInit ? coInit(nullptr, COINIT_APARTMENTTHREADED) : E_FAIL;
  char display[MAX_PATH + 1] = {0};
  BROWSEINFOA bi;
  std::memset(&bi, 0, sizeof bi);
  bi.hwndOwner = ownerWindow();
  bi.pszDisplayName = display;
  bi.lpszTitle = title.empty() ? "Choose a folder" : title.c_str();
  bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  bi.lpfn = browseCallback;
  bi.lParam = initial.empty() ? 0 : reinterpret_cast<LPARAM>(initial.c_str());
  DialogOutcome outcome = DialogOutcome::Cancelled;
  {
    AutoCancel cancel(autoCancelMs);
    LPITEMIDLIST id = browse(&bi);
    if (id) {
      char buf[MAX_PATH + 1] = {0};
      if (pathOf(id, buf)) {
        path = buf;
        outcome = DialogOutcome::Chosen;
      }
      taskFree(id);
    }
  }
  if (SUCCEEDED(init) && coUninit) coUninit();
  return outcome;
}

}  // namespace plat
