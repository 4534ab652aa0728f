// The Linux window: SDL2, loaded at run time with dlopen so that the
// plug-in loads (and runs headless) where SDL2 or a display is missing.
// The canvas is copied to the window's own surface, dirty rectangles only.
#include <SDL2/SDL.h>
#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>

#include "presenter.h"

namespace owin {

bool keysGoToConsole() { return false; }
bool windowsCanPreview() { return false; }

namespace {

// The SDL entry points used, looked up by name.
struct Sdl {
  void* lib = nullptr;
#define OWIN_SDL_FUNCTIONS(X)                                                                           \
  X(SDL_InitSubSystem, int, (Uint32))                                                                   \
  X(SDL_QuitSubSystem, void, (Uint32))                                                                  \
  X(SDL_GetError, const char*, (void))                                                                  \
  X(SDL_GetCurrentVideoDriver, const char*, (void))                                                     \
  X(SDL_SetHint, SDL_bool, (const char*, const char*))                                                  \
  X(SDL_GetDesktopDisplayMode, int, (int, SDL_DisplayMode*))                                            \
  X(SDL_CreateWindow, SDL_Window*, (const char*, int, int, int, int, Uint32))                           \
  X(SDL_DestroyWindow, void, (SDL_Window*))                                                             \
  X(SDL_GetWindowID, Uint32, (SDL_Window*))                                                             \
  X(SDL_GetWindowSurface, SDL_Surface*, (SDL_Window*))                                                  \
  X(SDL_UpdateWindowSurfaceRects, int, (SDL_Window*, const SDL_Rect*, int))                             \
  X(SDL_ConvertPixels, int, (int, int, Uint32, const void*, int, Uint32, void*, int))                  \
  X(SDL_LockSurface, int, (SDL_Surface*))                                                               \
  X(SDL_UnlockSurface, void, (SDL_Surface*))                                                            \
  X(SDL_WaitEventTimeout, int, (SDL_Event*, int))                                                       \
  X(SDL_PollEvent, int, (SDL_Event*))                                                                   \
  X(SDL_ShowCursor, int, (int))                                                                         \
  X(SDL_StartTextInput, void, (void))                                                                   \
  X(SDL_RaiseWindow, void, (SDL_Window*))
#define OWIN_SDL_MEMBER(name, ret, args) ret(*name) args = nullptr;
  OWIN_SDL_FUNCTIONS(OWIN_SDL_MEMBER)
#undef OWIN_SDL_MEMBER

