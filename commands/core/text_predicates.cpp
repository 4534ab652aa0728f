// Character and text predicates: is_alnum, is_alpha, is_digit, is_lower,
// is_punct, is_space, is_upper, is_xdigit (every character of the text is
// of the class; an empty text is not), is_numeric, is_list, is_empty and
// is_null. Each gives "1" or "0".
#include <cctype>
#include <string>

#include "expr/numbers.h"
#include "interp/interp.h"
#include "interp/list_text.h"

namespace orvel {

namespace {

int orvelCommandIs_alnum(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  const std::string& name = argv[0];
  int (*test)(int) = nullptr;
  if (name == "is_alnum") test = ::isalnum;
  else if (name == "is_alpha") test = ::isalpha;
  else if (name == "is_digit") test = ::isdigit;
  else if (name == "is_lower") test = ::islower;
  else if (name == "is_punct") test = ::ispunct;
  else if (name == "is_space") test = ::isspace;
  else if (name == "is_upper") test = ::isupper;
  else test = ::isxdigit;
  const std::string& s = argv[1];
  bool all = !s.empty();
  for (unsigned char c : s)
    if (c >= 128 || !test(c)) {
      all = false;
      break;
    }
  in.result = all ? "1" : "0";
  return OK;
}

// is_numeric text: an integer (with any radix prefix) or a real number,
// blanks around it allowed.
int orvelCommandIs_numeric(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  std::string_view s = argv[1];
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  in.result = numberKind(s) != kNotNumber ? "1" : "0";
  return OK;
}

// is_list text: braces and quotes are balanced, so the text splits into
// elements as written.
int orvelCommandIs_list(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  const std::string& s = argv[1];
  bool ok = true;
  size_t i = 0;
  while (i < s.size() && ok) {
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) i++;
    if (i >= s.size()) break;
    if (s[i] == '{') {
      int depth = 0;
      size_t j = i;
      for (; j < s.size(); j++) {
        if (s[j] == '\\' && j + 1 < s.size()) {
          j++;
          continue;
        }
        if (s[j] == '{') depth++;
        else if (s[j] == '}' && --depth == 0) break;
      }
      if (j >= s.size()) ok = false;
      else if (j + 1 < s.size() && !std::isspace(static_cast<unsigned char>(s[j + 1]))) ok = false;
      i = j + 1;
    } else if (s[i] == '"') {
      size_t j = i + 1;
      while (j < s.size() && s[j] != '"') j += s[j] == '\\' && j + 1 < s.size() ? 2 : 1;
      if (j >= s.size()) ok = false;
      else if (j + 1 < s.size() && !std::isspace(static_cast<unsigned char>(s[j + 1]))) ok = false;
      i = j + 1;
    } else {
      while (i < s.size() && !std::isspace(static_cast<unsigned char>(s[i]))) {
        if (s[i] == '{' || s[i] == '}') ok = false;
        i += s[i] == '\\' && i + 1 < s.size() ? 2 : 1;
      }
    }
  }
  in.result = ok ? "1" : "0";
  return OK;
}

// is_empty text: nothing but blanks; is_null text: nothing at all.
int orvelCommandIs_empty(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  bool empty = true;
  if (argv[0] == "is_null") {
    empty = argv[1].empty();
  } else {
    for (unsigned char c : argv[1])
      if (!std::isspace(c)) empty = false;
  }
  in.result = empty ? "1" : "0";
  return OK;
}

const CommandRegistrar reg[] = {
    {"is_alnum", orvelCommandIs_alnum},     {"is_alpha", orvelCommandIs_alnum}, {"is_digit", orvelCommandIs_alnum},
    {"is_lower", orvelCommandIs_alnum},     {"is_punct", orvelCommandIs_alnum}, {"is_space", orvelCommandIs_alnum},
    {"is_upper", orvelCommandIs_alnum},     {"is_xdigit", orvelCommandIs_alnum},
    {"is_numeric", orvelCommandIs_numeric}, {"is_list", orvelCommandIs_list},   {"is_empty", orvelCommandIs_empty},
    {"is_null", orvelCommandIs_empty},
};

}  // namespace

}  // namespace orvel
