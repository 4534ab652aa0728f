// Building and reshaping lists: concat, expand, filter, enum, wrap, unwrap
// and chain.
#include <string>
#include <vector>

#include "commands/core/list_common.h"
#include "interp/interp.h"
#include "interp/list_text.h"
#include "support/wildcard.h"

namespace orvel {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// concat ?arg ...?: the arguments with their outer blanks trimmed, joined by
// single blanks; empty ones are left out.
int orvelCommandConcat(Interp& in, Args& argv, void*) {
  std::string out;
  for (size_t i = 1; i < argv.size(); i++) {
    std::string_view s = argv[i];
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    if (s.empty()) continue;
    if (!out.empty()) out += ' ';
    out += s;
  }
  in.result = std::move(out);
  return OK;
}

// expand list: the elements of the list's elements, one level flattened.
int orvelCommandExpand(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  std::vector<std::string> outer, inner, all;
  TclTokenised3(argv[1], outer);
  for (auto& e : outer) {
    inner.clear();
    TclTokenised3(e, inner);
    for (auto& x : inner) all.push_back(std::move(x));
  }
  in.result = listBuild(all);
  return OK;
}

// filter list pattern ?-nocase? ?-not?: the elements that match the
// wildcard pattern (or, with -not, those that do not).
int orvelCommandFilter(Interp& in, Args& argv, void*) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  bool nocase = false, negate = false;
  for (size_t i = 3; i < argv.size(); i++) {
    if (argv[i] == "-nocase") nocase = true;
    else if (argv[i] == "-not") negate = true;
    else return fail(in, "%s: Unknown option '%s'", argv[0].c_str(), argv[i].c_str());
  }
  std::vector<std::string> items, kept;
  TclTokenised3(argv[1], items);
  for (auto& e : items)
    if (wildMatch(argv[2], e, nocase) != negate) kept.push_back(std::move(e));
  in.result = listBuild(kept);
  return OK;
}

// enum list ?start?: index and element pairs, "0 a 1 b ...", for
// foreach {i x} [enum $list] {...}.
int orvelCommandEnum(Interp& in, Args& argv, void*) {
  if (argv.size() < 2 || argv.size() > 3) return wrongNumArgs(in, argv);
  int64_t start = 0;
  if (argv.size() == 3 && !lists::strictInt(argv[2], start))
    return fail(in, "%s: Invalid start index '%s'", argv[0].c_str(), argv[2].c_str());
  std::vector<std::string> items;
  TclTokenised3(argv[1], items);
  std::string out;
  for (auto& e : items) {
    listAppendElement(out, std::to_string(start++));
    listAppendElement(out, e);
  }
  in.result = std::move(out);
  return OK;
}

// wrap text ?open close?: the text between braces (or the given marks).
int orvelCommandWrap(Interp& in, Args& argv, void*) {
  if (argv.size() != 2 && argv.size() != 4) return wrongNumArgs(in, argv);
  if (argv.size() == 4) in.result = argv[2] + argv[1] + argv[3];
  else in.result = "{" + argv[1] + "}";
  return OK;
}

// unwrap text: one pair of outer braces or double quotes removed, if the
// text has them.
int orvelCommandUnwrap(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  const std::string& s = argv[1];
  if (s.size() >= 2 && ((s.front() == '{' && s.back() == '}') || (s.front() == '"' && s.back() == '"')))
    in.result = s.substr(1, s.size() - 2);
  else
    in.result = s;
  return OK;
}

// chain value command ?command ...?: each command (a list of words) runs
// with the previous result added as its last word; the last result stays.
int orvelCommandChain(Interp& in, Args& argv, void*) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  std::string value = argv[1];
  for (size_t i = 2; i < argv.size(); i++) {
    Args words;
    TclTokenised3(argv[i], words);
    if (words.empty()) return fail(in, "%s: Empty command in chain", argv[0].c_str());
    words.push_back(value);
    int code = orvelEvalWords(in, words);
    if (code != OK) return code;
    value = in.result;
  }
  in.result = std::move(value);
  return OK;
}

const CommandRegistrar reg[] = {
    {"concat", orvelCommandConcat}, {"expand", orvelCommandExpand}, {"filter", orvelCommandFilter},
    {"enum", orvelCommandEnum},     {"wrap", orvelCommandWrap},     {"unwrap", orvelCommandUnwrap},
    {"chain", orvelCommandChain},
};

}  // namespace

}  // namespace orvel