  bool load(std::string& why) {
    if (lib) return true;
    for (const char* name : {"libSDL2-2.0.so.0", "libSDL2.so"}) {
      lib = dlopen(name, RTLD_NOW | RTLD_LOCAL);
      if (lib) break;
    }
    if (!lib) {
      why = "no window: the SDL2 library (libSDL2-2.0.so.0) is not installed";
      return false;
    }
#define OWIN_SDL_LOOKUP(name, ret, args)                                   \
  name = reinterpret_cast<ret(*) args>(dlsym(lib, #name));                 \
  if (!name) {                                                             \
    why = std::string("no window: the SDL2 library lacks ") + #name;       \
    dlclose(lib);                                                          \
    lib = nullptr;                                                         \
    return false;                                                          \
  }
    OWIN_SDL_FUNCTIONS(OWIN_SDL_LOOKUP)
#undef OWIN_SDL_LOOKUP
    return true;
  }
};

Sdl& sdl() {
  static Sdl s;  // the library stays loaded once used: SDL keeps threads
  return s;
}

int specialKey(SDL_Keycode k) {
  switch (k) {
    case SDLK_UP: return 72;
    case SDLK_DOWN: return 80;
    case SDLK_LEFT: return 75;
    case SDLK_RIGHT: return 77;
    case SDLK_HOME: return 71;
    case SDLK_END: return 79;
    case SDLK_PAGEUP: return 73;
    case SDLK_PAGEDOWN: return 81;
    case SDLK_INSERT: return 82;
    case SDLK_DELETE: return 83;
    case SDLK_F11: return 133;
    default: break;
  }
  if (k >= SDLK_F1 && k <= SDLK_F10) return 59 + (k - SDLK_F1);
  return 0;
}

class SdlPresenter final : public Presenter {
 public:
  ~SdlPresenter() override { close(); }

  bool open(const OpenRequest& r, std::string& why) override {
    Sdl& s = sdl();
    if (!s.load(why)) return false;
    s.SDL_SetHint("SDL_VIDEO_ALLOW_SCREENSAVER", "1");
    s.SDL_SetHint("SDL_MOUSE_FOCUS_CLICKTHROUGH", "1");
    // The canvas is copied as it is: no 3D renderer to start (which costs
    // a second under a software GL), the system's shared-memory images do.
    s.SDL_SetHint("SDL_FRAMEBUFFER_ACCELERATION", "0");
    if (s.SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
      why = std::string("no display available (") + s.SDL_GetError() + ")";
      return false;
    }
    videoUp_ = true;
    // Without a display SDL may fall back to a driver that shows nothing
    // (offscreen, dummy) or takes over the console (kmsdrm); a window
    // nobody can see is no window, unless the user asked for that driver.
    const char* driver = s.SDL_GetCurrentVideoDriver();
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    std::string name = driver ? driver : "";
    if ((!asked || !*asked) && name != "x11" && name != "wayland") {
      why = "no display available (no X11 or Wayland display; SDL offered '" + name + "')";
      s.SDL_QuitSubSystem(SDL_INIT_VIDEO);
      videoUp_ = false;
      return false;
    }
    SDL_DisplayMode mode{};
    int w = r.width, h = r.height;
    if (s.SDL_GetDesktopDisplayMode(0, &mode) == 0) {
      if (w <= 0) w = r.fullscreen ? mode.w : 1024;
      if (h <= 0) h = r.fullscreen ? mode.h : 768;
    }
    if (w <= 0) w = 1024;
    if (h <= 0) h = 768;
    Uint32 flags = SDL_WINDOW_SHOWN;
    if (r.fullscreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    window_ = s.SDL_CreateWindow(r.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, w, h, flags);
    if (!window_) {
      why = std::string("can't open a window (") + s.SDL_GetError() + ")";
      close();
      return false;
    }
    SDL_Surface* surface = s.SDL_GetWindowSurface(window_);
    if (!surface) {
      why = std::string("can't draw into the window (") + s.SDL_GetError() + ")";
      close();
      return false;
    }
    // The canvas keeps the size asked for; a full-screen window takes the
    // size the system gave it.
    width_ = r.fullscreen ? surface->w : w;
    height_ = r.fullscreen ? surface->h : h;
    fullscreen_ = r.fullscreen;
    if (fullscreen_) s.SDL_ShowCursor(SDL_DISABLE);
    s.SDL_StartTextInput();
    s.SDL_RaiseWindow(window_);
    opened_ = std::chrono::steady_clock::now();
    return true;
  }

  int width() const override { return width_; }
  int height() const override { return height_; }
  int64_t handle() const override { return window_ ? sdl().SDL_GetWindowID(window_) : 0; }

  void present(const Canvas& c, const Rect& dirty) override {
    if (!window_) return;
    Sdl& s = sdl();
    SDL_Surface* surface = s.SDL_GetWindowSurface(window_);
    if (!surface) return;
    SDL_Rect r;
    r.x = std::max(0, dirty.x0);
    r.y = std::max(0, dirty.y0);
    r.w = std::min({dirty.x1, c.width(), surface->w}) - r.x;
    r.h = std::min({dirty.y1, c.height(), surface->h}) - r.y;
    if (r.w <= 0 || r.h <= 0) return;
    if (SDL_MUSTLOCK(surface) && s.SDL_LockSurface(surface) != 0) return;
    const uint32_t* src = c.pixels() + static_cast<size_t>(r.y) * c.width() + r.x;
    uint8_t* dst = static_cast<uint8_t*>(surface->pixels) + static_cast<size_t>(r.y) * surface->pitch +
                   static_cast<size_t>(r.x) * surface->format->BytesPerPixel;
    s.SDL_ConvertPixels(r.w, r.h, SDL_PIXELFORMAT_RGB888, src, c.width() * 4, surface->format->format, dst,
                        surface->pitch);
    if (SDL_MUSTLOCK(surface)) s.SDL_UnlockSurface(surface);
    s.SDL_UpdateWindowSurfaceRects(window_, &r, 1);
  }

  void pump(int waitMs, WindowEvents& ev) override {
    if (!window_) return;
    Sdl& s = sdl();
    SDL_Event e;
    bool got = waitMs > 0 ? s.SDL_WaitEventTimeout(&e, waitMs) != 0 : s.SDL_PollEvent(&e) != 0;
    while (got) {
      handle(e, ev);
      got = s.SDL_PollEvent(&e) != 0;
    }
  }

  void close() override {
    Sdl& s = sdl();
    if (window_) s.SDL_DestroyWindow(window_);
    window_ = nullptr;
    if (videoUp_) s.SDL_QuitSubSystem(SDL_INIT_VIDEO);
    videoUp_ = false;
  }

 private:
  void handle(const SDL_Event& e, WindowEvents& ev) {
    switch (e.type) {
      case SDL_QUIT: ev.closed = true; break;
      case SDL_WINDOWEVENT:
        switch (e.window.event) {
          case SDL_WINDOWEVENT_CLOSE: ev.closed = true; break;
          case SDL_WINDOWEVENT_EXPOSED:
          case SDL_WINDOWEVENT_RESTORED:
          case SDL_WINDOWEVENT_SIZE_CHANGED: ev.exposed = true; break;
          default: break;
        }
        break;
      case SDL_KEYDOWN: {
        SDL_Keycode k = e.key.keysym.sym;
        if (k == SDLK_F12) {
          if (!e.key.repeat) ev.screenshot = true;
        } else if (k == SDLK_ESCAPE) {
          ev.keys.push_back(27);
        } else if (k == SDLK_RETURN || k == SDLK_KP_ENTER) {
          ev.keys.push_back(13);
        } else if (k == SDLK_BACKSPACE) {
          ev.keys.push_back(8);
        } else if (k == SDLK_TAB) {
          ev.keys.push_back(9);
        } else if (int sc = specialKey(k)) {
          ev.keys.push_back(224);
          ev.keys.push_back(sc);
        } else if ((e.key.keysym.mod & KMOD_CTRL) && k >= SDLK_a && k <= SDLK_z) {
          ev.keys.push_back(static_cast<int>(k - SDLK_a + 1));
        }
        break;
      }
      case SDL_TEXTINPUT:
        for (const char* p = e.text.text; *p; ++p) {
          unsigned char c = static_cast<unsigned char>(*p);
          if (c >= 32 && c < 127) ev.keys.push_back(c);
        }
        break;
      case SDL_MOUSEBUTTONDOWN:
        if (fullscreen_) ev.mouseExit = true;
        break;
      case SDL_MOUSEMOTION:
        if (!fullscreen_) break;
        // The screensaver ends on a real movement; the first report only
        // tells where the pointer is, and the first moments after opening
        // are ignored (the window appearing under the pointer moves it).
        if (std::chrono::steady_clock::now() - opened_ < std::chrono::milliseconds(500)) break;
        if (!haveMouse_) {
          haveMouse_ = true, mouseX_ = e.motion.x, mouseY_ = e.motion.y;
        } else if (std::abs(e.motion.x - mouseX_) > kMouseSlack || std::abs(e.motion.y - mouseY_) > kMouseSlack) {
          ev.mouseExit = true;
        }
        break;
      default: break;
    }
  }

  static constexpr int kMouseSlack = 5;
  SDL_Window* window_ = nullptr;
  bool videoUp_ = false, fullscreen_ = false, haveMouse_ = false;
  int width_ = 0, height_ = 0, mouseX_ = 0, mouseY_ = 0;
  std::chrono::steady_clock::time_point opened_{};
};

}  // namespace

std::unique_ptr<Presenter> makeWindowPresenter() { return std::make_unique<SdlPresenter>(); }

}  // namespace owin
