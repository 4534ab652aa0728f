// The Windows window: a plain GDI window (full-screen popup, sized window,
// or a child of the screensaver preview window) showing the canvas as a
// 32-bit device-independent bitmap. Keys typed into it go into the
// console's input buffer, so the console key commands read them as if they
// were typed at the console.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>

#include "presenter.h"

namespace owin {

namespace {

const char kClassName[] = "OrvelWinCanvas";

HANDLE consoleInput() {
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  if (in == nullptr || in == INVALID_HANDLE_VALUE || !GetConsoleMode(in, &mode)) return nullptr;
  return in;
}

int specialKey(WPARAM vk) {
  switch (vk) {
    case VK_UP: return 72;
    case VK_DOWN: return 80;
    case VK_LEFT: return 75;
    case VK_RIGHT: return 77;
    case VK_HOME: return 71;
    case VK_END: return 79;
    case VK_PRIOR: return 73;
    case VK_NEXT: return 81;
    case VK_INSERT: return 82;
    case VK_DELETE: return 83;
    case VK_F11: return 133;
    default: break;
  }
  if (vk >= VK_F1 && vk <= VK_F10) return 59 + static_cast<int>(vk - VK_F1);
  return 0;
}

class Win32Presenter final : public Presenter {
 public:
  ~Win32Presenter() override { close(); }

  bool open(const OpenRequest& r, std::string& why) override {
    HINSTANCE inst = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = &Win32Presenter::proc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    RegisterClassA(&wc);  // fails harmlessly when registered already
    fullscreen_ = r.fullscreen && !r.parent;
    DWORD style = 0, exStyle = 0;
    int x = CW_USEDEFAULT, y = CW_USEDEFAULT, w = r.width, h = r.height;
    HWND parent = nullptr;
    if (r.parent) {
      parent = reinterpret_cast<HWND>(static_cast<intptr_t>(r.parent));
      if (!IsWindow(parent)) {
        why = "no window with the handle " + std::to_string(r.parent);
        return false;
      }
      RECT rc{};
      GetClientRect(parent, &rc);
      x = 0, y = 0, w = rc.right - rc.left, h = rc.bottom - rc.top;
      style = WS_CHILD | WS_VISIBLE;
      preview_ = true;
    } else if (fullscreen_) {
      x = 0, y = 0;
      if (w <= 0) w = GetSystemMetrics(SM_CXSCREEN);
      if (h <= 0) h = GetSystemMetrics(SM_CYSCREEN);
      style = WS_POPUP | WS_VISIBLE;
      exStyle = WS_EX_TOPMOST;
    } else {
      if (w <= 0) w = 1024;
      if (h <= 0) h = 768;
      style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
      RECT rc{0, 0, w, h};
      AdjustWindowRectEx(&rc, style, FALSE, exStyle);
      w = rc.right - rc.left, h = rc.bottom - rc.top;
    }
    hwnd_ = CreateWindowExA(exStyle, kClassName, r.title.c_str(), style, x, y, w, h, parent, nullptr, inst, this);
    if (!hwnd_) {
      why = "can't open a window (error " + std::to_string(GetLastError()) + ")";
      return false;
    }
    RECT client{};
    GetClientRect(hwnd_, &client);
    width_ = client.right - client.left, height_ = client.bottom - client.top;
    if (width_ <= 0 || height_ <= 0) width_ = std::max(1, r.width), height_ = std::max(1, r.height);
    if (!preview_) SetForegroundWindow(hwnd_);
    opened_ = std::chrono::steady_clock::now();
    return true;
  }

  int width() const override { return width_; }
  int height() const override { return height_; }
  int64_t handle() const override { return static_cast<int64_t>(reinterpret_cast<intptr_t>(hwnd_)); }

  void present(const Canvas& c, const Rect&) override {
    canvas_ = &c;
    if (!hwnd_) return;
    HDC dc = GetDC(hwnd_);
    if (!dc) return;
    blit(dc);
    ReleaseDC(hwnd_, dc);
  }

  void pump(int waitMs, WindowEvents& ev) override {
    events_ = &ev;
    if (waitMs > 0) MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(waitMs), QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (closed_) ev.closed = true;
    events_ = nullptr;
  }

  void close() override {
    if (hwnd_) {
      SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
      DestroyWindow(hwnd_);
    }
    hwnd_ = nullptr;
    canvas_ = nullptr;
  }

