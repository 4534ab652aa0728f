// Sound through SDL2's audio, loaded at run time with dlopen so that the
// program runs where SDL2 or an audio device is missing. One device is
// opened on first use; its callback mixes the main channel (replaced by
// every playWav, optionally looping) and any one-off effects, converting
// each image's samples and rate to the device's 16-bit stereo stream.
#include <dlfcn.h>
#include <time.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/sound.h"

namespace plat {

namespace {

// The parts of SDL2's audio interface used here (its ABI is stable).
struct SdlAudioSpec {
  int freq;
  uint16_t format;
  uint8_t channels;
  uint8_t silence;
  uint16_t samples;
  uint16_t padding;
  uint32_t size;
  void (*callback)(void* userdata, uint8_t* stream, int len);
  void* userdata;
};
constexpr uint32_t kSdlInitAudio = 0x10;
constexpr uint16_t kAudioS16Lsb = 0x8010;
constexpr int kOutRate = 44100;
constexpr int kOutChannels = 2;

struct Voice {
  std::shared_ptr<const std::string> image;
  WavFormat format;
  double pos = 0;   // position in source frames
  double step = 1;  // source frames per output frame
  bool loop = false;
  bool active = false;
};

class Mixer {
 public:
  ~Mixer() { shutdown(); }

  bool ready() {
    if (tried_) return device_ != 0;
    tried_ = true;
    open();
    return device_ != 0;
  }

  bool play(std::shared_ptr<const std::string> image, bool loop, bool effect) {
    if (!image || !ready()) return false;
    Voice v;
    std::string why;
    if (!parseWav(*image, v.format, why)) return false;
    v.image = std::move(image);
    v.step = double(v.format.sampleRate) / kOutRate;
    v.loop = loop && !effect;
    v.active = true;
    std::shared_ptr<const std::string> old;  // released outside the lock
    std::vector<Voice> finished;
    lock_(device_);
    if (effect) {
      reapLocked(finished);
      effects_.push_back(std::move(v));
    } else {
      old = std::move(main_.image);
      main_ = std::move(v);
    }
    unlock_(device_);
    return true;
  }

  void stopMain() {
    if (!device_) return;
    std::shared_ptr<const std::string> old;
    lock_(device_);
    old = std::move(main_.image);
    main_ = Voice();
    unlock_(device_);
  }

 private:
  using InitFn = int (*)(uint32_t);
  using QuitFn = void (*)(uint32_t);
  using OpenFn = uint32_t (*)(const char*, int, const SdlAudioSpec*, SdlAudioSpec*, int);
  using DevFn = void (*)(uint32_t);
  using PauseFn = void (*)(uint32_t, int);

  void open() {
    lib_ = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!lib_) lib_ = dlopen("libSDL2.so", RTLD_NOW | RTLD_LOCAL);
    if (!lib_) return;
    auto init = reinterpret_cast<InitFn>(dlsym(lib_, "SDL_InitSubSystem"));
    quit_ = reinterpret_cast<QuitFn>(dlsym(lib_, "SDL_QuitSubSystem"));
    auto openDev = reinterpret_cast<OpenFn>(dlsym(lib_, "SDL_OpenAudioDevice"));
    auto pause = reinterpret_cast<PauseFn>(dlsym(lib_, "SDL_PauseAudioDevice"));
    lock_ = reinterpret_cast<DevFn>(dlsym(lib_, "SDL_LockAudioDevice"));
    unlock_ = reinterpret_cast<DevFn>(dlsym(lib_, "SDL_UnlockAudioDevice"));
    close_ = reinterpret_cast<DevFn>(dlsym(lib_, "SDL_CloseAudioDevice"));
    if (!init || !quit_ || !openDev || !pause || !lock_ || !unlock_ || !close_ || init(kSdlInitAudio) != 0) {
      dlclose(lib_);
      lib_ = nullptr;
      return;
    }
    SdlAudioSpec want{};
    want.freq = kOutRate;
    want.format = kAudioS16Lsb;
    want.channels = kOutChannels;
    want.samples = 1024;
    want.callback = &Mixer::callback;
    want.userdata = this;
    SdlAudioSpec have{};
    device_ = openDev(nullptr, 0, &want, &have, 0);  // SDL converts to the device's own format
    if (!device_) {
      quit_(kSdlInitAudio);
      dlclose(lib_);
      lib_ = nullptr;
      return;
    }
    mixBuf_.resize(4096 * kOutChannels);
    pause(device_, 0);
  }

