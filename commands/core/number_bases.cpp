// Number conversion between bases: inttohex, hextoint, inttobin, bintoint,
// inttooct, octtoint, baseconv, convbase, tohex, fromhex, ip_to_long and
// long_to_ip.
#include <cstdint>
#include <string>

#include "expr/numbers.h"
#include "interp/interp.h"
#include "commands/core/list_common.h"

namespace orvel {

namespace {

int digitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return 99;
}

// Digits of v (taken as unsigned) in base 2..36, upper-case letters.
std::string toBase(uint64_t v, int base) {
  static const char digits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  std::string out;
  do {
    out.insert(out.begin(), digits[v % static_cast<uint64_t>(base)]);
    v /= static_cast<uint64_t>(base);
  } while (v);
  return out;
}

// Reads digits of a base (an optional leading minus); false on an empty
// text, a foreign character or a value above 64 bits.
bool fromBase(std::string_view s, int base, int64_t& out) {
  bool negative = false;
  if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  if (s.empty()) return false;
  uint64_t v = 0;
  for (char c : s) {
    int d = digitValue(c);
    if (d >= base) return false;
    if (v > (UINT64_MAX - static_cast<uint64_t>(d)) / static_cast<uint64_t>(base)) return false;
    v = v * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
  }
  out = static_cast<int64_t>(negative ? 0 - v : v);
  return true;
}

// A whole word as an integer (decimal or with a radix prefix).
bool readInt(Interp& in, const Args& argv, size_t i, int64_t& v) {
  if (lists::strictInt(argv[i], v)) return true;
  fail(in, "%s: Invalid integer '%s'", argv[0].c_str(), argv[i].c_str());
  return false;
}

// An optional width argument: at most 64 digits.
bool readWidth(Interp& in, const Args& argv, size_t i, int64_t& width) {
  width = 0;
  if (argv.size() <= i) return true;
  if (!readInt(in, argv, i, width)) return false;
  if (width < 0 || width > 64) {
    fail(in, "%s: Invalid width '%s'", argv[0].c_str(), argv[i].c_str());
    return false;
  }
  return true;
}

std::string padded(std::string digits, int64_t width) {
  if (static_cast<int64_t>(digits.size()) < width) digits.insert(0, static_cast<size_t>(width) - digits.size(), '0');
  return digits;
}

// inttohex / inttobin / inttooct value ?width?
int orvelCommandInttohex(Interp& in, Args& argv, void*) {
  if (argv.size() < 2 || argv.size() > 3) return wrongNumArgs(in, argv);
  int base = argv[0] == "inttobin" ? 2 : argv[0] == "inttooct" ? 8 : 16;
  int64_t v, width;
  if (!readInt(in, argv, 1, v) || !readWidth(in, argv, 2, width)) return ERROR;
  in.result = padded(toBase(static_cast<uint64_t>(v), base), width);
  return OK;
}

// hextoint / bintoint / octtoint text: an optional prefix of that base.
int orvelCommandHextoint(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  int base = argv[0] == "bintoint" ? 2 : argv[0] == "octtoint" ? 8 : 16;
  std::string_view s = argv[1];
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  char mark = base == 2 ? 'b' : base == 8 ? 'o' : 'x';
  if (s.size() > 2 && s[0] == '0' && (s[1] | 0x20) == mark) s.remove_prefix(2);
  else if (s.size() > 2 && s[0] == '&' && (s[1] | 0x20) == (base == 16 ? 'h' : mark)) s.remove_prefix(2);
  int64_t v;
  if (s.empty() || s[0] == '-' || s[0] == '+' || !fromBase(s, base, v)) {
    const char* kind = base == 2 ? "binary" : base == 8 ? "octal" : "hexadecimal";
    return fail(in, "%s: Invalid %s number '%s'", argv[0].c_str(), kind, argv[1].c_str());
  }
  in.result = intText(v);
  return OK;
}

// baseconv / convbase number from-base to-base
int orvelCommandBaseconv(Interp& in, Args& argv, void*) {
  if (argv.size() != 4) return wrongNumArgs(in, argv);
  int64_t from, to;
  if (!readInt(in, argv, 2, from) || !readInt(in, argv, 3, to)) return ERROR;
  if (from < 2 || from > 36) return fail(in, "%s: Invalid base '%s' (2 to 36)", argv[0].c_str(), argv[2].c_str());
  if (to < 2 || to > 36) return fail(in, "%s: Invalid base '%s' (2 to 36)", argv[0].c_str(), argv[3].c_str());
  int64_t v;
  if (!fromBase(argv[1], static_cast<int>(from), v))
    return fail(in, "%s: Invalid number '%s' in base %li", argv[0].c_str(), argv[1].c_str(), static_cast<long>(from));
  bool negative = !argv[1].empty() && argv[1][0] == '-';
  uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
  in.result = (negative && magnitude ? "-" : "") + toBase(magnitude, static_cast<int>(to));
  return OK;
}

// tohex text: two hexadecimal digits per byte.
int orvelCommandTohex(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(argv[1].size() * 2);
  for (unsigned char c : argv[1]) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  in.result = std::move(out);
  return OK;
}

// fromhex digits: the bytes; blanks between pairs are allowed.
int orvelCommandFromhex(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  std::string digits;
  for (char c : argv[1])
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') digits += c;
  if (digits.size() % 2) return fail(in, "%s: Odd number of hexadecimal digits", argv[0].c_str());
  std::string out;
  for (size_t i = 0; i < digits.size(); i += 2) {
    int hi = digitValue(digits[i]), lo = digitValue(digits[i + 1]);
    if (hi > 15 || lo > 15) return fail(in, "%s: Invalid hexadecimal digits '%s'", argv[0].c_str(), digits.substr(i, 2).c_str());
    out += static_cast<char>(hi * 16 + lo);
  }
  in.result = std::move(out);
  return OK;
}

// ip_to_long a.b.c.d: the address as an unsigned 32-bit number.
int orvelCommandIp_to_long(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  const std::string& s = argv[1];
  uint64_t value = 0;
  int parts = 0;
  size_t i = 0;
  while (i <= s.size()) {
    size_t j = i;
    uint64_t part = 0;
    while (j < s.size() && s[j] >= '0' && s[j] <= '9' && j - i < 3) part = part * 10 + static_cast<uint64_t>(s[j++] - '0');
    if (j == i || part > 255 || ++parts > 4) break;
    value = value * 256 + part;
    if (j == s.size()) {
      i = j + 1;
      if (parts == 4) {
        in.result = uintText(value);
        return OK;
      }
      break;
    }
    if (s[j] != '.') break;
    i = j + 1;
  }
  return fail(in, "%s: Invalid IPv4 address '%s'", argv[0].c_str(), s.c_str());
}

// long_to_ip n: the dotted form of an unsigned 32-bit number.
int orvelCommandLong_to_ip(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  int64_t v;
  if (!readInt(in, argv, 1, v)) return ERROR;
  if (v < 0 || v > 0xFFFFFFFFLL) return fail(in, "%s: Value out of range '%s'", argv[0].c_str(), argv[1].c_str());
  in.result = strprintf("%u.%u.%u.%u", static_cast<unsigned>(v >> 24) & 255, static_cast<unsigned>(v >> 16) & 255,
                        static_cast<unsigned>(v >> 8) & 255, static_cast<unsigned>(v) & 255);
  return OK;
}

const CommandRegistrar reg[] = {
    {"inttohex", orvelCommandInttohex}, {"inttobin", orvelCommandInttohex}, {"inttooct", orvelCommandInttohex},
    {"hextoint", orvelCommandHextoint}, {"bintoint", orvelCommandHextoint}, {"octtoint", orvelCommandHextoint},
    {"baseconv", orvelCommandBaseconv}, {"convbase", orvelCommandBaseconv}, {"tohex", orvelCommandTohex},
    {"fromhex", orvelCommandFromhex},   {"ip_to_long", orvelCommandIp_to_long},
    {"long_to_ip", orvelCommandLong_to_ip},
};

}  // namespace

}  // namespace orvel
