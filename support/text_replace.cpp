// Text replacement helpers.
#include "support/text_replace.h"

#include "support/ascii_case.h"

bool replaceAll(std::string& text, std::string_view search, std::string_view repl) {
  if (search.empty()) return false;
  size_t pos = text.find(search);
  if (pos == std::string::npos) return false;
  try {
    std::string out;
    out.reserve(text.size());
    size_t from = 0;
    while (pos != std::string::npos) {
      out.append(text, from, pos - from);
      out.append(repl);
      from = pos + search.size();
      pos = text.find(search, from);
    }
    out.append(text, from, std::string::npos);
    text.swap(out);
  } catch (...) {
    return false;
  }
  return true;
}

bool replaceInPlace(std::string& text, std::string_view search, std::string_view repl,
                    bool nocase) {
  if (search.empty() || repl.size() > search.size() || text.size() < search.size()) return false;
  const size_t n = text.size();
  const size_t m = search.size();
  size_t read = 0;
  size_t write = 0;
  bool any = false;
  while (read < n) {
    if (read + m <= n && equalsCase(std::string_view(text).substr(read, m), search, nocase)) {
      text.replace(write, repl.size(), repl.data(), repl.size());
      write += repl.size();
      read += m;
      any = true;
    } else {
      text[write++] = text[read++];
    }
  }
  text.resize(write);
  return any;
}
