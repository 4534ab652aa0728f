// ASCII letter-case helpers shared by the support containers.
#pragma once
#include <cstddef>
#include <string_view>

inline char asciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Equal ignoring ASCII letter case.
inline bool equalsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i] && asciiLower(a[i]) != asciiLower(b[i])) return false;
  return true;
}

// Equal exactly, or ignoring ASCII letter case when nocase is set.
inline bool equalsCase(std::string_view a, std::string_view b, bool nocase) {
  return nocase ? equalsNoCase(a, b) : a == b;
}
