// Searching and comparing texts: instr, strstr, rinstr, strchr, charcount,
// match and cmp. Positions are 1-based; 0 means not found.
#include "commands/core/string_common.h"
#include "expr/numbers.h"
#include "support/wildcard.h"

namespace orvel::strings {

// match pattern text ?-nocase?
int orvelCommandMatch(Interp& in, Args& argv, void*) {
  Words w = splitWords(argv, 0, {"-nocase"});
  if (w.pos.size() < 2) return wrongNumArgs(in, argv);
  in.result = wildMatch(*w.pos[0], *w.pos[1], w.has("-nocase")) ? "1" : "0";
  return OK;
}

namespace {

std::string position(size_t at) { return at == std::string::npos ? "0" : intText(static_cast<int64_t>(at) + 1); }

// instr text search ?start? ?-nocase?: the position counts from the start
// character (1 is the start character itself).
int orvelCommandInstr(Interp& in, Args& argv, void*) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  Words w = splitWords(argv, 2, {"-nocase"});
  const std::string& text = *w.pos[0];
  const std::string& search = *w.pos[1];
  int64_t start = w.pos.size() > 2 ? decimalArg(*w.pos[2]) : 1;
  if (start < 1) start = 1;
  in.result = "0";
  if (text.empty() || search.empty() || start > static_cast<int64_t>(text.size())) return OK;
  size_t from = static_cast<size_t>(start - 1);
  size_t at = findText(text, search, from, w.has("-nocase"));
  if (at != std::string::npos) in.result = intText(static_cast<int64_t>(at - from) + 1);
  return OK;
}

// strstr text search ?-nocase? ?-var? (first occurrence) and rinstr /
// strstrr (last occurrence). With -var both words name variables.
int orvelCommandStrstr(Interp& in, Args& argv, void*) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  Words w = splitWords(argv, 2, {"-nocase", "-var"});
  std::string text = *w.pos[0];
  std::string search = *w.pos[1];
  in.result = "0";
  if (w.has("-var") && (!plainValue(in, *w.pos[0], text) || !plainValue(in, *w.pos[1], search))) return OK;
  const bool nocase = w.has("-nocase");
  in.result = position(argv[0] == "strstr" ? findText(text, search, 0, nocase) : rfindText(text, search, nocase));
  return OK;
}

// strchr text chars ?-nocase?: where the first character of chars occurs.
int orvelCommandStrchr(Interp& in, Args& argv, void*) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  Words w = splitWords(argv, 2, {"-nocase"});
  const std::string& chars = *w.pos[1];
  in.result = "0";
  if (chars.empty()) return OK;
  in.result = position(findInSet(*w.pos[0], std::string_view(chars).substr(0, 1), w.has("-nocase")));
  return OK;
}

// charcount text chars ?-nocase?: how many characters of text occur in chars.
int orvelCommandCharcount(Interp& in, Args& argv, void*) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  Words w = splitWords(argv, 2, {"-nocase"});
  std::string_view text = *w.pos[0];
  const std::string& chars = *w.pos[1];
  const bool nocase = w.has("-nocase");
  int64_t count = 0;
  for (size_t at; (at = findInSet(text, chars, nocase)) != std::string_view::npos; text.remove_prefix(at + 1))
    count++;
  in.result = intText(count);
  return OK;
}

// cmp a b ?-nocase?: -1, 0 or 1 as a sorts before, with or after b (bytes
// compared as unsigned values).
int orvelCommandCmp(Interp& in, Args& argv, void*) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  Words w = splitWords(argv, 2, {"-nocase"});
  const std::string& a = *w.pos[0];
  const std::string& b = *w.pos[1];
  in.result = intText(compareTexts(a, b, w.has("-nocase")));
  return OK;
}

const CommandRegistrar kRegs[] = {
    {"instr", orvelCommandInstr},   {"strstr", orvelCommandStrstr},       {"rinstr", orvelCommandStrstr},
    {"strstrr", orvelCommandStrstr}, {"strchr", orvelCommandStrchr},      {"charcount", orvelCommandCharcount},
    {"match", orvelCommandMatch},   {"cmp", orvelCommandCmp},
};

}  // namespace

}  // namespace orvel::strings
