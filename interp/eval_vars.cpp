// Variable substitution in the evaluator: plain names, array elements,
// struct members, and braced or indirect references.
#include <cstring>

#include "interp/eval_internal.h"
#include "interp/process_state.h"
#include "interp/struct_access.h"
#include "interp/struct_data.h"
#include "platform/console.h"

namespace orvel {

namespace {

inline bool isAlnum(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Prints the text around a failing term after a no-variable report.
void printNearTerm(Parser& p, const char* termStart, bool charByChar) {
  const char* ctx = termStart - p.text > 30 ? termStart - 30 : p.text;
  std::string before;
  bool inBlank = false;
  for (const char* c = ctx; c < termStart; c++) {
    bool blank = *c == ' ' || *c == '\t' || *c == '\r' || *c == '\n';
    if (charByChar) {
      before += (*c == '\r' || *c == '\n') ? ' ' : *c;
    } else if (blank) {
      if (!inBlank) before += ' ';
      inBlank = true;
    } else {
      before += *c;
      inBlank = false;
    }
  }
  plat::writeOut(before);
  std::string term;
  const char* end = p.text + (p.pos - p.text) + p.remaining;
  for (const char* c = termStart; c < end && term.size() < 31; c++) {
    if (*c == ' ' || *c == '\t' || *c == '"' || *c == '\0' || *c == '\r' || *c == '\n') break;
    term += *c;
  }
  plat::setAttribute(0xE0);
  plat::writeOut(term);
  plat::setAttribute(7);
  plat::writeOut("'\r\n");
}

bool reportWasPrinted(Interp&) { return ps().echo && !ps().onErrorRunning; }

int noVariable(Interp& in, Parser& p, std::string_view name, bool indirect) {
  ProcessState& st = ps();
  const char* termStart = p.start ? p.start - 1 : p.text;
  if (termStart < p.text) termStart = p.text;
  std::string n(name);
  if (indirect && st.lastExpandLine) {
    std::string around(termStart, strnlen(termStart, 30));
    reportError(in,
                "(%li) eval: No variable '%s' at level %li in %s  near term:'%-.30s'...\r\n\tPossible problem {*} "
                "was found after line %li\r\n",
                11355L, n.c_str(), static_cast<long>(frameLevel(in)), procNameOf(in), around.c_str(),
                static_cast<long>(st.lastExpandLine));
    return ERROR;
  }
  long site = indirect ? 11355L : (st.lastExpandLine ? 11690L : 11738L);
  bool quiet = st.quietOnce || orvelGetCommand(in, "on_error") != nullptr;
  int accepted = reportError(in, "(%li) eval: No variable '%s' at level %li in %s near term:\r\n'", site, n.c_str(),
                             static_cast<long>(frameLevel(in)), procNameOf(in));
  if (accepted && !quiet && reportWasPrinted(in)) {
    printNearTerm(p, termStart, indirect);
    if (!indirect && st.lastExpandLine) plat::writeOut("Check for problematic {*} operator");
  }
  return ERROR;
}

// Value of a variable by name (an element for name(sub)); false when missing.
bool valueByName(Interp& in, std::string_view name, std::string& out) {
  size_t open = name.find('(');
  if (open != std::string_view::npos && open > 0 && name.back() == ')') {
    std::string_view arr = name.substr(0, open);
    std::string_view sub = name.substr(open + 1, name.size() - open - 2);
    const std::string* e = arrayGetElement(in, arr, sub);
    if (!e) return false;
    out += *e;
    return true;
  }
  Var* v = orvelGetVar(in, name);
  if (!v) {
    if (name.find('.') != std::string_view::npos) {
      std::string member;
      if (structMemberByName(in, name, member)) {
        out += member;
        return true;
      }
    }
    return false;
  }
  Var* t = varTarget(v);
  if (t->kind == VK_STRUCT) {
    out += "<struct>";
    return true;
  }
  std::string val;
  readVarValue(in, v, val);
  out += val;
  return true;
}

// A subscript that is just $name, whose variable holds a plain value the
// substitution would give back unchanged (not empty, no blank): the
// variable, so that the subscript need not be evaluated as a text.
Var* plainSubscriptVar(Interp& in, std::string_view raw) {
  if (raw.size() < 2 || raw[0] != '$') return nullptr;
  char c1 = raw[1];
  if (!((c1 >= 'a' && c1 <= 'z') || (c1 >= 'A' && c1 <= 'Z') || c1 == '_')) return nullptr;
  for (size_t i = 2; i < raw.size(); i++)
    if (!isAlnum(raw[i]) && raw[i] != '_') return nullptr;
  if (evalNestingDepth() >= ps().evalNestingLimit) return nullptr;
  Var* v = orvelGetVar(in, raw.substr(1));
  if (!v || (v->link && !v->subscript.empty())) return nullptr;
  Var* t = varTarget(v);
  if (!t || t->kind != VK_AUTO || t->value.empty() || t->value.find(' ') != std::string::npos) return nullptr;
  return v;
}

size_t matchBrace(std::string_view s, size_t open) {
  int depth = 0;
  for (size_t i = open; i < s.size(); i++) {
    if (s[i] == '{') depth++;
    else if (s[i] == '}' && --depth == 0) return i;
  }
  return std::string_view::npos;
}

}  // namespace

bool resolveReference(Interp& in, std::string_view s, std::string& out, std::string* missing) {
  size_t i = 0;
  while (i < s.size()) {
    char c = s[i];
    if (c == '{') {
      size_t close = matchBrace(s, i);
      if (close == std::string_view::npos) {
        out.append(s.substr(i));
        return true;
      }
      if (!resolveReference(in, s.substr(i + 1, close - i - 1), out, missing)) return false;
      i = close + 1;
      continue;
    }
    if (c == '$' && i + 1 < s.size() && s[i + 1] == '$') {
      std::string name;
      if (!resolveReference(in, s.substr(i + 1), name, missing)) return false;
      if (!valueByName(in, name, out)) {
        if (missing) *missing = name;
        return false;
      }
      return true;
    }
    if (c == '$' && i + 1 < s.size() && s[i + 1] == '{') {
      size_t close = matchBrace(s, i + 1);
      if (close == std::string_view::npos) close = s.size();
      std::string name;
      if (!resolveReference(in, s.substr(i + 2, close - i - 2), name, missing)) return false;
      if (!valueByName(in, name, out)) {
        if (missing) *missing = name;
        return false;
      }
      i = close + 1;
      continue;
    }
    if (c == '$') {
      size_t j = i + 1;
      while (j < s.size()) {
        char d = s[j];
        if (isAlnum(d) || d == ' ' || d == '\t' || d == '&' || d == '.' || d == ':' || d == '_' || d == '{' ||
            d == '}')
          j++;
        else
          break;
      }
      std::string_view name = s.substr(i + 1, j - i - 1);
      if (j < s.size() && s[j] == '(') {
        size_t close = s.find(')', j);
        if (close != std::string_view::npos) {
          std::string full(s.substr(i + 1, close - i));
          if (!valueByName(in, full, out)) {
            if (missing) *missing = full;
            return false;
          }
          i = close + 1;
          continue;
        }
      }
      if (!valueByName(in, name, out)) {
        if (missing) *missing = std::string(name);
        return false;
      }
      i = j;
      continue;
    }
    out += c;
    i++;
  }
  return true;
}

int evalResolveArray(Interp& in, Parser& p, std::string_view name, std::string& out) {
  std::string_view raw = p.hasSubscript ? p.subscript() : std::string_view();
  while (!raw.empty() && (raw.front() == ' ' || raw.front() == '\t')) raw.remove_prefix(1);
  while (!raw.empty() && (raw.back() == ' ' || raw.back() == '\t')) raw.remove_suffix(1);
  if (raw.empty()) {
    reportError(in, "evalResolveArray: Unknown error parsing array at level %i in %s\r\n", in.level,
                procNameOf(in));
    return 1;
  }
  std::string sub;
  bool literal = raw[0] != '#';
  for (char c : raw)
    if (c == '$' || c == '[' || c == '\\' || c == '"' || c == '{' || c == ' ' || c == '\t' || c == ';' ||
        c == '\r' || c == '\n' || c == '}') {
      literal = false;
      break;
    }
  if (literal) {
    sub.assign(raw);
  } else if (Var* v = plainSubscriptVar(in, raw)) {
    sub = varTarget(v)->value;
  } else {
    std::string text;
    text.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); i++) {
      if (raw[i] == '\\' && i + 1 < raw.size() && raw[i + 1] == ' ') {
        text += ' ';
        i++;
      } else {
        text += raw[i];
      }
    }
    std::string savedResult = in.result;
    int code = orvelEval(in, text, true, false);
    if (code != OK || in.result.empty()) {
      reportError(in, "eval: Error parsing array subscript '%s' at level %i in %s\r\n", text.c_str(), in.level,
                  procNameOf(in));
      return 1;
    }
    sub = std::move(in.result);
    in.result = std::move(savedResult);
  }
  const std::string* e = arrayGetElement(in, name, sub);
  if (!e) {
    std::string n(name);
    reportError(in, "eval: No array item '%s(%s)' at level %i in %s\r\n", n.c_str(), sub.c_str(), in.level,
                procNameOf(in));
    return 1;
  }
  // $a(1).member: the element names a struct.
  if (p.remaining > 1 && *p.pos == '.') {
    const char* end = p.pos + p.remaining;
    const char* m = p.pos + 1;
    const char* q = m;
    while (q < end && *q != ' ' && *q != '\r' && *q != '\n' && *q != '\\' && *q != '"' && *q != '\t' &&
           *q != ';' && *q != '\0')
      q++;
    if (q > m) {
      std::string full = *e + "." + std::string(m, static_cast<size_t>(q - m));
      std::string value;
      if (structMemberByName(in, full, value)) {
        int64_t n = q - p.pos;
        p.pos += n;
        p.remaining -= n;
        out = std::move(value);
        return 0;
      }
    }
  }
  out = *e;
  return 0;
}

