// Fixed-capacity stack of texts (owning) or of pointers (non-owning).
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class Stack {
 public:
  static constexpr int32_t kDefaultCapacity = 100;

  // A capacity of 0 or less means kDefaultCapacity (and sets defaultSize()).
  // Owning stacks hold text copies; non-owning ones hold pointers they do
  // not own.
  Stack(int32_t capacity, bool owning, bool verbose = false);

  // Non-owning stacks: the index of the new entry; -2 on an owning stack,
  // -1 when full.
  int32_t push(void* p);
  // Owning stacks: the index of the new entry; -1 for an empty text, a
  // non-owning stack or a full stack. An overflow on a verbose stack leaves
  // its report in lastMessage.
  int32_t pushstr(std::string_view s);

  // Takes the top entry; nullopt / nullptr when empty or of the other kind.
  std::optional<std::string> popstr();
  void* pop();
  // Lowers the top but leaves the entry in its slot (valid until the next
  // push); nullptr when empty or of the other kind.
  const std::string* popstrKeep();
  void* popKeep();

  const std::string* peekstr() const;
  void* peek() const;
  // Entry i counted from the bottom; nullptr for i < 0 or i >= count().
  const std::string* itemstr(int32_t i) const;
  void* item(int32_t i) const;

  int32_t count() const { return top_; }
  int32_t capacity() const { return capacity_; }
  bool isEmpty() const { return top_ <= 0; }
  bool isValid() const { return capacity_ > 0; }
  bool defaultSize() const { return defaultSize_; }
  bool owning() const { return owning_; }
  bool verbose() const { return verbose_; }

  // Site number carried by the overflow report.
  static constexpr int64_t kOverflowSite = 1;
  std::string lastMessage;

 private:
  std::vector<std::string> texts_;  // owning stacks; slots at or above top_ are spare
  std::vector<void*> ptrs_;         // non-owning stacks
  int32_t capacity_;
  int32_t top_ = 0;
  bool owning_;
  bool verbose_;
  bool defaultSize_;
};
