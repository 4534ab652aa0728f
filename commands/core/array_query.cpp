// Array subcommands that read: exists, get, names, size, item, find,
// statistics and walk.
#include <algorithm>
#include <cinttypes>

#include "commands/core/array_common.h"
#include "expr/numbers.h"
#include "interp/list_text.h"
#include "interp/struct_access.h"
#include "platform/console.h"
#include "support/wildcard.h"

namespace orvel::arrays {

namespace {

bool isOption(const std::string& w) { return !w.empty() && w[0] == '-'; }

// The first argument after the array name that is not an option.
const std::string* firstPattern(const Args& argv) {
  for (size_t i = 3; i < argv.size(); i++)
    if (!isOption(argv[i])) return &argv[i];
  return nullptr;
}

int32_t clampInt32(int64_t v) {
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(v);
}

// The array for get, names and statistics: a missing one is an error whose
// message only shows in debug or verbose mode.
Var* arrayOrQuietFail(Interp& in, Args& argv, const ArrayOptions& o, int& code) {
  Var* v = findArray(in, argv[2]);
  if (v && v->table) return v;
  in.result.clear();
  code = quietFail(in, o.nocomplain, "%s %s: No such array variable '%s'", argv[0].c_str(), argv[1].c_str(),
                   argv[2].c_str());
  return nullptr;
}

}  // namespace

int arrayExists(Interp& in, Args& argv, const ArrayOptions& o) {
  const std::string& arg = argv[2];
  size_t open = arg.find('(');
  if (open == std::string::npos) {
    in.result = findArray(in, arg) ? "1" : "0";
    return OK;
  }
  size_t close = arg.rfind(')');
  if (close == std::string::npos || close < open + 2) {
    int code = fail(in, "%s %s: Syntax error '%s'", argv[0].c_str(), argv[1].c_str(), arg.c_str());
    in.result = "0";
    return code;
  }
  Var* v = findArray(in, std::string_view(arg).substr(0, open));
  std::string_view sub = std::string_view(arg).substr(open + 1, close - open - 1);
  in.result = elementNode(v, sub, o.nocase) ? "1" : "0";
  return OK;
}

// Builds the result of get/names from the elements whose subscript matches
// the optional pattern, in table order.
template <class Add>
int listMatching(Interp& in, Args& argv, const ArrayOptions& o, Add add) {
  int code = ERROR;
  Var* v = arrayOrQuietFail(in, argv, o, code);
  if (!v) return code;
  in.result.clear();
  if (v->table->empty()) return ERROR;
  const std::string* pattern = firstPattern(argv);
  bool nocase = o.nocase || v->noCase;
  std::string out;
  v->table->forEach([&](const hash_table::node& n) {
    if (!pattern || wildMatch(*pattern, n.key(), nocase)) add(out, n);
  });
  in.result = std::move(out);
  return OK;
}

int arrayGet(Interp& in, Args& argv, const ArrayOptions& o) {
  return listMatching(in, argv, o, [&](std::string& out, const hash_table::node& n) {
    if (o.pair) {
      std::string pair;
      listAppendElement(pair, n.key());
      listAppendElement(pair, n.value);
      out += '{';
      out += pair;
      out += "} ";
    } else {
      listAppendElement(out, n.key());
      listAppendElement(out, n.value);
    }
  });
}

int arrayNames(Interp& in, Args& argv, const ArrayOptions& o) {
  return listMatching(in, argv, o, [&](std::string& out, const hash_table::node& n) {
    if (o.pair) {
      if (!out.empty()) out += ' ';
      out += '{';
      out += n.key();
      out += '}';
    } else {
      listAppendElement(out, n.key());
    }
  });
}

int arraySize(Interp& in, Args& argv, const ArrayOptions&) {
  Var* v = findArray(in, argv[2]);
  in.result = intText(v && v->table ? v->table->totalNodes() : 0);
  return OK;
}

int arrayItem(Interp& in, Args& argv, const ArrayOptions& o) {
  const std::string* deflt = nullptr;
  for (size_t i = 4; i < argv.size(); i++) {
    if (argv[i] == "-nocase" || argv[i] == "-nocomplain") continue;
    if (!deflt) deflt = &argv[i];
  }
  Var* v = varTarget(orvelGetVar(in, argv[2]));
  if (!v) {
    if (o.nocomplain) {
      in.result = deflt ? *deflt : std::string();
      return OK;
    }
    in.result.clear();
    return quietFail(in, false, "%s %s: Array '%s' not found (Use -nocomplain)", argv[0].c_str(), argv[1].c_str(),
                     argv[2].c_str());
  }
  if (!v->table) {
    in.result.clear();
    return fail(in, "array item: Empty variable");
  }
  if (const hash_table::node* n = elementNode(v, argv[3], o.nocase))
    in.result = n->value;
  else
    in.result = deflt ? *deflt : std::string();
  return OK;
}

int arrayFind(Interp& in, Args& argv, const ArrayOptions&) {
  bool nocase = false;
  int64_t length = 0, nth = 0;
  for (size_t i = 4; i < argv.size(); i++) {
    const std::string& w = argv[i];
    if (w == "-nocase") {
      nocase = true;
    } else if (w == "-length" && i + 1 < argv.size()) {
      length = toInt64(argv[++i]);
    } else if (i == 4 && !isOption(w)) {
      nth = toInt64(w);
    }
  }
  if (nth < 0) nth = 0;
  if (length < 1) length = 0;
  Var* v = findArray(in, argv[2]);
  if (!v || !v->table) {
    in.result.clear();
    return fail(in, "%s %s: Array '%s' not found", argv[0].c_str(), argv[1].c_str(), argv[2].c_str());
  }
  std::string key;
  if (!v->table->findKeyByValue(argv[3], nocase, clampInt32(length), clampInt32(nth), key)) key.clear();
  in.result = std::move(key);
  return OK;
}

int arrayStatistics(Interp& in, Args& argv, const ArrayOptions& o) {
  int code = ERROR;
  Var* v = arrayOrQuietFail(in, argv, o, code);
  if (!v) return code;
  plat::writeOut(v->table->statisticsText());
  in.result.clear();
  return OK;
}

int arrayWalk(Interp& in, Args& argv, const ArrayOptions&) {
  bool integer = false, bare = false;
  int64_t count = 0;
  for (size_t i = 3; i < argv.size(); i++) {
    if (argv[i] == "-integer") integer = true;
    else if (argv[i] == "-bare") bare = true;
    else if (!isOption(argv[i])) count = toInt64(argv[i]);
  }
  Var* v = findArray(in, argv[2]);
  in.result.clear();
  if (!v || !v->table)
    return fail(in, "%s %s: Variable '%s' not found", argv[0].c_str(), argv[1].c_str(), argv[2].c_str());
  if (!integer) {
    plat::writeOut(v->table->dumpText(count > 0 ? clampInt32(count) : 0, false, bare));
    return OK;
  }
  int64_t total = v->table->totalNodes();
  int64_t n = (count > 0 && count < total) ? count : total;
  std::string out = strprintf("ARRAY WALK: %s (%" PRId64 " elements)\r\n\r\n", argv[2].c_str(), total);
  for (int64_t i = 0; i < n; i++) {
    if (const std::string* e = v->table->getPtr(subscriptText(i)))
      out += strprintf("%" PRId64 ":\t'%s'\r\n", i, e->c_str());
  }
  plat::writeOut(out);
  return OK;
}

}  // namespace orvel::arrays
