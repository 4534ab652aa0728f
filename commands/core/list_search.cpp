// lsearch and the membership tests in and ni.
#include "commands/core/list_common.h"
#include "expr/numbers.h"
#include "interp/interp.h"
#include "interp/list_text.h"
#include "support/wildcard.h"

namespace orvel {

namespace {

struct SearchOptions {
  bool exact = false;
  bool nocase = false;
  bool negate = false;
  bool sort = false;
  bool decreasing = false;
  bool inlineResult = false;
  bool all = false;
  int64_t start = 0;
};

// Reads the options between the command word and the last two arguments.
int readSearchOptions(Interp& in, Args& argv, SearchOptions& o) {
  const size_t end = argv.size() - 2;
  for (size_t i = 1; i < end; i++) {
    const std::string& w = argv[i];
    if (w == "-glob") o.exact = false;
    else if (w == "-exact") o.exact = true;
    else if (w == "-nocase") o.nocase = true;
    else if (w == "-not") o.negate = true;
    else if (w == "-sort") o.sort = true;
    else if (w == "-increasing") o.decreasing = false;
    else if (w == "-decreasing") o.decreasing = true;
    else if (w == "-inline") o.inlineResult = true;
    else if (w == "-all") o.all = true;
    else if (w == "-sorted" || w == "-integer" || w == "-real" || w == "-ascii") continue;
    else if (w == "-start") {
      if (i + 1 >= end) return wrongNumArgs(in, argv);
      const std::string& value = argv[++i];
      if (!value.empty() && value[0] == '-') {
        in.result.clear();
        return fail(in, "%s: %s argument -start '%s'", argv[0].c_str(), "Invalid", value.c_str());
      }
      o.start = toInt64(value);
      if (o.start < 0) o.start = 0;
    } else {
      in.result.clear();
      return fail(in, "%s: Unknown option '%s'", argv[0].c_str(), w.c_str());
    }
  }
  return OK;
}

bool matches(const SearchOptions& o, const std::string& pattern, const std::string& element) {
  bool m = o.exact ? (o.nocase ? equalsNoCase(pattern, element) : pattern == element)
                   : wildMatch(pattern, element, o.nocase);
  return m != o.negate;
}

int orvelCommandLsearch(Interp& in, Args& argv, void*) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  SearchOptions o;
  int code = readSearchOptions(in, argv, o);
  if (code != OK) return code;
  const std::string& pattern = argv.back();
  std::vector<std::string> items;
  TclTokenised3(argv[argv.size() - 2], items);
  if (items.empty()) {
    in.result = "-1";
    return OK;
  }
  if (o.sort) lists::sortElements(items, lists::SortKind::Text, o.nocase, o.decreasing);
  std::string found;
  bool any = false;
  for (size_t i = static_cast<size_t>(o.start); i < items.size(); i++) {
    if (!matches(o, pattern, items[i])) continue;
    any = true;
    if (!o.all) {
      // One match: the index, or the element itself ({} when empty).
      if (!o.inlineResult) found = intText(static_cast<int64_t>(i));
      else found = items[i].empty() ? std::string("{}") : std::move(items[i]);
      break;
    }
    if (o.inlineResult) listAppendElement(found, items[i]);
    else listAppendElement(found, intText(static_cast<int64_t>(i)));
  }
  if (!any) in.result = o.all ? "{}" : "-1";
  else in.result = std::move(found);
  return OK;
}

// in list value ?-glob|-nocase?: the answer of lsearch as a truth value.
int orvelCommandIn(Interp& in, Args& argv, void* pd) {
  if (argv.size() < 3 || argv.size() > 4) return wrongNumArgs(in, argv);
  Args search{"lsearch"};
  if (argv.size() == 4) search.push_back(argv[3]);
  search.push_back(argv[1]);
  search.push_back(argv[2]);
  int code = orvelCommandLsearch(in, search, pd);
  if (code != OK) {
    reportError(in, "%s: '%-.30s'... '%s' at level %i in %s\r\n", argv[0].c_str(), argv[1].c_str(),
                argv[2].c_str(), frameLevel(in), procNameOf(in));
    return code;
  }
  bool found = in.result != "-1";
  if (argv[0] == "ni") found = !found;
  in.result = found ? "1" : "0";
  return OK;
}

const CommandRegistrar kRegs[] = {
    {"lsearch", orvelCommandLsearch}, {"in", orvelCommandIn}, {"ni", orvelCommandIn}};

}  // namespace
}  // namespace orvel