int substituteVariable(Interp& in, Parser& p, std::string_view name, bool keepVariables, std::string& out) {
  if (!name.empty() && (name[0] == '$' || name[0] == '{')) {
    size_t k = 0;
    while (k < name.size() && name[k] == '$') k++;
    std::string ref;
    std::string missing;
    if (p.hasSubscript) {
      std::string elem;
      if (evalResolveArray(in, p, name.substr(k), elem)) {
        reportError(in, "(%li) eval: No variable reference to '%s' at level %li\r\n", 11397L,
                    std::string(name).c_str(), static_cast<long>(frameLevel(in)));
        return ERROR;
      }
      ref.assign(k > 0 ? k - 1 : 0, '$');
      ref += elem;
    } else {
      ref.assign(name);
    }
    // The reference text resolves to a name, whose value is the word.
    std::string target;
    if (!resolveReference(in, ref, target, &missing)) {
      reportError(in, "(%li) eval: No variable reference to '%s' at level %li in %s\r\n", 11443L,
                  std::string(name).c_str(), static_cast<long>(frameLevel(in)), procNameOf(in));
      return ERROR;
    }
    std::string second = "$";
    for (size_t i = 0; i < target.size(); i++) {
      if (target[i] == '\\' && i + 1 < target.size() && target[i + 1] == ' ') {
        second += ' ';
        i++;
      } else {
        second += target[i];
      }
    }
    if (target.empty()) return OK;
    if (!resolveReference(in, second, out, &missing)) return noVariable(in, p, target, true);
    return OK;
  }
  if (keepVariables) {
    out += '$';
    out.append(name);
    if (p.hasSubscript) {
      out += '(';
      out.append(p.subscript());
      out += ')';
    }
    return OK;
  }
  if (p.hasSubscript) {
    if (evalResolveArray(in, p, name, out)) {
      reportError(in, "(%li) eval: No variable reference to '%s' at level %li in %s\r\n", 11627L,
                  std::string(name).c_str(), static_cast<long>(frameLevel(in)), procNameOf(in));
      return ERROR;
    }
    return OK;
  }
  Var* v = orvelGetVar(in, name);
  if (!v) {
    if (name.find('.') != std::string_view::npos && structMemberByName(in, name, out)) return OK;
    return noVariable(in, p, name, false);
  }
  Var* t = varTarget(v);
  if (t->kind == VK_FIELD) {
    if (!readFieldValue(in, t, out)) return ERROR;
    return OK;
  }
  if (t->kind == VK_DICT) {
    out = dictText(t);
    return OK;
  }
  if (v->link && !v->subscript.empty()) return readVarValue(in, v, out) ? OK : ERROR;
  out = t->value;
  return OK;
}

}  // namespace orvel
