// scan string format ?varName ...?: reads fields from a string the way
// a C-style scanf does. Conversions %d %i %u %x %o %b %c %s %f %e %g %[set] %n and %%, with
// an optional * (read but do not store) and width. Without variables the
// result is the list of values; with them, the values are stored and the
// result is the number of conversions that stored a value. When the input
// ends before the first conversion the result is -1.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "expr/numbers.h"
#include "interp/interp.h"
#include "interp/list_text.h"

namespace orvel {

namespace {

bool inSet(const std::string& set, bool negate, unsigned char c) {
  bool found = false;
  for (size_t i = 0; i < set.size(); i++) {
    if (i + 2 < set.size() && set[i + 1] == '-') {
      if (c >= static_cast<unsigned char>(set[i]) && c <= static_cast<unsigned char>(set[i + 2])) found = true;
      i += 2;
    } else if (static_cast<unsigned char>(set[i]) == c) {
      found = true;
    }
  }
  return found != negate;
}

int orvelCommandScan(Interp& in, Args& argv, void*) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  const std::string& s = argv[1];
  const std::string& f = argv[2];
  std::vector<std::string> values;
  size_t p = 0;       // position in s
  bool ended = false;  // input ran out before a conversion
  int conversions = 0;
  for (size_t i = 0; i < f.size() && !ended; i++) {
    unsigned char fc = static_cast<unsigned char>(f[i]);
    if (std::isspace(fc)) {
      while (p < s.size() && std::isspace(static_cast<unsigned char>(s[p]))) p++;
      continue;
    }
    if (fc != '%') {
      if (p >= s.size()) {
        ended = conversions == 0 && values.empty();
        break;
      }
      if (s[p] != f[i]) break;
      p++;
      continue;
    }
    if (++i >= f.size()) return fail(in, "%s: Format ends in the middle of a conversion", argv[0].c_str());
    if (f[i] == '%') {
      while (p < s.size() && std::isspace(static_cast<unsigned char>(s[p]))) p++;
      if (p < s.size() && s[p] == '%') {
        p++;
        continue;
      }
      break;
    }
    bool store = true;
    if (f[i] == '*') {
      store = false;
      i++;
    }
    size_t width = 0;
    while (i < f.size() && std::isdigit(static_cast<unsigned char>(f[i]))) width = width * 10 + static_cast<size_t>(f[i++] - '0');
    while (i < f.size() && (f[i] == 'l' || f[i] == 'h' || f[i] == 'L')) i++;
    if (i >= f.size()) return fail(in, "%s: Format ends in the middle of a conversion", argv[0].c_str());
    char conv = f[i];
    if (width == 0) width = std::string::npos;
    std::string set;
    bool negate = false;
    if (conv == '[') {
      size_t j = i + 1;
      if (j < f.size() && f[j] == '^') {
        negate = true;
        j++;
      }
      if (j < f.size() && f[j] == ']') set += f[j++];
      while (j < f.size() && f[j] != ']') set += f[j++];
      if (j >= f.size()) return fail(in, "%s: Unmatched [ in format", argv[0].c_str());
      i = j;
    } else if (std::string("diuxobcsfegGEn").find(conv) == std::string::npos) {
      return fail(in, "%s: Bad scan conversion character '%c'", argv[0].c_str(), conv);
    }
    if (conv == 'n') {
      if (store) values.push_back(std::to_string(p));
      continue;
    }
    if (conv != 'c' && conv != '[')
      while (p < s.size() && std::isspace(static_cast<unsigned char>(s[p]))) p++;
    if (p >= s.size()) {
      ended = conversions == 0;
      break;
    }
    std::string field;
    size_t limit = width == std::string::npos ? s.size() : std::min(s.size(), p + width);
    if (conv == 'c') {
      field = std::to_string(static_cast<unsigned char>(s[p++]));
    } else if (conv == 's') {
      while (p < limit && !std::isspace(static_cast<unsigned char>(s[p]))) field += s[p++];
    } else if (conv == '[') {
      while (p < limit && inSet(set, negate, static_cast<unsigned char>(s[p]))) field += s[p++];
      if (field.empty()) break;
    } else if (conv == 'f' || conv == 'e' || conv == 'g' || conv == 'E' || conv == 'G') {
      std::string window = s.substr(p, limit - p);
      char* end = nullptr;
      double d = std::strtod(window.c_str(), &end);
      size_t used = static_cast<size_t>(end - window.c_str());
      if (used == 0) break;
      p += used;
      char buf[64];
      std::snprintf(buf, sizeof buf, "%.17g", d);
      field = buf;
      if (field.find_first_of(".eEn") == std::string::npos) field += ".0";
    } else {
      int base = conv == 'x' ? 16 : conv == 'o' ? 8 : conv == 'b' ? 2 : 10;
      size_t q = p;
      bool negative = false;
      if (q < limit && (s[q] == '-' || s[q] == '+')) negative = s[q++] == '-';
      if (conv == 'i' && q + 1 < limit && s[q] == '0' && (s[q + 1] | 0x20) == 'x') {
        base = 16;
        q += 2;
      } else if (conv == 'x' && q + 1 < limit && s[q] == '0' && (s[q + 1] | 0x20) == 'x') {
        q += 2;
      }
      uint64_t v = 0;
      size_t digits = 0;
      while (q < limit) {
        int d = std::isdigit(static_cast<unsigned char>(s[q])) ? s[q] - '0'
                : std::isalpha(static_cast<unsigned char>(s[q])) ? (s[q] | 0x20) - 'a' + 10
                                                                  : 99;
        if (d >= base) break;
        v = v * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
        q++;
        digits++;
      }
      if (!digits) break;
      p = q;
      field = conv == 'u' && !negative ? uintText(v) : intText(static_cast<int64_t>(negative ? 0 - v : v));
    }
    if (store) {
      values.push_back(field);
      conversions++;
    }
  }
  if (argv.size() == 3) {
    if (ended && values.empty()) {
      in.result = "-1";
      return OK;
    }
    in.result = listBuild(values);
    return OK;
  }
  if (values.size() > argv.size() - 3)
    return fail(in, "%s: More conversions than variables", argv[0].c_str());
  for (size_t k = 0; k < values.size(); k++)
    if (set_var(in, argv[3 + k], values[k]) != OK) return ERROR;
  in.result = ended && values.empty() ? "-1" : std::to_string(values.size());
  return OK;
}

const CommandRegistrar reg[] = {{"scan", orvelCommandScan}};

}  // namespace

}  // namespace orvel
