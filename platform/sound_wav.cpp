// Reading WAV images: the RIFF chunk walk, the format chunk and sample
// conversion, shared by every sound backend.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/sound.h"

namespace plat {

namespace {
uint32_t le32(const unsigned char* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
uint16_t le16(const unsigned char* p) { return uint16_t(p[0] | p[1] << 8); }
void put32(std::string& s, uint32_t v) {
  for (int i = 0; i < 4; i++) s += char((v >> (8 * i)) & 0xFF);
}
void put16(std::string& s, uint16_t v) {
  s += char(v & 0xFF);
  s += char(v >> 8);
}
}  // namespace

bool parseWav(std::string_view image, WavFormat& format, std::string& why) {
  format = WavFormat();
  const auto* p = reinterpret_cast<const unsigned char*>(image.data());
  size_t n = image.size();
  if (n == 0) {
    why = "empty image";
    return false;
  }
  if (n < 12 || std::memcmp(p, "RIFF", 4) != 0 || std::memcmp(p + 8, "WAVE", 4) != 0) {
    why = "not a RIFF WAVE image";
    return false;
  }
  bool haveFmt = false, haveData = false;
  int tag = 0;
  size_t pos = 12;
  while (pos + 8 <= n) {
    const unsigned char* h = p + pos;
    uint64_t size = le32(h + 4);
    size_t body = pos + 8;
    size_t avail = n - body;
    if (std::memcmp(h, "fmt ", 4) == 0 && !haveFmt) {
      if (size < 16 || avail < 16) {
        why = "format chunk too short";
        return false;
      }
      tag = le16(h + 8);
      format.channels = le16(h + 10);
      format.sampleRate = int(le32(h + 12) & 0x7FFFFFFF);
      format.blockAlign = le16(h + 20);
      format.bitsPerSample = le16(h + 22);
      if (tag == 0xFFFE) {  // extensible: the sub-format's first two bytes are the tag
        if (size < 40 || avail < 40) {
          why = "format chunk too short";
          return false;
        }
        tag = le16(h + 8 + 24);
      }
      haveFmt = true;
    } else if (std::memcmp(h, "data", 4) == 0 && !haveData) {
      format.dataOffset = body;
      format.dataBytes = size > avail ? avail : size_t(size);  // a truncated image plays what it has
      haveData = true;
    }
    if (haveFmt && haveData) break;
    if (size > avail) break;
    pos = body + size_t(size) + (size & 1);
  }
  if (!haveFmt) {
    why = "no format chunk";
    return false;
  }
  if (tag != 1 && tag != 3) {
    why = "not PCM (format " + std::to_string(tag) + ")";
    return false;
  }
  format.isFloat = tag == 3;
  int bits = format.bitsPerSample;
  bool bitsOk = format.isFloat ? (bits == 32 || bits == 64) : (bits == 8 || bits == 16 || bits == 24 || bits == 32);
  if (!bitsOk) {
    why = "unsupported sample size " + std::to_string(bits);
    return false;
  }
  if (format.channels < 1 || format.channels > 8) {
    why = "unsupported channel count " + std::to_string(format.channels);
    return false;
  }
  if (format.sampleRate < 1000 || format.sampleRate > 384000) {
    why = "unsupported sample rate " + std::to_string(format.sampleRate);
    return false;
  }
  format.blockAlign = format.channels * (bits / 8);
  if (!haveData) {
    why = "no data chunk";
    return false;
  }
  format.dataBytes -= format.dataBytes % size_t(format.blockAlign);
  if (format.dataBytes == 0) {
    why = "no sample data";
    return false;
  }
  return true;
}

float wavSample(std::string_view image, const WavFormat& f, size_t frame, int channel) {
  const auto* p = reinterpret_cast<const unsigned char*>(image.data()) + f.dataOffset +
                  frame * size_t(f.blockAlign) + size_t(channel) * size_t(f.bitsPerSample / 8);
  if (f.isFloat) {
    if (f.bitsPerSample == 32) {
      uint32_t u = le32(p);
      float v;
      std::memcpy(&v, &u, 4);
      return std::isfinite(v) ? (v > 1 ? 1 : v < -1 ? -1 : v) : 0.0f;
    }
    uint64_t u = uint64_t(le32(p)) | uint64_t(le32(p + 4)) << 32;
    double v;
    std::memcpy(&v, &u, 8);
    return std::isfinite(v) ? float(v > 1 ? 1 : v < -1 ? -1 : v) : 0.0f;
  }
  switch (f.bitsPerSample) {
    case 8: return (float(p[0]) - 128.0f) / 128.0f;
    case 16: return float(int16_t(le16(p))) / 32768.0f;
    case 24: {
      int32_t v = int32_t(uint32_t(p[0]) << 8 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 24) >> 8;
      return float(v) / 8388608.0f;
    }
    default: return float(double(int32_t(le32(p))) / 2147483648.0);
  }
}

std::string makeToneWav(int frequencyHz, int durationMs, int sampleRate) {
  if (durationMs < 0) durationMs = 0;
  if (frequencyHz < 1) frequencyHz = 1;
  size_t frames = size_t(int64_t(sampleRate) * durationMs / 1000);
  std::string s;
  s.reserve(44 + frames * 2);
  s += "RIFF";
  put32(s, uint32_t(36 + frames * 2));
  s += "WAVEfmt ";
  put32(s, 16);
  put16(s, 1);
  put16(s, 1);
  put32(s, uint32_t(sampleRate));
  put32(s, uint32_t(sampleRate * 2));
  put16(s, 2);
  put16(s, 16);
  s += "data";
  put32(s, uint32_t(frames * 2));
  // A square wave softened by a short ramp at both ends, so it does not click.
  size_t ramp = std::min<size_t>(frames / 2, size_t(sampleRate / 200));
  for (size_t i = 0; i < frames; i++) {
    double phase = std::fmod(double(i) * frequencyHz / sampleRate, 1.0);
    double v = phase < 0.5 ? 0.3 : -0.3;
    if (i < ramp) v *= double(i) / double(ramp);
    if (frames - i <= ramp) v *= double(frames - i) / double(ramp + 1);
    put16(s, uint16_t(int16_t(v * 32767)));
  }
  return s;
}

}  // namespace plat
