// Characters, codes and converted texts: chr, asc, unescape, escape,
// tolower, toupper, len, tab, makestr, comma, map, wchar_to_string and
// wchar_length.
#include "commands/core/string_common.h"
#include "expr/numbers.h"
#include "interp/list_text.h"

namespace orvel::strings {

namespace {

// One UTF-8 encoded character at s[i]: its length in bytes and its code.
// A byte that does not start a well-formed sequence counts alone.
size_t utf8At(std::string_view s, size_t i, uint32_t& code) {
  auto b = static_cast<unsigned char>(s[i]);
  size_t len = b >= 0xC2 && b <= 0xDF ? 2 : b >= 0xE0 && b <= 0xEF ? 3 : b >= 0xF0 && b <= 0xF4 ? 4 : 1;
  if (len == 1 || i + len > s.size()) {
    code = b;
    return 1;
  }
  uint32_t c = b & (0x7F >> len);
  for (size_t k = 1; k < len; k++) {
    auto cb = static_cast<unsigned char>(s[i + k]);
    if ((cb & 0xC0) != 0x80) {
      code = b;
      return 1;
    }
    c = (c << 6) | (cb & 0x3F);
  }
  // Overlong forms and values beyond the Unicode range are not characters.
  if ((len == 3 && c < 0x800) || (len == 4 && (c < 0x10000 || c > 0x10FFFF))) {
    code = b;
    return 1;
  }
  code = c;
  return len;
}

}  // namespace

// wchar_to_string text: the text read as UTF-8, written in the 8-bit
// character set (codes above 255 become '?').
int orvelCommandWchar_to_string(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  const std::string& s = argv[1];
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    uint32_t code = 0;
    size_t n = utf8At(s, i, code);
    out += n == 1 ? s[i] : code <= 0xFF ? static_cast<char>(code) : '?';
    i += n;
  }
  in.result = std::move(out);
  return OK;
}

// map mapping text ?-nocase?: every occurrence of a key of the key/value
// list mapping replaced by its value, scanning the text once from the left
// and trying the keys in list order at each position.
int orvelCommandMap(Interp& in, Args& argv, void*) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  Words w = splitWords(argv, 2, {"-nocase"});
  std::vector<std::string> pairs;
  TclTokenised3(*w.pos[0], pairs);
  if (pairs.size() % 2)
    return fail(in, "%s: Mapping list has an odd number of elements (%lld)", argv[0].c_str(),
                static_cast<long long>(pairs.size()));
  const bool nocase = w.has("-nocase");
  std::string_view text = *w.pos[1];
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    bool replaced = false;
    for (size_t k = 0; k < pairs.size(); k += 2) {
      const std::string& key = pairs[k];
      if (!key.empty() && startsWithText(text.substr(i), key, nocase)) {
        out += pairs[k + 1];
        i += key.size();
        replaced = true;
        break;
      }
    }
    if (!replaced) out += text[i++];
  }
  in.result = std::move(out);
  return OK;
}

