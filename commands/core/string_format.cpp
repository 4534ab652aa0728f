// format fmt ?arg...?: C-style formatting with the 64-bit integer forms,
// giving the same text on every platform. Integers, padding and the special
// floating-point values are written here; only the digits of finite reals
// come from the C library, through a format this file builds itself.
#include "commands/core/string_format.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "commands/core/string_common.h"
#include "interp/process_state.h"

namespace orvel::strings {

namespace {

constexpr int64_t kMaxField = int64_t{1} << 20;

struct Conversion {
  bool minus = false, plus = false, space = false, hash = false, zero = false;
  int64_t width = -1;
  int64_t prec = -1;
  bool wide = false;  // ll or I64
  char conv = 0;
};

// Pads body to the field width. With zeros, they go after the sign and
// any 0x prefix (the first `keep` characters).
void padInto(std::string& out, std::string_view body, const Conversion& s, bool zeros, size_t keep = 0) {
  size_t width = s.width > 0 ? static_cast<size_t>(s.width) : 0;
  if (body.size() >= width) {
    out += body;
    return;
  }
  size_t fill = width - body.size();
  if (s.minus) {
    out += body;
    out.append(fill, ' ');
  } else if (zeros) {
    out += body.substr(0, keep);
    out.append(fill, '0');
    out += body.substr(keep);
  } else {
    out.append(fill, ' ');
    out += body;
  }
}

// Writes the digits of v backwards so that they end at end; returns where
// they begin. The common bases each have a loop with a constant divisor
// (multiplications and shifts instead of divisions).
char* digitsBackwards(char* end, uint64_t v, unsigned base, bool upper) {
  const char* d = upper ? "0123456789ABCDEF" : "0123456789abcdef";
  switch (base) {
    case 10:
      do {
        *--end = static_cast<char>('0' + v % 10);
        v /= 10;
      } while (v);
      break;
    case 16:
      do {
        *--end = d[v & 15];
        v >>= 4;
      } while (v);
      break;
    case 8:
      do {
        *--end = static_cast<char>('0' + (v & 7));
        v >>= 3;
      } while (v);
      break;
    default:
      do {
        *--end = d[v % base];
        v /= base;
      } while (v);
  }
  return end;
}

std::string digitsOf(uint64_t v, unsigned base, bool upper) {
  char buf[64];
  return std::string(digitsBackwards(buf + sizeof buf, v, base, upper), buf + sizeof buf);
}

void formatInteger(std::string& out, const Conversion& s, std::string_view arg) {
  int64_t value = decimalArg(arg);
  const char c = s.conv;
  const bool isSigned = c == 'd' || c == 'i';
  if (!s.wide) {
    if (isSigned)
      value = static_cast<int32_t>(static_cast<uint32_t>(value));
    else
      value = static_cast<int64_t>(static_cast<uint32_t>(value));
  }
  std::string_view prefix;
  uint64_t mag;
  if (isSigned) {
    mag = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    prefix = value < 0 ? "-" : s.plus ? "+" : s.space ? " " : "";
  } else {
    mag = static_cast<uint64_t>(value);
  }
  const unsigned base = c == 'o' ? 8 : (c == 'x' || c == 'X') ? 16 : 10;
  if (s.hash && base == 16 && mag != 0) prefix = c == 'X' ? "0X" : "0x";
  char buf[32];
  char* const end = buf + sizeof buf;
  char* const first = s.prec == 0 && mag == 0 ? end : digitsBackwards(end, mag, base, c == 'X');
  const std::string_view digits(first, static_cast<size_t>(end - first));
  const size_t precZeros =
      s.prec > 0 && digits.size() < static_cast<size_t>(s.prec) ? static_cast<size_t>(s.prec) - digits.size() : 0;
  // The body (short enough to stay inside the string as a rule): sign or
  // 0x, zeros up to the precision, the 0 that # puts before an octal
  // number that does not already begin with one, the digits.
  std::string body(prefix);
  body.append(precZeros, '0');
  if (s.hash && c == 'o' && precZeros == 0 && (digits.empty() || digits[0] != '0')) body += '0';
  body += digits;
  padInto(out, body, s, s.zero && s.prec < 0, prefix.size());
}

// Three-digit exponents with a leading zero (some C libraries write them)
// are cut to the usual two.
void normaliseExponent(std::string& t) {
  size_t e = t.find_first_of("eE");
  if (e == std::string::npos || t.size() != e + 5) return;
  if ((t[e + 1] == '+' || t[e + 1] == '-') && t[e + 2] == '0') t.erase(e + 2, 1);
}

bool formatReal(std::string& out, const Conversion& s, std::string_view arg, std::string& err) {
  std::string text(arg);
  double d = std::strtod(text.c_str(), nullptr);
  const bool upper = s.conv == 'E' || s.conv == 'F' || s.conv == 'G';
  std::string sign = std::signbit(d) ? "-" : s.plus ? "+" : s.space ? " " : "";
  if (std::isnan(d) || std::isinf(d)) {
    if (std::isnan(d) && sign == "-") sign.clear();
    std::string body = sign + (std::isnan(d) ? (upper ? "NAN" : "nan") : (upper ? "INF" : "inf"));
    padInto(out, body, s, false);
    return true;
  }
  char conv = s.conv == 'F' ? 'f' : s.conv;
  char fmt[8];
  size_t k = 0;
  fmt[k++] = '%';
  if (s.hash) fmt[k++] = '#';
  fmt[k++] = '.';
  fmt[k++] = '*';
  fmt[k++] = conv;
  fmt[k] = '\0';
  int prec = static_cast<int>(s.prec < 0 ? 6 : s.prec);
  double mag = std::fabs(d);
  int n = std::snprintf(nullptr, 0, fmt, prec, mag);
  if (n < 0) {
    err = "Can't format the real number '" + text + "'";
    return false;
  }
  std::string body(static_cast<size_t>(n) + 1, '\0');
  std::snprintf(body.data(), body.size(), fmt, prec, mag);
  body.resize(static_cast<size_t>(n));
  normaliseExponent(body);
  padInto(out, sign + body, s, s.zero, sign.size());
  return true;
}

}  // namespace

bool formatText(std::string_view fmt, std::span<const std::string> args, bool unescapeStrings, std::string& out,
                std::string& err) {
  out.clear();
  size_t next = 0;  // next argument
  size_t i = 0;
  while (i < fmt.size()) {
    size_t pct = fmt.find('%', i);
    if (pct == std::string_view::npos) {
      out += fmt.substr(i);
      break;
    }
    out += fmt.substr(i, pct - i);
    i = pct + 1;
    if (i < fmt.size() && fmt[i] == '%') {
      out += '%';
      i++;
      continue;
    }
    Conversion s;
    for (bool more = true; more && i < fmt.size(); ) {
      switch (fmt[i]) {
        case '-': s.minus = true; break;
        case '+': s.plus = true; break;
        case ' ': s.space = true; break;
        case '#': s.hash = true; break;
        case '0': s.zero = true; break;
        default: more = false; continue;
      }
      i++;
    }
    bool argMissing = false;
    auto number = [&](int64_t& field, bool isWidth) {
      if (i < fmt.size() && fmt[i] == '*') {
        i++;
        if (next >= args.size()) {
          argMissing = true;
          return;
        }
        int64_t v = decimalArg(args[next++]);
        if (v < 0) {
          if (!isWidth) return;  // a negative precision counts as none
          s.minus = true;
          v = v == INT64_MIN ? INT64_MAX : -v;
        }
        field = v;
        return;
      }
      if (!isWidth) field = 0;
      while (i < fmt.size() && isDigitC(fmt[i])) {
        int64_t base = field < 0 ? 0 : field;
        field = base > kMaxField ? base : base * 10 + (fmt[i] - '0');
        i++;
      }
    };
    number(s.width, true);
    if (i < fmt.size() && fmt[i] == '.') {
      i++;
      number(s.prec, false);
    }
    if (i + 1 < fmt.size() && fmt[i] == 'l' && fmt[i + 1] == 'l') {
      s.wide = true;
      i += 2;
    } else if (i + 2 < fmt.size() && fmt[i] == 'I' && fmt[i + 1] == '6' && fmt[i + 2] == '4') {
      s.wide = true;
      i += 3;
    } else if (i < fmt.size() && fmt[i] == 'l') {
      i++;
    }
    if (i >= fmt.size()) {  // an unfinished conversion stays as written
      out += fmt.substr(pct);
      break;
    }
    s.conv = fmt[i++];
    if (s.width > kMaxField || s.prec > kMaxField) {
      err = "Field width or precision too large in '" + std::string(fmt.substr(pct, i - pct)) + "'";
      return false;
    }
    if (argMissing || next >= args.size()) continue;  // nothing to format
    const std::string& arg = args[next++];
    switch (s.conv) {
      case 'd': case 'i': case 'o': case 'u': case 'x': case 'X':
        formatInteger(out, s, arg);
        break;
      case 'e': case 'E': case 'f': case 'F': case 'g': case 'G':
        if (!formatReal(out, s, arg, err)) return false;
        break;
      case 'c': {
        char ch = static_cast<char>(static_cast<unsigned char>(decimalArg(arg) & 0xFF));
        padInto(out, ch ? std::string_view(&ch, 1) : std::string_view(), s, false);
        break;
      }
      case 's': {
        std::string unescaped;
        std::string_view body = arg;
        if (unescapeStrings && arg.find('\\') != std::string::npos) {
          unescaped = unescapeText(arg);
          body = unescaped;
        }
        if (s.prec >= 0 && static_cast<size_t>(s.prec) < body.size()) body = body.substr(0, static_cast<size_t>(s.prec));
        padInto(out, body, s, false);
        break;
      }
      case 'b':
        padInto(out, digitsOf(static_cast<uint64_t>(decimalArg(arg)), 2, false), s, s.zero);
        break;
      default:
        padInto(out, std::string_view(arg).substr(0, arg.empty() ? 0 : 1), s, false);
        break;
    }
    if (static_cast<int64_t>(out.size()) > kMaxBuiltLength) {
      err = "Result too long";
      return false;
    }
  }
  return true;
}

namespace {

int orvelCommandFormat(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  // The text is built straight into the result (its buffer is reused);
  // a failure leaves the result empty.
  in.result.clear();
  try {
    const bool escapes = ps().escape;
    std::string unescaped;
    std::string_view fmt = argv[1];
    if (escapes && fmt.find('\\') != std::string_view::npos) {
      unescaped = unescapeText(fmt);
      fmt = unescaped;
    }
    const std::span<const std::string> args(argv.data() + 2, argv.size() - 2);
    std::string err;
    if (!formatText(fmt, args, escapes, in.result, err)) {
      in.result.clear();
      return fail(in, "%s: %s", argv[0].c_str(), err.c_str());
    }
    return OK;
  } catch (const std::exception& e) {
    in.result.clear();
    reportException("format string", e.what());
    return ERROR;
  }
}

const CommandRegistrar kRegs[] = {{"format", orvelCommandFormat}};

}  // namespace

}  // namespace orvel::strings
