// Sound output: WAV images played asynchronously on one process-wide
// channel, plus one-off effects mixed over it (bell strokes). Self-contained
// (nothing from the interpreter), so a plug-in can compile it in as well.
// The POSIX backend loads SDL2 at run time; without SDL2 or without an audio
// device every call answers false and nothing is played. The Win32 backend
// plays through PlaySoundA from winmm.dll, loaded at run time (effects too,
// so an effect replaces the main channel there).
//
// Sources: platform/sound_wav.cpp plus platform/posix/sound_posix.cpp or
// platform/win32/sound_win32.cpp (the POSIX one mixes in its own code).
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace plat {

struct WavFormat {
  int channels = 0;
  int sampleRate = 0;
  int bitsPerSample = 0;
  size_t dataOffset = 0;  // first byte of the sample data in the image
  size_t dataBytes = 0;   // sample data bytes (clamped to the image)
  bool isFloat = false;   // IEEE float samples (32 or 64 bits) rather than integers
  int blockAlign = 0;     // bytes per frame (all channels)
  size_t frames() const { return blockAlign > 0 ? dataBytes / size_t(blockAlign) : 0; }
};

// Reads the header of a RIFF/WAVE image; false, with a reason, when it is
// not a PCM WAV this layer can play.
bool parseWav(std::string_view image, WavFormat& format, std::string& why);

// One sample of a parsed image as a value from -1 to 1; frame must be below
// format.frames() and channel below format.channels.
float wavSample(std::string_view image, const WavFormat& format, size_t frame, int channel);

// A mono 16-bit PCM WAV image of a square-ish tone (used by beep).
std::string makeToneWav(int frequencyHz, int durationMs, int sampleRate = 22050);

// True when sound can be played (library and device available).
bool soundAvailable();

// Plays a WAV image on the main channel, replacing what it plays; with loop
// it repeats until stopWav. The image is kept alive while it plays. False
// when there is no sound or the image is not playable.
bool playWav(std::shared_ptr<const std::string> image, bool loop);

// Plays a WAV file on the main channel, as playWav; false when the file is
// missing or not playable (never a default sound).
bool playWavFile(const std::string& path, bool loop);

// Stops the main channel.
void stopWav();

// Plays a WAV image once, mixed over the main channel and other effects.
bool playEffect(std::shared_ptr<const std::string> image);

// A tone of the given frequency and length; waits until it has sounded.
bool beepTone(int frequencyHz, int durationMs);

}  // namespace plat
