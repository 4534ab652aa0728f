// Cutting at the ends of a text: trim, trimprefix, trimsuffix, chomp, and
// addslash, which makes sure a path ends in a separator.
#include "commands/core/string_common.h"
#include "expr/numbers.h"

namespace orvel::strings {

namespace {

// trim text ?chars? ?-var?  /  chomp text ?-var? (line ends at the end only)
int orvelCommandTrim(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  Words w = splitWords(argv, 1, {"-var"});
  const bool chomp = argv[0] == "chomp";
  std::string_view chars = chomp ? "\r\n" : w.pos.size() > 1 ? std::string_view(*w.pos[1]) : "\r\n\t ";
  std::string text = *w.pos[0];
  if (w.has("-var") && !plainValue(in, *w.pos[0], text)) {
    in.result.clear();
    return fail(in, "%s: Variable '%s' not found", argv[0].c_str(), w.pos[0]->c_str());
  }
  std::string trimmed(trimSet(text, chars, !chomp, true));
  if (w.has("-var") && trimmed.size() != text.size()) storePlain(in, *w.pos[0], trimmed);
  in.result = std::move(trimmed);
  return OK;
}

// trimprefix varName prefix ?-nocase? / trimsuffix varName suffix ?-nocase?
int orvelCommandTrimprefix(Interp& in, Args& argv, void*) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  Words w = splitWords(argv, 2, {"-nocase"});
  const std::string& name = *w.pos[0];
  const std::string& piece = *w.pos[1];
  std::string value;
  in.result = "0";
  if (!plainValue(in, name, value)) {
    in.result.clear();
    return fail(in, "%s: %s not found", argv[0].c_str(), name.c_str());
  }
  const bool nocase = w.has("-nocase");
  if (argv[0] == "trimprefix") {
    if (piece.empty() || !startsWithText(value, piece, nocase)) return OK;
    value.erase(0, piece.size());
    storePlain(in, name, value);
    in.result = intText(static_cast<int64_t>(piece.size()));
    return OK;
  }
  if (!piece.empty()) {
    if (!endsWithText(value, piece, nocase)) return OK;
    value.resize(value.size() - piece.size());
    storePlain(in, name, value);
  }
  in.result = intText(static_cast<int64_t>(value.size()));
  return OK;
}

// addslash path ?-var? ?-unix? ?-separator c?: the separator is a
// backslash, / with -unix, or the first character of c (/ when c is missing
// or empty). A backslash is added as two backslash characters, the form
// paths take inside scripts.
int orvelCommandAddslash(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  bool useVar = false;
  char sep = '\\';
  bool sepGiven = false;
  for (size_t i = 2; i < argv.size(); i++) {
    if (argv[i] == "-var") {
      useVar = true;
    } else if (argv[i] == "-unix") {
      if (!sepGiven) sep = '/';
    } else if (argv[i] == "-separator") {
      sepGiven = true;
      sep = '/';
      if (i + 1 < argv.size()) {
        if (!argv[i + 1].empty()) sep = argv[i + 1][0];
        i++;
      }
    }
  }
  std::string path = argv[1];
  in.result.clear();
  if (useVar && !plainValue(in, argv[1], path)) return OK;
  if (!path.empty()) {
    char last = path.back();
    if (last != '/' && last != '\\' && last != sep) {
      path += sep;
      if (sep == '\\') path += sep;
      if (useVar) storePlain(in, argv[1], path);
    }
  }
  in.result = std::move(path);
  return OK;
}

const CommandRegistrar kRegs[] = {
    {"trim", orvelCommandTrim},
    {"chomp", orvelCommandTrim},
    {"trimprefix", orvelCommandTrimprefix},
    {"trimsuffix", orvelCommandTrimprefix},
    {"addslash", orvelCommandAddslash},
};

}  // namespace

}  // namespace orvel::strings
