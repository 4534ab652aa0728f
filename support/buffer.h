// Growable text built by appending characters and strings through a fixed
// staging area, so that long texts grow once per chunk rather than once per
// character.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class Buffer {
 public:
  static constexpr int32_t kDefaultChunk = 8192;

  // A chunk size of 0 or less means kDefaultChunk.
  explicit Buffer(int32_t chunk = kDefaultChunk);
  Buffer(const Buffer&) = delete;
  Buffer& operator=(const Buffer&) = delete;

  void addstr(std::string_view s);
  void addch(char c);
  // Flushes the staging area and hands over the whole text; the Buffer
  // starts over with no text (its counters are kept).
  std::string take();

  int32_t flushCount() const { return flushes_; }
  int32_t appendCount() const { return appends_; }
  int32_t chunkSize() const { return chunk_; }
  // Characters appended since the last take().
  size_t length() const { return text_.size() + fill_; }

 private:
  void flush();

  int32_t chunk_;
  std::unique_ptr<char[]> stage_;
  size_t fill_ = 0;
  std::string text_;
  int32_t flushes_ = 0;
  int32_t appends_ = 0;
};
