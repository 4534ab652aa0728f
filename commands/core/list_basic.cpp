// The list commands that read a list: list, llength, lindex, lrange,
// lassign, lreverse, and the truth commands any and all.
#include <exception>

#include "commands/core/list_common.h"
#include "expr/numbers.h"
#include "interp/interp.h"
#include "interp/list_text.h"

namespace orvel {

namespace {

int orvelCommandList(Interp& in, Args& argv, void*) {
  std::string out;
  for (size_t i = 1; i < argv.size(); i++) listAppendElement(out, argv[i]);
  in.result = std::move(out);
  return OK;
}

int orvelCommandLlength(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  std::vector<std::string> items;
  in.result = strprintf("%d", TclTokenised3(argv[1], items));
  return OK;
}

// One lindex step: selects element `word` of `value` into `value`.
// Returns OK, or ERROR with the result already set.
int lindexStep(Interp& in, const std::string& cmd, std::string& value, const std::string& word) {
  std::vector<std::string> items;
  bool quoteEol = false;
  TclTokenised3(value, items, &quoteEol);
  if (quoteEol) {
    reportError(in, "%s: List element in quotes followed by \"\\r\\n\" instead of space\r\n", cmd.c_str());
    in.result = "0";
    return ERROR;
  }
  const int64_t count = static_cast<int64_t>(items.size());
  int64_t index = 0;
  if (lists::startsWithEnd(word)) {
    if (count == 0) {
      in.result.clear();
      return ERROR;
    }
    if (!lists::listIndex(word, count, index)) {
      in.result.clear();
      return ERROR;
    }
  } else if (!lists::strictInt(word, index)) {
    in.result.clear();
    return ERROR;
  }
  // A single element is the answer to every plain index; end forms count
  // from the end and find nothing before the first element.
  if (count == 1 && !lists::startsWithEnd(word)) {
    value = std::move(items[0]);
  } else if (index < 0 || index >= count) {
    value.clear();
  } else {
    value = std::move(items[static_cast<size_t>(index)]);
  }
  return OK;
}

int orvelCommandLindex(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  try {
    if (argv.size() == 2) {
      in.result = argv[1];
      return OK;
    }
    std::string value = argv[1];
    for (size_t i = 2; i < argv.size(); i++) {
      if (lindexStep(in, argv[0], value, argv[i]) != OK) return ERROR;
      if (value.empty()) break;
    }
    in.result = std::move(value);
    return OK;
  } catch (const std::exception& e) {
    reportException(argv[0].c_str(), e.what());
  } catch (...) {
    reportException(argv[0].c_str(), nullptr);
  }
  in.result.clear();
  return ERROR;
}

int orvelCommandLrange(Interp& in, Args& argv, void*) {
  if (argv.size() != 4) return wrongNumArgs(in, argv);
  std::vector<std::string> items;
  const int64_t count = TclTokenised3(argv[1], items);
  if (count == 0) {
    in.result = "{}";
    return OK;
  }
  int64_t first = 0, last = 0;
  bool firstOk = lists::listIndex(argv[2], count, first);
  bool lastOk = lists::listIndex(argv[3], count, last);
  if (!firstOk || !lastOk || first < 0 || last >= count) {
    in.result.clear();
    return fail(in, "%s: Invalid range value in %lld %lld", argv[0].c_str(), static_cast<long long>(first),
                static_cast<long long>(last));
  }
  std::string out;
  for (int64_t i = first; i <= last; i++) lists::appendBraced(out, items[static_cast<size_t>(i)]);
  in.result = std::move(out);
  return OK;
}

int orvelCommandLassign(Interp& in, Args& argv, void*) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  std::vector<std::string> items;
  TclTokenised3(argv[1], items);
  size_t next = 0;
  for (size_t i = 2; i < argv.size(); i++) {
    const std::string value = next < items.size() ? items[next++] : std::string("{}");
    if (setVariable(in, argv[i], &value, true) != OK) {
      in.result.clear();
      return ERROR;
    }
  }
  std::string rest;
  for (; next < items.size(); next++) listAppendElement(rest, items[next]);
  in.result = std::move(rest);
  return OK;
}

int orvelCommandLreverse(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  std::vector<std::string> items;
  TclTokenised3(argv[1], items);
  std::string out;
  for (size_t i = items.size(); i-- > 0;) lists::appendBraced(out, items[i]);
  in.result = std::move(out);
  return OK;
}

// any: some argument is a non-zero integer; all: every argument is.
int orvelCommandAny(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  const bool every = argv[0] == "all";
  bool answer = every;
  for (size_t i = 1; i < argv.size(); i++) {
    bool nonZero = toInt64(argv[i]) != 0;
    if (every && !nonZero) {
      answer = false;
      break;
    }
    if (!every && nonZero) {
      answer = true;
      break;
    }
  }
  in.result = answer ? "1" : "0";
  return OK;
}

const CommandRegistrar kRegs[] = {
    {"list", orvelCommandList},       {"llength", orvelCommandLlength}, {"lindex", orvelCommandLindex},
    {"lrange", orvelCommandLrange},   {"lassign", orvelCommandLassign}, {"lreverse", orvelCommandLreverse},
    {"any", orvelCommandAny},         {"all", orvelCommandAny},
};

}  // namespace
}  // namespace orvel
