// Taking parts of a text: left, right, mids, slice, ., lastchar, and the
// cut-at-a-character commands strto, strtor, stripto, striptor.
#include "commands/core/string_common.h"

namespace orvel::strings {

// left text n ?-var? / right text n ?-var?
int orvelCommandLeft(Interp& in, Args& argv, void*) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  Words w = splitWords(argv, 2, {"-var"});
  std::string text = *w.pos[0];
  in.result.clear();
  if (w.has("-var") && !plainValue(in, *w.pos[0], text)) return OK;
  int64_t n = decimalArg(*w.pos[1]);
  if (n <= 0) return OK;
  size_t count = static_cast<uint64_t>(n) < text.size() ? static_cast<size_t>(n) : text.size();
  if (argv[0] == "right")
    in.result.assign(text, text.size() - count, count);
  else
    in.result.assign(text, 0, count);
  return OK;
}

// mids text start ?length? ?-var?
int orvelCommandMids(Interp& in, Args& argv, void*) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  Words w = splitWords(argv, 2, {"-var"});
  std::string text = *w.pos[0];
  in.result.clear();
  if (w.has("-var") && !plainValue(in, *w.pos[0], text)) text.clear();
  if (text.empty()) return fail(in, "%s %s: Improper argument", argv[0].c_str(), argv[1].c_str());
  int64_t start = decimalArg(*w.pos[1]);
  if (start < 1) start = 1;
  const int64_t len = static_cast<int64_t>(text.size());
  if (start > len) return OK;
  int64_t count = len - start + 1;
  if (w.pos.size() > 2) {
    int64_t want = decimalArg(*w.pos[2]);
    if (want < count) count = want;
  }
  if (count > 0) in.result.assign(text, static_cast<size_t>(start - 1), static_cast<size_t>(count));
  return OK;
}

// slice text first ?last? ?-var?: characters first .. last, 1-based and
// inclusive; last defaults to the end and is cut to it; a first below 1
// counts as 1.
int orvelCommandSlice(Interp& in, Args& argv, void*) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  Words w = splitWords(argv, 2, {"-var"});
  std::string text = *w.pos[0];
  in.result.clear();
  if (w.has("-var") && !plainValue(in, *w.pos[0], text)) return OK;
  const int64_t len = static_cast<int64_t>(text.size());
  int64_t first = decimalArg(*w.pos[1]);
  if (first < 1) first = 1;
  int64_t last = w.pos.size() > 2 ? decimalArg(*w.pos[2]) : len;
  if (last > len) last = len;
  if (first > last) return OK;
  in.result.assign(text, static_cast<size_t>(first - 1), static_cast<size_t>(last - first + 1));
  return OK;
}

namespace {

// . text ?-var?
int orvelCommandDot(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  Words w = splitWords(argv, 1, {"-var"});
  std::string text = *w.pos[0];
  in.result.clear();
  if (w.has("-var") && !plainValue(in, *w.pos[0], text)) return OK;
  if (!text.empty()) in.result.assign(1, text[0]);
  return OK;
}

// lastchar text
int orvelCommandLastchar(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  in.result.clear();
  if (!argv[1].empty()) in.result.assign(1, argv[1].back());
  return OK;
}

// strto and strtor: strto text chars ?-nocase? ?-var? ?-right?
//   The text before the first (strtor: the last) character that belongs to
//   chars, or with -right the text after it; empty when there is none; the
//   whole text when chars is empty.
// stripto and striptor: stripto text chars ?-nocase? ?-var?
//   stripto drops the text up to and including the first such character,
//   striptor the text from the last such character on; the text stays whole
//   when there is none. With -var the variable is changed in place.
int orvelCommandStrto(Interp& in, Args& argv, void*) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  Words w = splitWords(argv, 2, {"-nocase", "-var", "-right"});
  const std::string& cmd = argv[0];
  const bool strip = cmd == "stripto" || cmd == "striptor";
  const bool fromRight = cmd == "strtor" || cmd == "striptor";
  const bool nocase = w.has("-nocase");
  std::string text = *w.pos[0];
  const std::string& chars = *w.pos[1];
  in.result.clear();
  if (w.has("-var") && !plainValue(in, *w.pos[0], text)) return OK;
  if (chars.empty()) {
    in.result = text;
    return OK;
  }
  size_t at = fromRight ? rfindInSet(text, chars, nocase) : findInSet(text, chars, nocase);
  if (strip) {
    if (at != std::string::npos) {
      if (fromRight)
        text.erase(at);
      else
        text.erase(0, at + 1);
      if (w.has("-var")) storePlain(in, *w.pos[0], text);
    }
    in.result = std::move(text);
    return OK;
  }
  if (at == std::string::npos) return OK;
  if (w.has("-right"))
    in.result.assign(text, at + 1);
  else
    in.result.assign(text, 0, at);
  return OK;
}

const CommandRegistrar kRegs[] = {
    {"left", orvelCommandLeft},       {"right", orvelCommandLeft},       {"mids", orvelCommandMids},
    {"slice", orvelCommandSlice},     {".", orvelCommandDot},            {"lastchar", orvelCommandLastchar},
    {"strto", orvelCommandStrto},     {"strtor", orvelCommandStrto},     {"stripto", orvelCommandStrto},
    {"striptor", orvelCommandStrto},
};

}  // namespace

}  // namespace orvel::strings