namespace {

uint64_t digitsIn(std::string_view s, unsigned base) {
  uint64_t v = 0;
  for (char c : s) {
    unsigned d = isDigitC(c) ? static_cast<unsigned>(c - '0')
                 : (lowerC(c) >= 'a' && lowerC(c) <= 'f') ? static_cast<unsigned>(lowerC(c) - 'a' + 10)
                                                            : 99;
    if (d >= base) break;
    v = v * base + d;
    if (v > 0xFFFFFFFFu) return v;  // far out of range already
  }
  return v;
}

// The code word of chr: 0x / 0X, 0b / 0B, 0o, &h and &b prefixes, otherwise
// decimal. false for a negative value.
bool chrCode(std::string_view s, uint64_t& v) {
  unsigned base = 0;
  if (s.size() >= 2 && s[0] == '0') {
    char p = s[1];
    base = p == 'x' || p == 'X' ? 16 : p == 'b' || p == 'B' ? 2 : p == 'o' ? 8 : 0;
  } else if (s.size() >= 2 && s[0] == '&') {
    char p = lowerC(s[1]);
    base = p == 'h' ? 16 : p == 'b' ? 2 : 0;
  }
  if (base) {
    v = digitsIn(s.substr(2), base);
    return true;
  }
  int64_t d = decimalArg(s);
  if (d < 0) return false;
  v = static_cast<uint64_t>(d);
  return true;
}

// chr code ?offset?
int orvelCommandChr(Interp& in, Args& argv, void*) {
  if (argv.size() < 2 || argv.size() > 3) return wrongNumArgs(in, argv);
  uint64_t code = 0;
  bool ok = chrCode(argv[1], code);
  if (ok && argv.size() == 3) code += static_cast<uint64_t>(decimalArg(argv[2])) & 0xFF;
  in.result.clear();
  if (!ok || code > 255) return fail(in, "%s: Overflow in '%s'", "chr", argv[1].c_str());
  if (code) in.result.assign(1, static_cast<char>(code));
  return OK;
}

// asc char
int orvelCommandAsc(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  const std::string& s = argv[1];
  size_t i = !s.empty() && s[0] == '\\' ? 1 : 0;
  unsigned code = i < s.size() ? static_cast<unsigned char>(s[i]) : 0;
  in.result = std::to_string(code);
  return OK;
}

// unescape text
int orvelCommandUnescape(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  in.result = unescapeText(argv[1]);
  return OK;
}

// escape text: backslashes doubled; $ [ ] { } preceded by a backslash.
int orvelCommandEscape(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  std::string out;
  out.reserve(argv[1].size() + 8);
  for (char c : argv[1]) {
    if (c == '\\' || c == '$' || c == '[' || c == ']' || c == '{' || c == '}') out += '\\';
    out += c;
  }
  in.result = std::move(out);
  return OK;
}

// tolower text / toupper text
int orvelCommandTolower(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  in.result = argv[1];
  if (argv[0] == "toupper")
    upperInPlace(in.result);
  else
    lowerInPlace(in.result);
  return OK;
}

// len text
int orvelCommandLen(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  in.result = intText(static_cast<int64_t>(argv[1].size()));
  return OK;
}

// wchar_length text: the number of characters of a UTF-8 text.
int orvelCommandWchar_length(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  const std::string& s = argv[1];
  int64_t count = 0;
  uint32_t code = 0;
  for (size_t i = 0; i < s.size(); count++) i += utf8At(s, i, code);
  in.result = intText(count);
  return OK;
}

// tab ?n?
int orvelCommandTab(Interp& in, Args& argv, void*) {
  if (argv.size() > 2) return wrongNumArgs(in, argv);
  int64_t n = argv.size() == 2 ? decimalArg(argv[1]) : 1;
  if (n < 1) n = 1;
  if (n > kMaxBuiltLength) return tooLong(in, argv[0], n);
  in.result.assign(static_cast<size_t>(n), ' ');
  return OK;
}

// makestr length ?fill? ?varName?
int orvelCommandMakestr(Interp& in, Args& argv, void*) {
  if (argv.size() < 2 || argv.size() > 4) return wrongNumArgs(in, argv);
  int64_t n = decimalArg(argv[1]);
  if (n < 1) n = 1;
  if (n > kMaxBuiltLength) return tooLong(in, argv[0], n);
  char fill = ' ';
  if (argv.size() > 2 && !argv[2].empty() && argv[2] != "--") fill = argv[2][0];
  std::string s(static_cast<size_t>(n), fill);
  if (argv.size() < 4) {
    in.result = std::move(s);
    return OK;
  }
  int code = setVariable(in, argv[3], &s, true);
  in.result.clear();
  return code;
}

// comma number ?separator?: the integer digits of number grouped in threes
// with separator (default ",") between the groups.
int orvelCommandComma(Interp& in, Args& argv, void*) {
  if (argv.size() < 2 || argv.size() > 3) return wrongNumArgs(in, argv);
  const std::string& s = argv[1];
  std::string_view sep = argv.size() == 3 ? std::string_view(argv[2]) : std::string_view(",");
  size_t start = 0;
  while (start < s.size() && isSpaceC(s[start])) start++;
  if (start < s.size() && (s[start] == '+' || s[start] == '-')) start++;
  size_t end = start;
  while (end < s.size() && isDigitC(s[end])) end++;
  std::string out(s, 0, start);
  for (size_t i = start; i < end; i++) {
    if (i > start && (end - i) % 3 == 0) out += sep;
    out += s[i];
  }
  out.append(s, end);
  in.result = std::move(out);
  return OK;
}

const CommandRegistrar kRegs[] = {
    {"chr", orvelCommandChr},
    {"asc", orvelCommandAsc},
    {"unescape", orvelCommandUnescape},
    {"escape", orvelCommandEscape},
    {"tolower", orvelCommandTolower},
    {"toupper", orvelCommandTolower},
    {"len", orvelCommandLen},
    {"tab", orvelCommandTab},
    {"makestr", orvelCommandMakestr},
    {"comma", orvelCommandComma},
    {"map", orvelCommandMap},
    {"wchar_to_string", orvelCommandWchar_to_string},
    {"wchar_length", orvelCommandWchar_length},
};

}  // namespace

}  // namespace orvel::strings
