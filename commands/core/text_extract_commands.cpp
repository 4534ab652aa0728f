// Text tools: extract (text between two delimiters), find (position of a
// value in a list), range (characters first .. last, as string range) and
// sc (compare texts, optionally only their first characters).
#include <algorithm>

#include "commands/core/binary_engine.h"
#include "commands/core/string_common.h"
#include "expr/numbers.h"
#include "interp/list_text.h"

namespace orvel {

namespace {

using strings::findText;
using strings::lowerC;

// extract text start end ?-nocase? ?-all? ?-include?: the text between the
// first `start` and the next `end` after it (an empty start means the
// beginning, an empty end the end of the text); empty when either is
// missing. -all gives the list of every such piece, -include keeps the
// delimiters.
int orvelCommandExtract(Interp& in, Args& argv, void*) {
  if (argv.size() < 4) return wrongNumArgs(in, argv);
  bool nocase = false, all = false, include = false;
  for (size_t i = 4; i < argv.size(); i++) {
    if (argv[i] == "-nocase")
      nocase = true;
    else if (argv[i] == "-all")
      all = true;
    else if (argv[i] == "-include")
      include = true;
    else
      return fail(in, "%s: Unknown option '%s'", argv[0].c_str(), argv[i].c_str());
  }
  const std::string& text = argv[1];
  const std::string& start = argv[2];
  const std::string& end = argv[3];
  std::vector<std::string> pieces;
  size_t from = 0;
  while (from <= text.size()) {
    size_t at = start.empty() ? from : findText(text, start, from, nocase);
    if (at == std::string::npos) break;
    size_t inner = at + start.size();
    size_t stop = end.empty() ? text.size() : findText(text, end, inner, nocase);
    if (stop == std::string::npos) break;
    size_t pieceFrom = include ? at : inner;
    size_t pieceTo = include ? stop + end.size() : stop;
    pieces.emplace_back(text, pieceFrom, pieceTo - pieceFrom);
    size_t next = stop + end.size();
    if (!all || next <= from || end.empty()) break;  // every round must move on
    from = next;
  }
  if (all)
    in.result = listBuild(pieces);
  else
    in.result = pieces.empty() ? std::string() : std::move(pieces[0]);
  return OK;
}

bool sameText(std::string_view a, std::string_view b, int64_t length, bool nocase) {
  if (length > 0) {
    a = a.substr(0, static_cast<size_t>(std::min<int64_t>(length, static_cast<int64_t>(a.size()))));
    b = b.substr(0, static_cast<size_t>(std::min<int64_t>(length, static_cast<int64_t>(b.size()))));
  }
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); i++)
    if (!strings::sameChar(a[i], b[i], nocase)) return false;
  return true;
}

// find list value ?nth? ?-nocase? ?-length n?: the 0-based index of the
// first (or nth, counted from 1) element equal to value; the empty string
// when there is none. -length compares only the first n characters (below 1:
// whole texts).
int orvelCommandFind(Interp& in, Args& argv, void*) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  bool nocase = false;
  int64_t length = 0, nth = 0;
  bool haveNth = false;
  for (size_t i = 3; i < argv.size(); i++) {
    const std::string& w = argv[i];
    if (w == "-nocase") {
      nocase = true;
    } else if (w == "-length") {
      if (i + 1 >= argv.size() || !binary::strictInteger(argv[i + 1], length))
        return fail(in, "%s: -length needs a number", argv[0].c_str());
      i++;
    } else if (!w.empty() && w[0] == '-' && !(w.size() > 1 && strings::isDigitC(w[1]))) {
      return fail(in, "%s: Unknown option '%s'", argv[0].c_str(), w.c_str());
    } else if (!haveNth && binary::strictInteger(w, nth)) {
      haveNth = true;
    } else {
      return fail(in, "%s: Invalid count '%s'", argv[0].c_str(), w.c_str());
    }
  }
  if (nth < 1) nth = 1;
  std::vector<std::string> items;
  TclTokenised3(argv[1], items);
  in.result.clear();
  for (size_t i = 0; i < items.size(); i++)
    if (sameText(items[i], argv[2], length, nocase) && --nth == 0) {
      in.result = intText(static_cast<int64_t>(i));
      break;
    }
  return OK;
}

// range text first last: the characters first .. last (0-based, inclusive;
// last may be `end` or `end-N`), as `string range` gives them.
int orvelCommandRange(Interp& in, Args& argv, void*) {
  if (argv.size() != 4) return wrongNumArgs(in, argv);
  Command* str = orvelGetCommand(in, "string");
  if (!str) return fail(in, "%s: The string command is not available", argv[0].c_str());
  Args words{argv[0], "range", argv[1], argv[2], argv[3]};
  auto keep = str->owner;
  return str->handler(in, words, str->pd);
}

// sc a b ?length? ?-nocase?: -1, 0 or 1 as a sorts before, with or after b,
// comparing bytes as unsigned values and at most `length` of them.
int orvelCommandSc(Interp& in, Args& argv, void*) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  bool nocase = false, haveLength = false;
  int64_t length = -1;
  for (size_t i = 3; i < argv.size(); i++) {
    if (argv[i] == "-nocase") {
      nocase = true;
    } else if (!haveLength && binary::strictInteger(argv[i], length) && length >= 0) {
      haveLength = true;
    } else {
      in.result.clear();
      return fail(in, "%s: Invalid length '%s'", argv[0].c_str(), argv[i].c_str());
    }
  }
  std::string_view a = argv[1], b = argv[2];
  if (haveLength) {
    if (static_cast<int64_t>(a.size()) > length) a = a.substr(0, static_cast<size_t>(length));
    if (static_cast<int64_t>(b.size()) > length) b = b.substr(0, static_cast<size_t>(length));
  }
  in.result = intText(strings::compareTexts(a, b, nocase));
  return OK;
}

const CommandRegistrar reg[] = {
    {"extract", orvelCommandExtract},
    {"find", orvelCommandFind},
    {"range", orvelCommandRange},
    {"sc", orvelCommandSc},
};

}  // namespace

}  // namespace orvel
