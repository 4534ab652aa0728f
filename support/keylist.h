// Small ordered map: a list of typed key/value nodes kept in insertion
// order (macro tables, occurrence counts and other short tables).
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class KeyList {
 public:
  static constexpr int16_t kNone = 0;
  static constexpr int16_t kText = 30;     // owned text key or value
  static constexpr int16_t kPointer = 3;   // pointer key / integer value

  struct node {
    int16_t keyType = kText;
    std::string key;               // text keys
    const void* keyPointer = nullptr;  // pointer keys
    int16_t valueType = kNone;
    std::string text;              // text values
    int64_t number = 0;            // integer values
  };

  KeyList() = default;
  KeyList(const KeyList&) = delete;
  KeyList& operator=(const KeyList&) = delete;

  // Empties the list and turns ignore case off.
  void clear();
  // The text node of key, appended when missing; nullptr for an empty key.
  node* addKey(std::string_view key);
  // The node of pointer key p, appended when missing.
  node* addPointerKey(const void* p);
  // Stores a text value under key (found or added). An empty value leaves
  // the node without a value and gives nullptr; an empty key gives nullptr.
  node* setText(std::string_view key, std::string_view value);
  // Stores an integer value under key (found or added); nullptr for an
  // empty key.
  node* setInt(std::string_view key, int64_t value);
  // The text value of key's node, nullptr when absent or not text.
  const std::string* getText(std::string_view key) const;
  // The integer value of key's node, 0 when absent or not an integer.
  int64_t getInt(std::string_view key) const;

  // The first text-key node matching key. With n >= 1 only the first n
  // characters (fewer when key is shorter) are compared. Exact, or ignoring
  // case when ignoreCase() is on. An empty key matches nothing.
  node* find(std::string_view key, int32_t n = 0) const;
  node* findPointer(const void* p) const;
  // Removes the first node find(key, n) gives; 1 when removed.
  int remove(std::string_view key, int32_t n = 0);

  // Node at position i; key of the i-th text-key node; text value of the
  // i-th node holding text. nullptr when out of range.
  node* nodeAt(int32_t i) const;
  const std::string* keyAt(int32_t i) const;
  const std::string* textValueAt(int32_t i) const;

  int32_t count() const { return static_cast<int32_t>(nodes_.size()); }
  void setIgnoreCase(bool on) { ignoreCase_ = on; }
  bool ignoreCase() const { return ignoreCase_; }
  // Releases every node; the list is empty and marked released.
  void releaseAll();
  bool released() const { return released_; }

 private:
  bool matches(const node& nd, std::string_view key, int32_t n) const;
  node* append(std::unique_ptr<node> nd);

  std::vector<std::unique_ptr<node>> nodes_;
  bool ignoreCase_ = false;
  bool released_ = false;
};
