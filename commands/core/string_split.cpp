// Cutting texts into pieces and joining them: split, join, strtok, chartok
// and strsplit.
#include "commands/core/string_common.h"
#include "expr/numbers.h"
#include "interp/list_text.h"

namespace orvel::strings {

namespace {

// Pieces of text cut at each occurrence of sep (the whole string, or with
// asSet any one of its characters). Empty pieces are kept.
std::vector<std::string> cutText(std::string_view text, std::string_view sep, bool asSet, bool nocase) {
  std::vector<std::string> pieces;
  size_t from = 0;
  for (;;) {
    std::string_view rest = text.substr(from);
    size_t at = asSet ? findInSet(rest, sep, nocase) : findText(rest, sep, 0, nocase);
    if (at == std::string_view::npos) break;
    pieces.emplace_back(rest.substr(0, at));
    from += at + (asSet ? 1 : sep.size());
  }
  pieces.emplace_back(text.substr(from));
  return pieces;
}

// Stores pieces as name(0), name(1), ...; ERROR after reporting the element
// that could not be stored.
int storePieces(Interp& in, const char* command, const std::string& name, const std::vector<std::string>& pieces) {
  for (size_t i = 0; i < pieces.size(); i++) {
    std::string sub = std::to_string(i);
    if (arraySetElement(in, name, sub, pieces[i], false, false) != OK)
      return fail(in, "%s: Failed to set array %s(%s)=%s", command, name.c_str(), sub.c_str(), pieces[i].c_str());
  }
  return OK;
}

// split text ?separators? ?-literal? ?-array name?
int orvelCommandSplit(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  const std::string& text = argv[1];
  const std::string* seps = nullptr;
  const std::string* arrayName = nullptr;
  bool literal = false;
  for (size_t i = 2; i < argv.size(); i++) {
    if (argv[i] == "-literal") {
      literal = true;
    } else if (argv[i] == "-array") {
      if (i + 1 == argv.size()) return wrongNumArgs(in, argv);
      arrayName = &argv[++i];
    } else if (!seps) {
      seps = &argv[i];
    }
  }
  in.result.clear();
  if (!seps && !arrayName) {
    in.result = text;
    return OK;
  }
  if (arrayName && orvelGetVar(in, *arrayName))
    return fail(in, "%s: Array variable '%s' exists", "split", arrayName->c_str());

  if (seps && seps->empty()) {
    // Single characters.
    if (arrayName) {
      std::vector<std::string> chars;
      chars.reserve(text.size());
      for (char c : text) chars.emplace_back(1, c);
      int code = storePieces(in, "split", *arrayName, chars);
      if (code == OK) in.result = intText(static_cast<int64_t>(chars.size()));
      return code;
    }
    std::string out;
    out.reserve(text.size() * 2);
    for (char c : text) {
      if (!out.empty()) out += ' ';
      bool brace = c == '\b' || c == '\t' || c == '\n' || c == '\r' || c == ' ' || c == '"' || c == '$';
      if (brace) out += '{';
      out += c;
      if (brace) out += '}';
    }
    in.result = std::move(out);
    return OK;
  }

  std::vector<std::string> pieces =
      seps ? cutText(text, *seps, !literal, false) : std::vector<std::string>{text};
  if (arrayName) {
    int code = storePieces(in, "split", *arrayName, pieces);
    if (code == OK) in.result = intText(static_cast<int64_t>(pieces.size()));
    return code;
  }
  if (pieces.size() == 1) {
    in.result = std::move(pieces[0]);
    return OK;
  }
  std::string out;
  for (const std::string& p : pieces) listAppendElement(out, p);
  in.result = std::move(out);
  return OK;
}

// The elements of list joined by sep. An element that is itself a list of
// its own (written in braces or quotes) is joined the same way; an empty
// element gives one blank.
void joinInto(std::string& out, std::string_view list, std::string_view sep, int depth) {
  std::vector<std::string> items;
  TclTokenised3(list, items);
  std::vector<std::string> inner;
  for (size_t i = 0; i < items.size(); i++) {
    if (i) out += sep;
    const std::string& e = items[i];
    if (e.empty()) {
      out += ' ';
      continue;
    }
    inner.clear();
    if (depth < 200) TclTokenised3(e, inner);
    if (depth < 200 && (inner.size() != 1 || inner[0] != e))
      joinInto(out, e, sep, depth + 1);
    else
      out += e;
  }
}

// join list ?separator?
int orvelCommandJoin(Interp& in, Args& argv, void*) {
  if (argv.size() < 2 || argv.size() > 3) return wrongNumArgs(in, argv);
  std::string out;
  joinInto(out, argv[1], argv.size() == 3 ? std::string_view(argv[2]) : " ", 0);
  in.result = std::move(out);
  return OK;
}

// strtok text separator arrayName ?-nocase? (cut at the string separator)
// chartok text chars arrayName ?-nocase? (cut at any character of chars)
// Empty pieces are dropped; the rest go to arrayName(0) ...; the count.
int orvelCommandStrtok(Interp& in, Args& argv, void*) {
  if (argv.size() < 4) return wrongNumArgs(in, argv);
  Words w = splitWords(argv, 3, {"-nocase"});
  const bool asSet = argv[0] == "chartok";
  std::vector<std::string> pieces;
  for (std::string& p : cutText(*w.pos[0], *w.pos[1], asSet, w.has("-nocase")))
    if (!p.empty()) pieces.push_back(std::move(p));
  in.result.clear();
  int code = storePieces(in, argv[0].c_str(), *w.pos[2], pieces);
  if (code == OK) in.result = intText(static_cast<int64_t>(pieces.size()));
  return code;
}

// strsplit text separator ?-nocase?: the pieces between occurrences of the
// string separator as a list (empty pieces kept).
int orvelCommandStrsplit(Interp& in, Args& argv, void*) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  Words w = splitWords(argv, 2, {"-nocase"});
  std::string out;
  for (const std::string& p : cutText(*w.pos[0], *w.pos[1], false, w.has("-nocase"))) listAppendElement(out, p);
  in.result = std::move(out);
  return OK;
}

const CommandRegistrar kRegs[] = {
    {"split", orvelCommandSplit},   {"join", orvelCommandJoin},         {"strtok", orvelCommandStrtok},
    {"chartok", orvelCommandStrtok}, {"strsplit", orvelCommandStrsplit},
};

}  // namespace

}  // namespace orvel::strings
