// Small ordered map of typed key/value nodes.
#include "support/keylist.h"

#include <algorithm>

#include "support/ascii_case.h"

void KeyList::clear() {
  nodes_.clear();
  ignoreCase_ = false;
  released_ = false;
}

bool KeyList::matches(const node& nd, std::string_view key, int32_t n) const {
  // An empty key names no node (not even as an empty prefix).
  if (nd.keyType != kText || key.empty()) return false;
  std::string_view have = nd.key;
  if (n >= 1) {
    const size_t len = std::min(static_cast<size_t>(n), key.size());
    if (have.size() < len) return false;
    have = have.substr(0, len);
    key = key.substr(0, len);
  }
  return equalsCase(have, key, ignoreCase_);
}

KeyList::node* KeyList::find(std::string_view key, int32_t n) const {
  for (const auto& nd : nodes_)
    if (matches(*nd, key, n)) return nd.get();
  return nullptr;
}

KeyList::node* KeyList::findPointer(const void* p) const {
  for (const auto& nd : nodes_)
    if (nd->keyType == kPointer && nd->keyPointer == p) return nd.get();
  return nullptr;
}

KeyList::node* KeyList::append(std::unique_ptr<node> nd) {
  nodes_.push_back(std::move(nd));
  released_ = false;
  return nodes_.back().get();
}

KeyList::node* KeyList::addKey(std::string_view key) {
  if (key.empty()) return nullptr;
  if (node* nd = find(key)) return nd;
  auto nd = std::make_unique<node>();
  nd->keyType = kText;
  nd->key.assign(key);
  return append(std::move(nd));
}

KeyList::node* KeyList::addPointerKey(const void* p) {
  if (node* nd = findPointer(p)) return nd;
  auto nd = std::make_unique<node>();
  nd->keyType = kPointer;
  nd->keyPointer = p;
  return append(std::move(nd));
}

KeyList::node* KeyList::setText(std::string_view key, std::string_view value) {
  node* nd = addKey(key);
  if (nd == nullptr) return nullptr;
  if (value.empty()) {
    nd->text.clear();
    nd->number = 0;
    nd->valueType = kNone;
    return nullptr;
  }
  nd->text.assign(value);
  nd->number = 0;
  nd->valueType = kText;
  return nd;
}

KeyList::node* KeyList::setInt(std::string_view key, int64_t value) {
  node* nd = addKey(key);
  if (nd == nullptr) return nullptr;
  nd->text.clear();
  nd->number = value;
  nd->valueType = kPointer;
  return nd;
}

const std::string* KeyList::getText(std::string_view key) const {
  const node* nd = find(key);
  return (nd != nullptr && nd->valueType == kText) ? &nd->text : nullptr;
}

int64_t KeyList::getInt(std::string_view key) const {
  const node* nd = find(key);
  return (nd != nullptr && nd->valueType == kPointer) ? nd->number : 0;
}

int KeyList::remove(std::string_view key, int32_t n) {
  for (auto it = nodes_.begin(); it != nodes_.end(); ++it) {
    if (matches(**it, key, n)) {
      nodes_.erase(it);
      return 1;
    }
  }
  return 0;
}

KeyList::node* KeyList::nodeAt(int32_t i) const {
  if (i < 0 || i >= count()) return nullptr;
  return nodes_[static_cast<size_t>(i)].get();
}

const std::string* KeyList::keyAt(int32_t i) const {
  if (i < 0) return nullptr;
  for (const auto& nd : nodes_)
    if (nd->keyType == kText && i-- == 0) return &nd->key;
  return nullptr;
}

const std::string* KeyList::textValueAt(int32_t i) const {
  if (i < 0) return nullptr;
  for (const auto& nd : nodes_)
    if (nd->valueType == kText && i-- == 0) return &nd->text;
  return nullptr;
}

void KeyList::releaseAll() {
  nodes_.clear();
  nodes_.shrink_to_fit();
  released_ = true;
}
