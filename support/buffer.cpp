// Growable text with a staging area.
#include "support/buffer.h"

#include <algorithm>
#include <cstring>
#include <new>

Buffer::Buffer(int32_t chunk) : chunk_(chunk > 0 ? chunk : kDefaultChunk) {
  try {
    stage_ = std::make_unique<char[]>(static_cast<size_t>(chunk_) + 1);
  } catch (const std::bad_alloc&) {
    chunk_ = kDefaultChunk;
    stage_ = std::make_unique<char[]>(static_cast<size_t>(chunk_) + 1);
  }
}

void Buffer::flush() {
  text_.append(stage_.get(), fill_);
  fill_ = 0;
  ++flushes_;
}

void Buffer::addstr(std::string_view s) {
  ++appends_;
  const size_t cap = static_cast<size_t>(chunk_);
  while (!s.empty()) {
    const size_t n = std::min(cap - fill_, s.size());
    std::memcpy(stage_.get() + fill_, s.data(), n);
    fill_ += n;
    s.remove_prefix(n);
    if (fill_ == cap) flush();
  }
}

void Buffer::addch(char c) {
  ++appends_;
  stage_[fill_++] = c;
  if (fill_ == static_cast<size_t>(chunk_)) flush();
}

std::string Buffer::take() {
  flush();
  std::string out;
  out.swap(text_);
  return out;
}
