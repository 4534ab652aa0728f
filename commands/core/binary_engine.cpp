// The pack and unpack engine of the binary command (see binary_engine.h).
#include "commands/core/binary_engine.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "expr/numbers.h"
#include "interp/list_text.h"

namespace orvel::binary {

namespace {

constexpr int64_t kCountLimit = int64_t{1} << 40;  // parse limit, well above any usable count

bool isIntegerLetter(char c) { return std::strchr("csSiIwW", c) != nullptr; }
bool isRealLetter(char c) { return std::strchr("frRdqQ", c) != nullptr; }

// Byte width of a number field.
int widthOf(char c) {
  switch (c) {
    case 'c':
      return 1;
    case 's':
    case 'S':
      return 2;
    case 'i':
    case 'I':
    case 'f':
    case 'r':
    case 'R':
      return 4;
    default:
      return 8;  // w W d q Q
  }
}

bool bigEndian(char c) { return c == 'S' || c == 'I' || c == 'W' || c == 'R' || c == 'Q'; }

std::string letterText(char c) { return std::string(1, c); }

// A cursor over the output: writes overwrite and extend.
struct Output {
  std::string bytes;
  int64_t pos = 0;
  std::string& err;

  explicit Output(std::string& e) : err(e) {}

  // Makes room for n bytes at the cursor; false when the result would be
  // too long.
  bool reserve(int64_t n) {
    if (n < 0 || n > kMaxBytes || pos > kMaxBytes - n) {
      err = "result would be longer than " + std::to_string(kMaxBytes) + " bytes";
      return false;
    }
    if (static_cast<int64_t>(bytes.size()) < pos + n) bytes.resize(static_cast<size_t>(pos + n), '\0');
    return true;
  }
  void put(unsigned char b) { bytes[static_cast<size_t>(pos++)] = static_cast<char>(b); }
};

void putNumber(Output& o, uint64_t bits, int width, bool big) {
  for (int k = 0; k < width; k++) {
    int shift = big ? (width - 1 - k) * 8 : k * 8;
    o.put(static_cast<unsigned char>((bits >> shift) & 0xFF));
  }
}

uint64_t realBits(double v, int width) {
  if (width == 4) {
    float f = static_cast<float>(v);
    uint32_t u;
    std::memcpy(&u, &f, 4);
    return u;
  }
  uint64_t u;
  std::memcpy(&u, &v, 8);
  return u;
}

bool packNumbers(Output& o, const Field& f, const std::string& value, std::string& err) {
  std::vector<std::string> items;
  if (f.hasCount || f.star) {
    TclTokenised3(value, items);
    if (f.hasCount) {
      if (static_cast<int64_t>(items.size()) < f.count) {
        err = "number of elements in list does not match count";
        return false;
      }
      items.resize(static_cast<size_t>(f.count));
    }
  } else {
    items.push_back(value);
  }
  const int width = widthOf(f.letter);
  if (static_cast<int64_t>(items.size()) > kMaxBytes / width) {
    err = "result would be longer than " + std::to_string(kMaxBytes) + " bytes";
    return false;
  }
  if (!o.reserve(static_cast<int64_t>(items.size()) * width)) return false;
  for (const std::string& item : items) {
    uint64_t bits;
    if (isRealLetter(f.letter)) {
      double d;
      if (!strictReal(item, d)) {
        err = "expected a real number but got '" + item + "'";
        return false;
      }
      bits = realBits(d, width);
    } else {
      int64_t v;
      if (!strictInteger(item, v)) {
        err = "expected an integer but got '" + item + "'";
        return false;
      }
      bits = static_cast<uint64_t>(v);
    }
    putNumber(o, bits, width, bigEndian(f.letter));
  }
  return true;
}

int digitValue(char c, bool hex) {
  if (c >= '0' && c <= '9') {
    int v = c - '0';
    return hex || v < 2 ? v : -1;
  }
  if (!hex) return -1;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool packDigits(Output& o, const Field& f, const std::string& value, std::string& err) {
  const bool hex = f.letter == 'h' || f.letter == 'H';
  const int perByte = hex ? 2 : 8;
  const int bitsPer = hex ? 4 : 1;
  int64_t count = f.star ? static_cast<int64_t>(value.size()) : f.hasCount ? f.count : 1;
  for (char c : value)
    if (digitValue(c, hex) < 0) {
      err = std::string("expected ") + (hex ? "hexadecimal" : "binary") + " digits but got '" + value + "'";
      return false;
    }
  if (count > kMaxBytes * perByte) count = kMaxBytes * perByte + 1;  // fails in reserve
  int64_t nbytes = (count + perByte - 1) / perByte;
  if (!o.reserve(nbytes)) return false;
  const bool lowFirst = f.letter == 'b' || f.letter == 'h';
  unsigned acc = 0;
  int filled = 0;
  for (int64_t k = 0; k < count; k++) {
    unsigned d = k < static_cast<int64_t>(value.size())
                     ? static_cast<unsigned>(digitValue(value[static_cast<size_t>(k)], hex))
                     : 0;
    if (lowFirst)
      acc |= d << (filled * bitsPer);
    else
      acc |= d << ((perByte - 1 - filled) * bitsPer);
    if (++filled == perByte) {
      o.put(static_cast<unsigned char>(acc));
      acc = 0;
      filled = 0;
    }
  }
  if (filled) o.put(static_cast<unsigned char>(acc));
  return true;
}

std::string joinNumbers(const std::vector<std::string>& items) {
  std::string out;
  for (const std::string& s : items) {
    if (!out.empty()) out += ' ';
    out += s;
  }
  return out;
}

std::string numberText(const Field& f, const unsigned char* p) {
  const int width = widthOf(f.letter);
  const bool big = bigEndian(f.letter);
  uint64_t bits = 0;
  for (int k = 0; k < width; k++) {
    int shift = big ? (width - 1 - k) * 8 : k * 8;
    bits |= static_cast<uint64_t>(p[k]) << shift;
  }
  if (isRealLetter(f.letter)) {
    double d;
    if (width == 4) {
      uint32_t u = static_cast<uint32_t>(bits);
      float fl;
      std::memcpy(&fl, &u, 4);
      d = fl;
    } else {
      std::memcpy(&d, &bits, 8);
    }
    return realResultText(d);
  }
  if (f.isUnsigned) return uintText(bits);
  // Sign-extend from the field width.
  if (width < 8 && (bits >> (width * 8 - 1)) & 1) bits |= ~uint64_t{0} << (width * 8);
  return intText(static_cast<int64_t>(bits));
}

}  // namespace

bool strictInteger(std::string_view s, int64_t& out) {
  size_t i = 0, n = s.size();
  while (i < n && (s[i] == ' ' || s[i] == '\t')) i++;
  while (n > i && (s[n - 1] == ' ' || s[n - 1] == '\t')) n--;
  std::string_view t = s.substr(i, n - i);
  size_t j = 0;
  if (j < t.size() && (t[j] == '+' || t[j] == '-')) j++;
  int base = 10;
  if (j + 1 < t.size() && (t[j] == '0' || t[j] == '&')) {
    char p = static_cast<char>(t[j + 1] | 0x20);
    if (t[j] == '0' && p == 'x')
      base = 16;
    else if (t[j] == '0' && p == 'b')
      base = 2;
    else if (t[j] == '0' && p == 'o')
      base = 8;
    else if (t[j] == '&' && p == 'h')
      base = 16;
    else if (t[j] == '&' && p == 'b')
      base = 2;
    if (base != 10) j += 2;
  }
  if (j >= t.size()) return false;
  for (size_t k = j; k < t.size(); k++) {
    char c = t[k];
    int v = c >= '0' && c <= '9' ? c - '0' : (c | 0x20) >= 'a' && (c | 0x20) <= 'f' ? (c | 0x20) - 'a' + 10 : 99;
    if (v >= base) return false;
  }
  uint64_t v = 0;
  for (size_t k = j; k < t.size(); k++) {
    char c = t[k];
    unsigned d = c >= '0' && c <= '9' ? static_cast<unsigned>(c - '0') : static_cast<unsigned>((c | 0x20) - 'a' + 10);
    v = v * static_cast<uint64_t>(base) + d;  // wraps to 64 bits
  }
  out = static_cast<int64_t>(!t.empty() && t[0] == '-' ? ~v + 1 : v);
  return true;
}

bool strictReal(std::string_view s, double& out) {
  std::string t(s);
  size_t a = t.find_first_not_of(" \t");
  if (a == std::string::npos) return false;
  size_t b = t.find_last_not_of(" \t");
  t = t.substr(a, b - a + 1);
  // Decimal forms only: sign, digits, point, exponent.
  bool digit = false;
  for (char c : t) {
    if (c >= '0' && c <= '9')
      digit = true;
    else if (!std::strchr("+-.eE", c))
      return false;
  }
  if (!digit) return false;
  char* end = nullptr;
  out = std::strtod(t.c_str(), &end);
  return end && *end == '\0';
}

bool parseFormat(std::string_view fmt, std::vector<Field>& out, std::string& err) {
  out.clear();
  for (size_t i = 0; i < fmt.size();) {
    char c = fmt[i];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      i++;
      continue;
    }
    if (!std::strchr("aAbBhHcsSiIwWfrRdqQxX@", c)) {
      err = "bad field specifier '" + letterText(c) + "'";
      return false;
    }
    Field f;
    f.letter = c;
    i++;
    if (i < fmt.size() && fmt[i] == 'u') {
      if (!isIntegerLetter(c)) {
        err = "bad field specifier 'u' after '" + letterText(c) + "'";
        return false;
      }
      f.isUnsigned = true;
      i++;
    }
    if (i < fmt.size() && fmt[i] == '*') {
      f.star = true;
      i++;
    } else if (i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9') {
      f.hasCount = true;
      int64_t n = 0;
      for (; i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9'; i++) {
        n = n * 10 + (fmt[i] - '0');
        if (n > kCountLimit) {
          err = "count too large in field '" + letterText(c) + "'";
          return false;
        }
      }
      f.count = n;
    }
    out.push_back(f);
  }
  return true;
}

bool takesValue(const Field& f) { return f.letter != 'x' && f.letter != 'X' && f.letter != '@'; }

bool pack(std::string_view fmt, const std::vector<std::string>& values, std::string& out, std::string& err) {
  std::vector<Field> fields;
  if (!parseFormat(fmt, fields, err)) return false;
  size_t needed = 0;
  for (const Field& f : fields) needed += takesValue(f) ? 1 : 0;
  if (values.size() < needed) {
    err = "not enough values for all fields of the format";
    return false;
  }
  if (values.size() > needed) {
    err = "more values than fields in the format";
    return false;
  }
  Output o(err);
  size_t next = 0;
  for (const Field& f : fields) {
    switch (f.letter) {
      case 'a':
      case 'A': {
        const std::string& v = values[next++];
        int64_t count = f.star ? static_cast<int64_t>(v.size()) : f.hasCount ? f.count : 1;
        if (!o.reserve(count)) return false;
        for (int64_t k = 0; k < count; k++)
          o.put(k < static_cast<int64_t>(v.size()) ? static_cast<unsigned char>(v[static_cast<size_t>(k)])
                                                   : (f.letter == 'a' ? 0 : ' '));
        break;
      }
      case 'b':
      case 'B':
      case 'h':
      case 'H':
        if (!packDigits(o, f, values[next++], err)) return false;
        break;
      case 'x': {
        if (f.star) {
          err = "cannot use '*' with field 'x'";
          return false;
        }
        int64_t count = f.hasCount ? f.count : 1;
        if (!o.reserve(count)) return false;
        for (int64_t k = 0; k < count; k++) o.put(0);
        break;
      }
      case 'X': {
        int64_t count = f.star ? o.pos : f.hasCount ? f.count : 1;
        o.pos = count >= o.pos ? 0 : o.pos - count;
        break;
      }
      case '@':
        if (f.star) {
          o.pos = static_cast<int64_t>(o.bytes.size());
        } else if (!f.hasCount) {
          err = "missing count for field '@'";
          return false;
        } else {
          if (f.count > kMaxBytes) {
            err = "result would be longer than " + std::to_string(kMaxBytes) + " bytes";
            return false;
          }
          o.pos = f.count;
          if (!o.reserve(0)) return false;
        }
        break;
      default:
        if (!packNumbers(o, f, values[next++], err)) return false;
        break;
    }
  }
  out = std::move(o.bytes);
  return true;
}

bool unpack(std::string_view data, std::string_view fmt, std::vector<std::string>& values, size_t& fieldCount,
            std::string& err) {
  std::vector<Field> fields;
  values.clear();
  fieldCount = 0;
  if (!parseFormat(fmt, fields, err)) return false;
  for (const Field& f : fields) fieldCount += takesValue(f) ? 1 : 0;
  for (const Field& f : fields)
    if (f.letter == '@' && !f.star && !f.hasCount) {
      err = "missing count for field '@'";
      return false;
    }
  const int64_t len = static_cast<int64_t>(data.size());
  const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
  int64_t pos = 0;
  for (const Field& f : fields) {
    const int64_t left = len - pos;
    switch (f.letter) {
      case 'a':
      case 'A': {
        int64_t count = f.star ? left : f.hasCount ? f.count : 1;
        if (count > left) return true;
        std::string v(data.substr(static_cast<size_t>(pos), static_cast<size_t>(count)));
        if (f.letter == 'A')
          while (!v.empty() && (v.back() == ' ' || v.back() == '\0')) v.pop_back();
        values.push_back(std::move(v));
        pos += count;
        break;
      }
      case 'b':
      case 'B':
      case 'h':
      case 'H': {
        const bool hex = f.letter == 'h' || f.letter == 'H';
        const int perByte = hex ? 2 : 8;
        int64_t count = f.star ? left * perByte : f.hasCount ? f.count : 1;
        if (count > left * perByte) return true;
        std::string v;
        v.reserve(static_cast<size_t>(count));
        const bool lowFirst = f.letter == 'b' || f.letter == 'h';
        for (int64_t k = 0; k < count; k++) {
          unsigned b = bytes[pos + k / perByte];
          int slot = static_cast<int>(k % perByte);
          unsigned d;
          if (hex)
            d = lowFirst ? (slot == 0 ? b & 0xF : b >> 4) : (slot == 0 ? b >> 4 : b & 0xF);
          else
            d = lowFirst ? (b >> slot) & 1 : (b >> (7 - slot)) & 1;
          v += "0123456789abcdef"[d];
        }
        values.push_back(std::move(v));
        pos += (count + perByte - 1) / perByte;
        break;
      }
      case 'x': {
        int64_t count = f.star ? left : f.hasCount ? f.count : 1;
        pos = count >= left ? len : pos + count;
        break;
      }
      case 'X': {
        int64_t count = f.star ? pos : f.hasCount ? f.count : 1;
        pos = count >= pos ? 0 : pos - count;
        break;
      }
      case '@':
        pos = f.star || f.count > len ? len : f.count;
        break;
      default: {
        const int width = widthOf(f.letter);
        if (!f.hasCount && !f.star) {
          if (left < width) return true;
          values.push_back(numberText(f, bytes + pos));
          pos += width;
          break;
        }
        int64_t count = f.star ? left / width : f.count;
        if (count > left / width) return true;
        std::vector<std::string> items;
        items.reserve(static_cast<size_t>(count));
        for (int64_t k = 0; k < count; k++, pos += width) items.push_back(numberText(f, bytes + pos));
        values.push_back(joinNumbers(items));
        break;
      }
    }
  }
  return true;
}

std::string hexEncode(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (char ch : bytes) {
    auto b = static_cast<unsigned char>(ch);
    out += "0123456789abcdef"[b >> 4];
    out += "0123456789abcdef"[b & 0xF];
  }
  return out;
}

bool hexDecode(std::string_view text, std::string& out) {
  out.clear();
  int high = -1;
  for (char c : text) {
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
    int v = digitValue(c, true);
    if (v < 0) return false;
    if (high < 0) {
      high = v;
    } else {
      out += static_cast<char>((high << 4) | v);
      high = -1;
    }
  }
  return high < 0;
}

}  // namespace orvel::binary
