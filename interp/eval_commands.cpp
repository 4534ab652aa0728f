// eval, subst, undef and rename.
#include "interp/command_table.h"
#include "interp/eval_internal.h"
#include "interp/procedure.h"
#include "interp/process_state.h"
#include "support/wildcard.h"

namespace orvel {

int activeProcTest(Interp& in, std::string_view name) {
  CallFrame* f = in.callFrame;
  if (!f || f->level == 0 || !f->hasProcName) return 0;
  if (f->procName == name) return 1;
  for (CallFrame* p = f->parent; p; p = p->parent)
    if (p->hasProcName && p->procName == name) return 2;
  return 0;
}

namespace {

size_t balancedEnd(std::string_view s, size_t open, char o, char c) {
  int depth = 0;
  for (size_t i = open; i < s.size(); i++) {
    if (s[i] == o) depth++;
    else if (s[i] == c && --depth == 0) return i;
  }
  return std::string_view::npos;
}

void appendTranslated(std::string& out, std::string_view v, bool backslashes) {
  for (size_t i = 0; i < v.size(); i++) {
    if (backslashes && v[i] == '\\' && i + 1 < v.size()) {
      char n = v[++i];
      out += n == 'r' ? '\r' : n == 'n' ? '\n' : n == 't' ? '\t' : n;
    } else {
      out += v[i];
    }
  }
}

inline bool substNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '\t' || c == '&' ||
         c == '(' || c == ')' || c == '.' || c == ':' || c == '_';
}

}  // namespace

bool substituteText(Interp& in, std::string_view s, bool variables, bool commands, bool backslashes,
                    std::string& out) {
  out.clear();
  size_t i = 0;
  while (i < s.size()) {
    char c = s[i];
    if (c == '$' && variables) {
      if (i + 1 < s.size() && s[i + 1] == '{') {
        size_t close = balancedEnd(s, i + 1, '{', '}');
        if (close != std::string_view::npos && close > i + 2) {
          std::string_view ref = s.substr(i + 2, close - i - 2);
          std::string value, missing;
          std::string text = "$" + std::string(ref);
          if (!resolveReference(in, text, value, &missing)) {
            reportError(in, "%s: Variable '%s' not found at level %i in '%s'\r\n", "subst", std::string(ref).c_str(),
                        in.level, procNameOf(in));
            return false;
          }
          appendTranslated(out, value, backslashes);
          i = close + 1;
          continue;
        }
      } else if (i + 1 < s.size() && substNameChar(s[i + 1])) {
        size_t j = i + 1;
        while (j < s.size() && substNameChar(s[j])) j++;
        std::string_view name = s.substr(i + 1, j - i - 1);
        std::string value, missing;
        std::string text = "$" + std::string(name);
        if (!resolveReference(in, text, value, &missing)) {
          reportError(in, "%s: Variable '%s' not found at level %i in %s\r\n", "subst", std::string(name).c_str(),
                      in.level, procNameOf(in));
          return false;
        }
        appendTranslated(out, value, true);
        i = j;
        continue;
      }
      i += 2;  // a lone $ goes with the character after it
      continue;
    }
    if (c == '[' && commands && (i == 0 || s[i - 1] != '\\')) {
      size_t close = balancedEnd(s, i, '[', ']');
      if (close != std::string_view::npos && close > i + 1) {
        std::string script(s.substr(i + 1, close - i - 1));
        int code = orvelEval(in, script);
        if (code != OK && code != RETURN && code != CONTINUE) return false;
        out += in.result;
        i = close + 1;
        continue;
      }
      i++;
      continue;
    }
    out += c;
    i++;
  }
  return true;
}

