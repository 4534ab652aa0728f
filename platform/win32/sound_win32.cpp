// Sound through PlaySoundA from winmm.dll, loaded at run time; without it
// nothing is played and every call answers false. PlaySoundA plays one
// sound at a time, so an effect replaces the main channel here. The
// library stays loaded once found: an asynchronous sound still plays from
// it after PlaySoundA returns.
#include <windows.h>

#include <fstream>
#include <iterator>

#include "platform/sound.h"

namespace plat {

namespace {

constexpr DWORD kSndAsync = 0x0001, kSndNoDefault = 0x0002, kSndMemory = 0x0004, kSndLoop = 0x0008,
                kSndFilename = 0x00020000;

using PlaySoundFn = BOOL(WINAPI*)(LPCSTR, HMODULE, DWORD);

PlaySoundFn playSoundA() {
  static bool tried = false;
  static PlaySoundFn fn = nullptr;
  if (!tried) {
    tried = true;
    if (HMODULE lib = LoadLibraryA("winmm.dll")) {
      fn = reinterpret_cast<PlaySoundFn>(reinterpret_cast<void*>(GetProcAddress(lib, "PlaySoundA")));
      if (!fn) FreeLibrary(lib);
    }
  }
  return fn;
}

// The image PlaySoundA is playing from memory; kept until the next call.
std::shared_ptr<const std::string>& playingImage() {
  static std::shared_ptr<const std::string> image;
  return image;
}

bool playMemory(std::shared_ptr<const std::string> image, bool loop) {
  PlaySoundFn fn = playSoundA();
  if (!fn || !image) return false;
  WavFormat f;
  std::string why;
  if (!parseWav(*image, f, why)) return false;  // never hand PlaySoundA a malformed image
  fn(nullptr, nullptr, 0);                       // stop before the old image is released
  playingImage() = std::move(image);
  DWORD flags = kSndMemory | kSndNoDefault | kSndAsync | (loop ? kSndLoop : 0);
  if (fn(playingImage()->data(), nullptr, flags)) return true;
  playingImage().reset();
  return false;
}

}  // namespace

bool soundAvailable() { return playSoundA() != nullptr; }

bool playWav(std::shared_ptr<const std::string> image, bool loop) { return playMemory(std::move(image), loop); }

bool playWavFile(const std::string& path, bool loop) {
  PlaySoundFn fn = playSoundA();
  if (!fn || path.empty()) return false;
  // An asynchronous PlaySoundA answers TRUE before it has opened the file:
  // check here that it is there and playable, so a missing file gives false.
  std::ifstream f(path, std::ios::binary);
  if (!f) return false;
  std::string image((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  WavFormat format;
  std::string why;
  if (f.bad() || !parseWav(image, format, why)) return false;
  fn(nullptr, nullptr, 0);
  playingImage().reset();
  DWORD flags = kSndFilename | kSndNoDefault | kSndAsync | (loop ? kSndLoop : 0);
  return fn(path.c_str(), nullptr, flags) != FALSE;
}

void stopWav() {
  if (PlaySoundFn fn = playSoundA()) fn(nullptr, nullptr, 0);
  playingImage().reset();
}

bool playEffect(std::shared_ptr<const std::string> image) { return playMemory(std::move(image), false); }

bool beepTone(int frequencyHz, int durationMs) {
  if (durationMs <= 0) return true;
  if (frequencyHz < 37) frequencyHz = 37;  // the range Beep accepts
  if (frequencyHz > 32767) frequencyHz = 32767;
  ULONGLONG start = GetTickCount64();
  bool ok = Beep(DWORD(frequencyHz), DWORD(durationMs)) != FALSE;
  // Without a speaker Beep may return at once: the tone still takes its time.
  ULONGLONG spent = GetTickCount64() - start;
  if (spent < ULONGLONG(durationMs)) Sleep(DWORD(ULONGLONG(durationMs) - spent));
  return ok;
}

}  // namespace plat