 private:
  void blit(HDC dc) {
    if (!canvas_ || canvas_->width() <= 0) return;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = canvas_->width();
    bi.bmiHeader.biHeight = -canvas_->height();  // top-down rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    StretchDIBits(dc, 0, 0, canvas_->width(), canvas_->height(), 0, 0, canvas_->width(), canvas_->height(),
                  canvas_->pixels(), &bi, DIB_RGB_COLORS, SRCCOPY);
  }

  void key(int code) {
    if (events_) events_->keys.push_back(code);
  }

  // Keys go to the console's input buffer when there is a console.
  void consoleKey(WORD vk, WORD scan, char ch, DWORD control) {
    HANDLE in = consoleInput();
    if (!in) return;
    INPUT_RECORD rec{};
    rec.EventType = KEY_EVENT;
    rec.Event.KeyEvent.bKeyDown = TRUE;
    rec.Event.KeyEvent.wRepeatCount = 1;
    rec.Event.KeyEvent.wVirtualKeyCode = vk;
    rec.Event.KeyEvent.wVirtualScanCode = scan;
    rec.Event.KeyEvent.uChar.AsciiChar = ch;
    rec.Event.KeyEvent.dwControlKeyState = control;
    DWORD written = 0;
    WriteConsoleInputA(in, &rec, 1, &written);
  }

  LRESULT handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
      case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        blit(dc);
        EndPaint(hwnd_, &ps);
        if (painted_ && events_) events_->exposed = true;
        painted_ = true;
        return 0;
      }
      case WM_ERASEBKGND: return 1;
      case WM_SIZE:
        if (wp == SIZE_RESTORED && minimised_ && events_) events_->exposed = true;
        minimised_ = wp == SIZE_MINIMIZED;
        break;
      case WM_CLOSE:
        closed_ = true;
        return 0;  // the script closes the window itself
      case WM_DESTROY: closed_ = true; break;
      case WM_SETCURSOR:
        if (fullscreen_ && LOWORD(lp) == HTCLIENT) {
          SetCursor(nullptr);
          return TRUE;
        }
        break;
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
        if (wp == VK_F12) {
          if (!(lp & (1 << 30)) && events_) events_->screenshot = true;
          return 0;
        }
        if (int sc = specialKey(wp)) {
          if (consoleInput())
            consoleKey(static_cast<WORD>(wp), static_cast<WORD>((lp >> 16) & 0xFF), 0, (lp & (1 << 24)) ? ENHANCED_KEY : 0);
          else
            key(224), key(sc);
          return 0;
        }
        break;
      case WM_CHAR: {
        unsigned char ch = static_cast<unsigned char>(wp & 0xFF);
        if (consoleInput())
          consoleKey(static_cast<WORD>(VkKeyScanA(static_cast<char>(ch)) & 0xFF), static_cast<WORD>((lp >> 16) & 0xFF),
                     static_cast<char>(ch), 0);
        else
          key(ch);
        return 0;
      }
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN:
        if (fullscreen_ && events_) events_->mouseExit = true;
        break;
      case WM_MOUSEMOVE: {
        if (!fullscreen_ || std::chrono::steady_clock::now() - opened_ < std::chrono::milliseconds(500)) break;
        int mx = static_cast<short>(LOWORD(lp)), my = static_cast<short>(HIWORD(lp));
        if (!haveMouse_) {
          haveMouse_ = true, mouseX_ = mx, mouseY_ = my;
        } else if ((std::abs(mx - mouseX_) > 5 || std::abs(my - mouseY_) > 5) && events_) {
          events_->mouseExit = true;
        }
        break;
      }
      default: break;
    }
    return DefWindowProcA(hwnd_, msg, wp, lp);
  }

  static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
      auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
      auto* self = static_cast<Win32Presenter*>(cs->lpCreateParams);
      self->hwnd_ = hwnd;
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Win32Presenter*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
    return self->handle(msg, wp, lp);
  }

  HWND hwnd_ = nullptr;
  const Canvas* canvas_ = nullptr;
  WindowEvents* events_ = nullptr;
  bool fullscreen_ = false, preview_ = false, closed_ = false, painted_ = false, minimised_ = false, haveMouse_ = false;
  int width_ = 0, height_ = 0, mouseX_ = 0, mouseY_ = 0;
  std::chrono::steady_clock::time_point opened_{};
};

}  // namespace

bool keysGoToConsole() { return consoleInput() != nullptr; }
bool windowsCanPreview() { return true; }

std::unique_ptr<Presenter> makeWindowPresenter() { return std::make_unique<Win32Presenter>(); }

}  // namespace owin
