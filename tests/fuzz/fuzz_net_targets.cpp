// Fuzz targets for the readers of outside data: "http_response" (the HTTP
// response reader, fed in pieces whose sizes come from the input),
// "wav_header" (the WAV header reader and sample access) and "base64" (the
// decoder, with a round trip through the encoder).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "commands/system/http_response.h"
#include "platform/sound.h"
#include "support/base64.h"
#include "tests/fuzz/fuzz_targets.h"

namespace orvel_fuzz {

int fuzzHttpResponse(const uint8_t* data, size_t size) {
  if (size < 2 || size > 200000) return 0;
  // First byte: flags; second: piece size seed; the rest is the wire.
  bool http10 = data[0] & 1, head = data[0] & 2;
  size_t piece = size_t(data[1]) + 1;
  std::string_view wire(reinterpret_cast<const char*>(data) + 2, size - 2);
  orvel::HttpResponseReader reader(http10, head);
  size_t pos = 0, fed = 0;
  while (pos < wire.size() && !reader.done()) {
    size_t n = std::min(piece, wire.size() - pos);
    reader.feed(wire.substr(pos, n));
    pos += n;
    fed += n;
    piece = piece * 7 % 251 + 1;
  }
  // The response never holds more than what arrived.
  if (reader.text().size() > fed) std::abort();
  return 0;
}

int fuzzWavHeader(const uint8_t* data, size_t size) {
  if (size > 100000) return 0;
  std::string_view image(reinterpret_cast<const char*>(data), size);
  plat::WavFormat f;
  std::string why;
  if (!plat::parseWav(image, f, why)) return 0;
  if (f.dataOffset + f.dataBytes > size || f.frames() == 0) std::abort();
  float sum = 0;
  for (size_t i = 0; i < f.frames(); i += 1 + f.frames() / 64)
    for (int c = 0; c < f.channels; c++) sum += plat::wavSample(image, f, i, c);
  size_t last = f.frames() - 1;
  for (int c = 0; c < f.channels; c++) sum += plat::wavSample(image, f, last, c);
  if (!(sum == sum)) std::abort();  // samples are finite numbers
  return 0;
}

int fuzzBase64(const uint8_t* data, size_t size) {
  if (size > 100000) return 0;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string bytes;
  if (orvel::base64Decode(text, bytes)) {
    std::string again;
    std::string enc = orvel::base64Encode(bytes);
    if (enc.size() > 3 && (!orvel::base64Decode(enc, again) || again != bytes)) std::abort();
  }
  std::string enc = orvel::base64Encode(text);
  std::string back;
  if (enc.size() > 3 && (!orvel::base64Decode(enc, back) || back != text)) std::abort();
  return 0;
}

}  // namespace orvel_fuzz
