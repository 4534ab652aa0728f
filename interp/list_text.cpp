#include "interp/list_text.h"

namespace orvel {

namespace {
inline bool isListBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
}  // namespace

int TclTokenised3(std::string_view text, std::vector<std::string>& out, bool* quoteFollowedByEol) {
  out.clear();
  if (quoteFollowedByEol) *quoteFollowedByEol = false;
  size_t i = 0, n = text.size();
  while (i < n) {
    while (i < n && isListBlank(text[i])) i++;
    if (i >= n) break;
    char c = text[i];
    if (c == '{') {
      int depth = 1;
      size_t j = i + 1;
      for (; j < n; j++) {
        if (text[j] == '{') depth++;
        else if (text[j] == '}' && --depth == 0) break;
      }
      out.emplace_back(text.substr(i + 1, (j < n ? j : n) - i - 1));
      i = j < n ? j + 1 : n;
    } else if (c == '"') {
      size_t j = text.find('"', i + 1);
      if (j == std::string_view::npos) j = n;
      out.emplace_back(text.substr(i + 1, j - i - 1));
      i = j < n ? j + 1 : n;
      if (quoteFollowedByEol && i < n && (text[i] == '\r' || text[i] == '\n'))
        *quoteFollowedByEol = true;
    } else {
      size_t j = i;
      while (j < n && !isListBlank(text[j])) j++;
      out.emplace_back(text.substr(i, j - i));
      i = j;
    }
  }
  return static_cast<int>(out.size());
}

namespace {
// A line break separates elements as a blank does, so an element holding
// one is braced too; otherwise it would split in two when read back.
constexpr std::string_view kSeparators = " \t\r\n";
}  // namespace

std::string listQuote(std::string_view element) {
  if (element.empty()) return "{}";
  if (element[0] != '{' && element.find_first_of(kSeparators) != std::string_view::npos) {
    std::string s;
    s.reserve(element.size() + 2);
    s += '{';
    s += element;
    s += '}';
    return s;
  }
  return std::string(element);
}

void listAppendElement(std::string& list, std::string_view element) {
  if (!list.empty()) list += ' ';
  if (element.empty()) {
    list += "{}";
  } else if (element[0] != '{' && element.find_first_of(kSeparators) != std::string_view::npos) {
    list += '{';
    list += element;
    list += '}';
  } else {
    list += element;
  }
}

std::string listBuild(const std::vector<std::string>& elements) {
  std::string s;
  for (auto& e : elements) listAppendElement(s, e);
  return s;
}

}  // namespace orvel
