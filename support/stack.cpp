// Fixed-capacity stack of texts or pointers.
#include "support/stack.h"

#include <cinttypes>
#include <cstdio>

Stack::Stack(int32_t capacity, bool owning, bool verbose)
    : capacity_(capacity > 0 ? capacity : kDefaultCapacity),
      owning_(owning),
      verbose_(verbose),
      defaultSize_(capacity <= 0) {}

int32_t Stack::push(void* p) {
  if (owning_) return -2;
  if (top_ >= capacity_) return -1;
  try {
    if (static_cast<size_t>(top_) < ptrs_.size()) {
      ptrs_[static_cast<size_t>(top_)] = p;
    } else {
      ptrs_.push_back(p);
    }
  } catch (...) {
    return -1;
  }
  return top_++;
}

int32_t Stack::pushstr(std::string_view s) {
  if (!owning_ || s.empty()) return -1;
  if (top_ >= capacity_) {
    if (verbose_) {
      // The text goes in after the formatted part, so that a '%' in it
      // stays literal text.
      char num[64];
      std::snprintf(num, sizeof num, ") Overflow at %" PRId64 " (%" PRId64 ")\n", kOverflowSite,
                    static_cast<int64_t>(capacity_));
      lastMessage = "Stack(stack)::pushstr(";
      lastMessage += s;
      lastMessage += num;
    }
    return -1;
  }
  try {
    if (static_cast<size_t>(top_) < texts_.size()) {
      texts_[static_cast<size_t>(top_)].assign(s);
    } else {
      texts_.emplace_back(s);
    }
  } catch (...) {
    return -1;
  }
  return top_++;
}

std::optional<std::string> Stack::popstr() {
  if (!owning_ || top_ <= 0) return std::nullopt;
  --top_;
  std::string out = std::move(texts_[static_cast<size_t>(top_)]);
  texts_[static_cast<size_t>(top_)].clear();
  return out;
}

void* Stack::pop() {
  if (owning_ || top_ <= 0) return nullptr;
  --top_;
  void* p = ptrs_[static_cast<size_t>(top_)];
  ptrs_[static_cast<size_t>(top_)] = nullptr;
  return p;
}

const std::string* Stack::popstrKeep() {
  if (!owning_ || top_ <= 0) return nullptr;
  --top_;
  return &texts_[static_cast<size_t>(top_)];
}

void* Stack::popKeep() {
  if (owning_ || top_ <= 0) return nullptr;
  --top_;
  return ptrs_[static_cast<size_t>(top_)];
}

const std::string* Stack::peekstr() const { return itemstr(top_ - 1); }

void* Stack::peek() const { return item(top_ - 1); }

const std::string* Stack::itemstr(int32_t i) const {
  if (!owning_ || i < 0 || i >= top_) return nullptr;
  return &texts_[static_cast<size_t>(i)];
}

void* Stack::item(int32_t i) const {
  if (owning_ || i < 0 || i >= top_) return nullptr;
  return ptrs_[static_cast<size_t>(i)];
}