namespace {

int orvelCommandEval(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  std::string text;
  bool any = false;
  for (size_t i = 1; i < argv.size(); i++) {
    const std::string& w = argv[i];
    std::string_view part = w;
    if (!w.empty() && w[0] == '{') {
      size_t close = balancedEnd(w, 0, '{', '}');
      part = close == std::string_view::npos ? std::string_view(w).substr(1)
                                             : std::string_view(w).substr(1, close - 1);
      if (part.empty()) continue;
    }
    if (any) text += ' ';
    text.append(part);
    any = true;
  }
  if (text.empty()) {
    in.result.clear();
    return OK;
  }
  return orvelEval(in, text);
}

int orvelCommandSubst(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  bool bs = true, cmds = true, vars = true;
  const std::string* text = nullptr;
  for (size_t i = 1; i < argv.size(); i++) {
    if (argv[i] == "-nobackslashes") bs = false;
    else if (argv[i] == "-nocommands") cmds = false;
    else if (argv[i] == "-novariables") vars = false;
    else if (!text) text = &argv[i];
  }
  std::string out;
  std::string src = text ? *text : std::string();
  if (!substituteText(in, src, vars, cmds, bs, out)) out.clear();
  in.result = std::move(out);
  return OK;
}

int orvelCommandUndef(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  bool nocomplain = argv.back() == "-nocomplain";
  bool glob = false, procOnly = false;
  std::string pattern;
  size_t last = nocomplain ? argv.size() - 1 : argv.size();
  for (size_t i = 1; i < last; i++) {
    if (argv[i] == "-glob") {
      glob = true;
      if (i + 1 < last) pattern = argv[++i];
    } else if (argv[i] == "-proc") {
      procOnly = true;
    }
  }
  if (glob) {
    if (pattern.empty()) return fail(in, "%s: -glob requires a filter argument", argv[0].c_str());
    std::vector<std::string> names;
    for (Command* c : orvelCommandList(in))
      if ((!procOnly || c->kind == 1) && wildMatch(pattern, c->name, true)) names.push_back(c->name);
    std::string list;
    for (auto& n : names) {
      int active = activeProcTest(in, n);
      if (active == 1) {
        if (nocomplain) continue;
        return fail(in, "%s: Can't undef the active proc '%s'", argv[0].c_str(), n.c_str());
      }
      if (active == 2) {
        if (nocomplain) continue;
        return fail(in, "%s: Can't undef active proc's parent: '%s'", argv[0].c_str(), n.c_str());
      }
      if (orvelUnregisterCommand(in, n)) {
        if (!list.empty()) list += ' ';
        if (n.empty()) list += "{}";
        else if (n.find(' ') != std::string::npos) list += "{" + n + "}";
        else list += n;
      } else if (!nocomplain) {
        in.result = "undef: Error unregistering proc '" + n + "'";
        return fail(in, "%s", in.result.c_str());
      }
    }
    in.result = std::move(list);
    return OK;
  }
  for (size_t i = 1; i < last; i++) {
    const std::string& n = argv[i];
    int active = activeProcTest(in, n);
    if (active == 1) {
      if (nocomplain) continue;
      return fail(in, "%s: Can't undef the active proc '%s'", argv[0].c_str(), n.c_str());
    }
    if (active == 2) {
      if (nocomplain) continue;
      return fail(in, "%s: Can't undef active proc's parent:'%s'", argv[0].c_str(), n.c_str());
    }
    if (!orvelUnregisterCommand(in, n) && !nocomplain)
      return fail(in, "undef: Error unregistering proc '%s'", n.c_str());
  }
  return OK;
}

int orvelCommandRename(Interp& in, Args& argv, void*) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  const std::string& oldName = argv[1];
  const std::string& newName = argv[2];
  int active = activeProcTest(in, oldName);
  if (active == 1) return fail(in, "%s: Can't rename the active proc '%s'", argv[0].c_str(), oldName.c_str());
  if (active == 2) return fail(in, "%s: Can't rename active proc's parent: '%s'", argv[0].c_str(), oldName.c_str());
  bool nocomplain = false;
  for (size_t i = 3; i < argv.size(); i++)
    if (argv[i] == "-nocomplain") nocomplain = true;
  Command* c = orvelGetCommand(in, oldName);
  if (c && newName.empty()) {
    orvelUnregisterCommand(in, c->name);
    in.result = "1";
    return OK;
  }
  if (c && !orvelGetCommand(in, newName)) {
    orvelRenameCommand(in, c->name, newName);
    in.result = "1";
    return OK;
  }
  in.result = "0";
  if (!nocomplain && (ps().debug || ps().verbose))
    reportError(in, "%s: Command '%s' not found at level %i in %s\r\n", argv[0].c_str(), oldName.c_str(),
                frameLevel(in), procNameOf(in));
  return ERROR;
}

const CommandRegistrar kRegs[] = {
    {"eval", orvelCommandEval},
    {"subst", orvelCommandSubst},
    {"undef", orvelCommandUndef},
    {"rename", orvelCommandRename},
};

}  // namespace
}  // namespace orvel
