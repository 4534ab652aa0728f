// util: value helpers that belong to no other command family.
//   util coalesce ?value ...?   the first value that is not empty
//   util vercmp a b             -1, 0 or 1 comparing dotted version texts
//   util bytesize n ?-si?       a byte count for people: "1.5 KiB" (-si: "1.5 kB")
#include <cinttypes>
#include <cstdio>

#include "commands/core/binary_engine.h"
#include "expr/numbers.h"
#include "interp/interp.h"

namespace orvel {

namespace {

bool allDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

// Compares one part of a version: numbers by value (leading zeros
// ignored), anything else byte by byte; a number sorts before a word.
int comparePart(std::string_view a, std::string_view b) {
  const bool na = allDigits(a), nb = allDigits(b);
  if (na && nb) {
    while (a.size() > 1 && a[0] == '0') a.remove_prefix(1);
    while (b.size() > 1 && b[0] == '0') b.remove_prefix(1);
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  } else if (na != nb) {
    return na ? -1 : 1;
  }
  int c = a.compare(b);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

int versionCompare(std::string_view a, std::string_view b) {
  while (!a.empty() || !b.empty()) {
    size_t da = a.find('.'), db = b.find('.');
    std::string_view pa = a.substr(0, da), pb = b.substr(0, db);
    a = da == std::string_view::npos ? std::string_view() : a.substr(da + 1);
    b = db == std::string_view::npos ? std::string_view() : b.substr(db + 1);
    // A missing part counts as 0, so 1.2 equals 1.2.0.
    int c = comparePart(pa.empty() ? "0" : pa, pb.empty() ? "0" : pb);
    if (c) return c;
  }
  return 0;
}

std::string byteSize(int64_t n, bool si) {
  static const char* const binaryUnits[] = {"B", "KiB", "MiB", "GiB", "TiB", "PiB", "EiB"};
  static const char* const siUnits[] = {"B", "kB", "MB", "GB", "TB", "PB", "EB"};
  const double step = si ? 1000.0 : 1024.0;
  if (static_cast<double>(n) < step) return intText(n) + " B";
  double v = static_cast<double>(n);
  int unit = 0;
  while (v >= step && unit < 6) {
    v /= step;
    unit++;
  }
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.1f %s", v, si ? siUnits[unit] : binaryUnits[unit]);
  return buf;
}

int orvelCommandUtil(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  const std::string& sub = argv[1];
  in.result.clear();
  if (equalsNoCase(sub, "coalesce")) {
    for (size_t i = 2; i < argv.size(); i++)
      if (!argv[i].empty()) {
        in.result = argv[i];
        break;
      }
    return OK;
  }
  if (equalsNoCase(sub, "vercmp")) {
    if (argv.size() != 4) return wrongNumArgs(in, argv);
    in.result = intText(versionCompare(argv[2], argv[3]));
    return OK;
  }
  if (equalsNoCase(sub, "bytesize")) {
    if (argv.size() < 3 || argv.size() > 4) return wrongNumArgs(in, argv);
    if (argv.size() == 4 && argv[3] != "-si")
      return fail(in, "%s %s: Unknown option '%s'", argv[0].c_str(), sub.c_str(), argv[3].c_str());
    int64_t n;
    if (!binary::strictInteger(argv[2], n) || n < 0)
      return fail(in, "%s %s: Invalid byte count '%s'", argv[0].c_str(), sub.c_str(), argv[2].c_str());
    in.result = byteSize(n, argv.size() == 4);
    return OK;
  }
  return fail(in, "%s: Unknown subcommand '%s' (coalesce, vercmp or bytesize)", argv[0].c_str(), sub.c_str());
}

const CommandRegistrar reg[] = {{"util", orvelCommandUtil}};

}  // namespace

}  // namespace orvel
