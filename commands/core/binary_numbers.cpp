// mkn and cvn: numbers to and from their binary forms (a text of 1, 2, 4 or
// 8 bytes, least significant byte first on every machine), for records kept
// in strings, files and memory blocks.
//
//   mkn value ?type?          the binary text of value
//   cvn text ?type? ?offset?  the number held in the bytes at offset
//
// Types: char uchar (1 byte), short ushort (2), int uint long ulong (4),
// wide int64 (8), float (4), double (8). Without a type, mkn takes int for
// an integer and double for a real, and cvn goes by the text's length
// (1 char, 2 short, 4 int, 8 double).
#include <cctype>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "commands/core/list_common.h"
#include "expr/numbers.h"
#include "interp/interp.h"

namespace orvel {

namespace {

enum class NumKind { Signed, Unsigned, Float, Double };

struct NumType {
  const char* name;
  int size;
  NumKind kind;
};

const NumType kTypes[] = {
    {"char", 1, NumKind::Signed},   {"uchar", 1, NumKind::Unsigned}, {"short", 2, NumKind::Signed},
    {"ushort", 2, NumKind::Unsigned}, {"int", 4, NumKind::Signed},   {"uint", 4, NumKind::Unsigned},
    {"long", 4, NumKind::Signed},   {"ulong", 4, NumKind::Unsigned}, {"wide", 8, NumKind::Signed},
    {"int64", 8, NumKind::Signed},  {"float", 4, NumKind::Float},    {"double", 8, NumKind::Double},
};

const NumType* typeByName(std::string_view name) {
  for (const NumType& t : kTypes)
    if (equalsNoCase(name, t.name)) return &t;
  return nullptr;
}

std::string realText(double d) {
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, d);
  std::string s(buf, res.ptr);
  if (std::isfinite(d) && s.find_first_of(".e") == std::string::npos) s += ".0";
  return s;
}

std::string realText(float f) {
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, f);
  std::string s(buf, res.ptr);
  if (std::isfinite(f) && s.find_first_of(".e") == std::string::npos) s += ".0";
  return s;
}

std::string littleEndian(uint64_t bits, int size) {
  std::string out(static_cast<size_t>(size), '\0');
  for (int i = 0; i < size; i++) out[static_cast<size_t>(i)] = static_cast<char>((bits >> (8 * i)) & 0xFF);
  return out;
}

uint64_t fromLittleEndian(const unsigned char* p, int size) {
  uint64_t bits = 0;
  for (int i = 0; i < size; i++) bits |= static_cast<uint64_t>(p[i]) << (8 * i);
  return bits;
}

int makeNumber(Interp& in, Args& argv) {
  if (argv.size() < 2 || argv.size() > 3) return wrongNumArgs(in, argv);
  const std::string& text = argv[1];
  int64_t iv = 0;
  double dv = 0;
  bool isInt = lists::strictInt(text, iv);
  bool isReal = isInt || readDecimalRealText(text, dv);
  if (isInt) dv = static_cast<double>(iv);
  const NumType* t;
  if (argv.size() == 3) {
    t = typeByName(argv[2]);
    if (!t) return fail(in, "%s: Unknown type '%s'", argv[0].c_str(), argv[2].c_str());
  } else {
    t = typeByName(isInt || !isReal ? "int" : "double");
  }
  if (!isReal) return fail(in, "%s: Invalid number '%s'", argv[0].c_str(), text.c_str());
  uint64_t bits = 0;
  switch (t->kind) {
    case NumKind::Signed:
    case NumKind::Unsigned: {
      if (!isInt) return fail(in, "%s: Expected an integer for type %s, got '%s'", argv[0].c_str(), t->name, text.c_str());
      if (t->size < 8) {
        int64_t lo, hi;
        if (t->kind == NumKind::Signed) {
          hi = (int64_t{1} << (8 * t->size - 1)) - 1;
          lo = -hi - 1;
        } else {
          lo = 0;
          hi = (int64_t{1} << (8 * t->size)) - 1;
        }
        if (iv < lo || iv > hi)
          return fail(in, "%s: Value %s out of range for type %s (%lld to %lld)", argv[0].c_str(), text.c_str(),
                      t->name, static_cast<long long>(lo), static_cast<long long>(hi));
      }
      bits = static_cast<uint64_t>(iv);
      break;
    }
    case NumKind::Float: {
      if (std::isfinite(dv) && std::fabs(dv) > FLT_MAX)
        return fail(in, "%s: Value %s out of range for type float", argv[0].c_str(), text.c_str());
      float f = static_cast<float>(dv);
      uint32_t b32;
      std::memcpy(&b32, &f, 4);
      bits = b32;
      break;
    }
    case NumKind::Double:
      std::memcpy(&bits, &dv, 8);
      break;
  }
  in.result = littleEndian(bits, t->size);
  return OK;
}

int convertNumber(Interp& in, Args& argv) {
  if (argv.size() < 2 || argv.size() > 4) return wrongNumArgs(in, argv);
  const std::string& text = argv[1];
  const NumType* t = nullptr;
  if (argv.size() >= 3) {
    t = typeByName(argv[2]);
    if (!t) return fail(in, "%s: Unknown type '%s'", argv[0].c_str(), argv[2].c_str());
  } else {
    switch (text.size()) {
      case 1: t = typeByName("char"); break;
      case 2: t = typeByName("short"); break;
      case 4: t = typeByName("int"); break;
      case 8: t = typeByName("double"); break;
      default:
        return fail(in, "%s: Can't tell the type of a %lld-byte text (give a type)", argv[0].c_str(),
                    static_cast<long long>(text.size()));
    }
  }
  int64_t offset = 0;
  if (argv.size() == 4 && !lists::strictInt(argv[3], offset))
    return fail(in, "%s: Invalid number '%s'", argv[0].c_str(), argv[3].c_str());
  int64_t len = static_cast<int64_t>(text.size());
  if (offset < 0 || offset > len || len - offset < t->size)
    return fail(in, "%s: Text of %lld bytes holds no %s (%d bytes) at offset %lld", argv[0].c_str(),
                static_cast<long long>(len), t->name, t->size, static_cast<long long>(offset));
  uint64_t bits = fromLittleEndian(reinterpret_cast<const unsigned char*>(text.data()) + offset, t->size);
  switch (t->kind) {
    case NumKind::Signed: {
      int shift = 64 - 8 * t->size;
      // Sign extension of the top byte without shifting a negative value.
      int64_t v = shift ? static_cast<int64_t>(bits << shift) / (int64_t{1} << shift) : static_cast<int64_t>(bits);
      in.result = std::to_string(v);
      break;
    }
    case NumKind::Unsigned:
      in.result = std::to_string(bits);
      break;
    case NumKind::Float: {
      uint32_t b32 = static_cast<uint32_t>(bits);
      float f;
      std::memcpy(&f, &b32, 4);
      in.result = realText(f);
      break;
    }
    case NumKind::Double: {
      double d;
      std::memcpy(&d, &bits, 8);
      in.result = realText(d);
      break;
    }
  }
  return OK;
}

// One handler for both names.
int orvelCommandCvn(Interp& in, Args& argv, void*) {
  return argv[0] == "mkn" ? makeNumber(in, argv) : convertNumber(in, argv);
}

const CommandRegistrar reg[] = {{"mkn", orvelCommandCvn}, {"cvn", orvelCommandCvn}};

}  // namespace

}  // namespace orvel