  void shutdown() {
    if (device_) {
      close_(device_);  // waits for the callback to finish
      device_ = 0;
      quit_(kSdlInitAudio);
    }
    // The library stays mapped: SDL may have left handlers registered.
  }

  // Drops finished effects (called with the device locked; the images are
  // handed back so that they are freed after unlocking).
  void reapLocked(std::vector<Voice>& out) {
    auto it = std::remove_if(effects_.begin(), effects_.end(), [&](Voice& v) {
      if (v.active) return false;
      out.push_back(std::move(v));
      return true;
    });
    effects_.erase(it, effects_.end());
  }

  static void callback(void* self, uint8_t* stream, int len) { static_cast<Mixer*>(self)->mix(stream, len); }

  void mix(uint8_t* stream, int len) {
    auto* out = reinterpret_cast<int16_t*>(stream);
    size_t left = size_t(len) / (2 * kOutChannels);
    const size_t chunk = mixBuf_.size() / kOutChannels;  // never allocate here
    while (left > 0) {
      size_t frames = std::min(left, chunk);
      std::fill(mixBuf_.begin(), mixBuf_.begin() + ptrdiff_t(frames * kOutChannels), 0.0f);
      addVoice(main_, frames);
      for (Voice& v : effects_) addVoice(v, frames);
      for (size_t i = 0; i < frames * kOutChannels; i++)
        *out++ = int16_t(std::lrint(std::clamp(mixBuf_[i], -1.0f, 1.0f) * 32767.0f));
      left -= frames;
    }
  }

  void addVoice(Voice& v, size_t frames) {
    if (!v.active || !v.image) return;
    const std::string& img = *v.image;
    const WavFormat& f = v.format;
    size_t total = f.frames();
    int right = f.channels > 1 ? 1 : 0;
    for (size_t i = 0; i < frames; i++) {
      if (v.pos >= double(total)) {
        if (!v.loop) {
          v.active = false;
          return;
        }
        v.pos = std::fmod(v.pos, double(total));
      }
      size_t a = size_t(v.pos);
      size_t b = a + 1 < total ? a + 1 : (v.loop ? 0 : a);
      float t = float(v.pos - double(a));
      float l = wavSample(img, f, a, 0) * (1 - t) + wavSample(img, f, b, 0) * t;
      float r = right ? wavSample(img, f, a, right) * (1 - t) + wavSample(img, f, b, right) * t : l;
      mixBuf_[i * 2] += l;
      mixBuf_[i * 2 + 1] += r;
      v.pos += v.step;
    }
  }

  bool tried_ = false;
  void* lib_ = nullptr;
  uint32_t device_ = 0;
  QuitFn quit_ = nullptr;
  DevFn lock_ = nullptr, unlock_ = nullptr, close_ = nullptr;
  Voice main_;
  std::vector<Voice> effects_;
  std::vector<float> mixBuf_;
};

Mixer& mixer() {
  static Mixer m;
  return m;
}

}  // namespace

bool soundAvailable() { return mixer().ready(); }

bool playWav(std::shared_ptr<const std::string> image, bool loop) { return mixer().play(std::move(image), loop, false); }

bool playWavFile(const std::string& path, bool loop) {
  if (path.empty()) return false;
  std::ifstream f(path, std::ios::binary);
  if (!f) return false;
  auto image = std::make_shared<std::string>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
  if (f.bad()) return false;
  return playWav(std::move(image), loop);
}

void stopWav() { mixer().stopMain(); }

bool playEffect(std::shared_ptr<const std::string> image) { return mixer().play(std::move(image), false, true); }

bool beepTone(int frequencyHz, int durationMs) {
  if (durationMs <= 0) return true;
  bool played = playEffect(std::make_shared<const std::string>(makeToneWav(frequencyHz, durationMs)));
  struct timespec ts{durationMs / 1000, long(durationMs % 1000) * 1000000L};
  while (nanosleep(&ts, &ts) != 0) {
  }
  return played;
}

}  // namespace plat
