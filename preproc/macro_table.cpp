// The preprocessor's macro table and word substitution.
#include "preproc/macro_table.h"

namespace orvel {

namespace {
uint64_t lengthBit(size_t n) { return uint64_t(1) << (n < 63 ? n : 63); }
}  // namespace

MacroTable::MacroTable() {
  list_.setText(kLineName, lineText_);
  rebuildFilters();
}

void MacroTable::rebuildFilters() {
  lengthMask_ = 0;
  for (bool& b : firstChar_) b = false;
  for (int32_t i = 0; i < list_.count(); i++) {
    const std::string& k = list_.nodeAt(i)->key;
    if (k.empty()) continue;
    lengthMask_ |= lengthBit(k.size());
    firstChar_[static_cast<unsigned char>(k[0])] = true;
  }
}

void MacroTable::define(std::string_view name, std::string_view value) {
  if (name.empty() || value.empty() || name == kLineName) return;
  list_.setText(name, value);
  values_[std::string(name)] = std::string(value);
  lengthMask_ |= lengthBit(name.size());
  firstChar_[static_cast<unsigned char>(name[0])] = true;
}

void MacroTable::undefine(std::string_view name) {
  if (name == kLineName) return;
  if (!list_.remove(name)) return;
  values_.erase(std::string(name));
  rebuildFilters();
}

bool MacroTable::defined(std::string_view name) const { return find(name) != nullptr; }

bool MacroTable::mayBeName(std::string_view word) const {
  return !word.empty() && (lengthMask_ & lengthBit(word.size())) &&
         firstChar_[static_cast<unsigned char>(word[0])];
}

const std::string* MacroTable::find(std::string_view name) const {
  if (!mayBeName(name)) return nullptr;
  if (name == kLineName) return &lineText_;
  auto it = values_.find(std::string(name));
  return it == values_.end() ? nullptr : &it->second;
}

void MacroTable::setLine(int64_t line) {
  if (line == line_) return;
  line_ = line;
  lineText_ = std::to_string(line);
}

std::string substitute_macros(const MacroTable& macros, std::string_view text) {
  auto separator = [](char c) {
    switch (c) {
      case ' ': case '\t': case '{': case '}': case '[': case ']': case '(': case ')':
      case '\'': case ';':
        return true;
      default:
        return false;
    }
  };
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    if (separator(text[i])) {
      out += text[i++];
      continue;
    }
    size_t end = i;
    while (end < text.size() && !separator(text[end])) end++;
    std::string_view word = text.substr(i, end - i);
    const std::string* value = macros.find(word);
    out.append(value ? std::string_view(*value) : word);
    i = end;
  }
  if (out.size() > 2 && out.front() == '"' && out.back() == '"') out = out.substr(1, out.size() - 2);
  return out;
}

}  // namespace orvel
