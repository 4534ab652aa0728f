// Helpers shared by the string commands.
#include "commands/core/string_common.h"

#include <algorithm>

#include <limits>

#include "interp/struct_access.h"

namespace orvel::strings {

int64_t decimalArg(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && isSpaceC(s[i])) i++;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  uint64_t v = 0;
  // Up to 18 digits cannot pass either limit: they are read without
  // checks, and a longer number is read again from its start with them.
  const size_t start = i;
  for (; i < s.size() && isDigitC(s[i]); i++) {
    if (i - start == 18) break;
    v = v * 10 + static_cast<uint64_t>(s[i] - '0');
  }
  if (i - start < 18 || i == s.size() || !isDigitC(s[i]))
    return negative ? -static_cast<int64_t>(v) : static_cast<int64_t>(v);
  i = start;
  v = 0;
  const uint64_t limit = negative ? uint64_t{1} << 63 : (uint64_t{1} << 63) - 1;
  for (; i < s.size() && isDigitC(s[i]); i++) {
    uint64_t d = static_cast<uint64_t>(s[i] - '0');
    if (v > (limit - d) / 10) {
      v = limit;
      break;
    }
    v = v * 10 + d;
  }
  if (!negative) return static_cast<int64_t>(v);
  return v == (uint64_t{1} << 63) ? std::numeric_limits<int64_t>::min() : -static_cast<int64_t>(v);
}

int compareTexts(std::string_view a, std::string_view b, bool nocase) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; i++) {
    auto x = static_cast<unsigned char>(nocase ? lowerC(a[i]) : a[i]);
    auto y = static_cast<unsigned char>(nocase ? lowerC(b[i]) : b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

void lowerInPlace(std::string& s) {
  for (char& c : s) c = lowerC(c);
}

void upperInPlace(std::string& s) {
  for (char& c : s) c = upperC(c);
}

size_t findText(std::string_view hay, std::string_view needle, size_t from, bool nocase) {
  if (needle.empty() || from > hay.size() || needle.size() > hay.size() - from) return std::string_view::npos;
  if (!nocase) return hay.find(needle, from);
  for (size_t i = from; i + needle.size() <= hay.size(); i++) {
    size_t k = 0;
    while (k < needle.size() && sameChar(hay[i + k], needle[k], true)) k++;
    if (k == needle.size()) return i;
  }
  return std::string_view::npos;
}

size_t rfindText(std::string_view hay, std::string_view needle, bool nocase) {
  if (needle.empty() || needle.size() > hay.size()) return std::string_view::npos;
  if (!nocase) return hay.rfind(needle);
  for (size_t i = hay.size() - needle.size() + 1; i-- > 0;) {
    size_t k = 0;
    while (k < needle.size() && sameChar(hay[i + k], needle[k], true)) k++;
    if (k == needle.size()) return i;
  }
  return std::string_view::npos;
}

namespace {
bool inSet(char c, std::string_view set, bool nocase) {
  for (char s : set)
    if (sameChar(c, s, nocase)) return true;
  return false;
}
}  // namespace

size_t findInSet(std::string_view text, std::string_view set, bool nocase) {
  for (size_t i = 0; i < text.size(); i++)
    if (inSet(text[i], set, nocase)) return i;
  return std::string_view::npos;
}

size_t rfindInSet(std::string_view text, std::string_view set, bool nocase) {
  for (size_t i = text.size(); i-- > 0;)
    if (inSet(text[i], set, nocase)) return i;
  return std::string_view::npos;
}

std::string_view trimSet(std::string_view text, std::string_view set, bool left, bool right) {
  if (left)
    while (!text.empty() && set.find(text.front()) != std::string_view::npos) text.remove_prefix(1);
  if (right)
    while (!text.empty() && set.find(text.back()) != std::string_view::npos) text.remove_suffix(1);
  return text;
}

bool startsWithText(std::string_view text, std::string_view prefix, bool nocase) {
  if (prefix.size() > text.size()) return false;
  for (size_t i = 0; i < prefix.size(); i++)
    if (!sameChar(text[i], prefix[i], nocase)) return false;
  return true;
}

bool endsWithText(std::string_view text, std::string_view suffix, bool nocase) {
  if (suffix.size() > text.size()) return false;
  return startsWithText(text.substr(text.size() - suffix.size()), suffix, nocase);
}

std::string unescapeText(std::string_view s) {
  if (s.find('\\') == std::string_view::npos) return std::string(s);
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); i++) {
    if (s[i] != '\\' || i + 1 == s.size()) {
      out += s[i];
      continue;
    }
    char c = s[++i];
    out += c == 'r' ? '\r' : c == 'n' ? '\n' : c == 't' ? '\t' : c;
  }
  return out;
}

bool Words::has(std::string_view option) const {
  for (std::string_view s : seen)
    if (s == option) return true;
  return false;
}

Words splitWords(Args& argv, size_t fixed, std::initializer_list<const char*> names) {
  Words w;
  for (size_t i = 1; i < argv.size(); i++) {
    bool option = false;
    if (i > fixed) {
      for (const char* n : names) {
        if (argv[i] == n) {
          w.seen.emplace_back(n);
          option = true;
          break;
        }
      }
    }
    if (!option) w.pos.push_back(&argv[i]);
  }
  return w;
}

bool plainValue(Interp& in, std::string_view name, std::string& out) {
  Var* v = orvelGetVar(in, name);
  if (!v) return false;
  if (v->link && !v->subscript.empty()) return readVarValue(in, v, out);
  Var* t = varTarget(v);
  if (!t || t->kind != VK_AUTO || t->isPointer) return false;
  out = t->value;
  return true;
}

bool storePlain(Interp& in, const std::string& name, const std::string& value) {
  std::string saved = std::move(in.result);
  int code = setVariable(in, name, &value, false);
  in.result = std::move(saved);
  return code == OK;
}

int tooLong(Interp& in, const std::string& command, int64_t length) {
  return fail(in, "%s: Result too long (%lld characters)", command.c_str(), static_cast<long long>(length));
}

}  // namespace orvel::strings
