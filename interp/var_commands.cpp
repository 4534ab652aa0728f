// set, const, global, upvar, uplevel, unset, level and the is_ tests.
#include <cstdlib>

#include "expr/numbers.h"
#include "interp/interp.h"
#include "interp/list_text.h"
#include "interp/struct_access.h"
#include "support/hash_table.h"
#include "support/wildcard.h"

namespace orvel {

namespace {

std::string translateCRLFTab(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size(); i++) {
    if (s[i] == '\\' && i + 1 < s.size() && (s[i + 1] == 'r' || s[i + 1] == 'n' || s[i + 1] == 't')) {
      out += s[i + 1] == 'r' ? '\r' : s[i + 1] == 'n' ? '\n' : '\t';
      i++;
    } else {
      out += s[i];
    }
  }
  return out;
}

// Stores a dictionary value into name (the value came from a dict command).
int setDictionary(Interp& in, const std::string& name, const std::string& value) {
  if (!value.empty() && value != "{}") {
    std::vector<std::string> items;
    TclTokenised3(value, items);
    if (items.size() % 2) {
      if (orvelGetVar(in, name))
        return fail(in, "%s: Received varname '%s', expected dict list rvalue", "set", name.c_str());
      return fail(in, "%s: Mismatched dictionary pairs in '%s' (%li found, expected 2)", "set", name.c_str(),
                  static_cast<long>(items.size()));
    }
    for (size_t i = 0; i < items.size(); i += 2) {
      Args w{"dict", "set", name, items[i], items[i + 1]};
      int code = orvelEvalWords(in, w);
      if (code != OK) return code;
    }
    return OK;
  }
  Var* v = varTarget(orvelGetVar(in, name));
  if (!v) {
    set_var(in, name, "<dict>");
    v = varTarget(orvelGetVar(in, name));
    if (!v) return fail(in, "%s: Failed to create dictionary '%s'", "set", name.c_str());
  } else if (v->kind == VK_DICT) {
    if (v->table) v->table->clear();
  }
  v->value = "<dict>";
  v->kind = VK_DICT;
  v->table = std::make_shared<hash_table>(50);
  v->assigned = true;
  v->link.reset();
  return OK;
}

int orvelCommandSet(Interp& in, Args& argv, void*) {
  if (argv.size() < 2 || argv.size() > 3) return wrongNumArgs(in, argv);
  std::string name = argv[1];
  if (name == "-") return OK;
  if (name.empty()) return fail(in, "%s: Variable name is empty", "set");
  if (name.find('\\') != std::string::npos) name = translateCRLFTab(name);
  if (in.resultKind == VK_DICT && argv.size() == 3) {
    in.resultKind = 0;
    return setDictionary(in, name, argv[2]);
  }
  return setVariable(in, name, argv.size() == 3 ? &argv[2] : nullptr, true);
}

int orvelCommandConst(Interp& in, Args& argv, void*) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  bool nocomplain = false;
  for (size_t i = 3; i < argv.size(); i++)
    if (argv[i] == "-nocomplain") nocomplain = true;
  return orvelSetConst(in, argv[1], argv[2], false, nocomplain) ? ERROR : OK;
}

// Parses an upvar/uplevel level word: @n absolute, else relative.
int levelFromWord(Interp& in, const std::string& w) {
  int64_t n;
  if (!w.empty() && w[0] == '@')
    n = toInt64(std::string_view(w).substr(1));
  else
    n = frameLevel(in) - toInt64(w);
  if (n < 0) n = 0;
  if (n > 1000000) n = 1000000;
  return static_cast<int>(n);
}

CallFrame* frameExactly(Interp& in, int level) {
  for (CallFrame* f = in.callFrame; f; f = f->parent)
    if (f->level == level) return f;
  return nullptr;
}

VarPtr newLink(Interp& in, std::string_view localName, const VarPtr& target) {
  auto v = newVarRecord();
  v->name.assign(localName);
  v->link = target;
  v->level = frameLevel(in);
  v->assigned = true;
  return v;
}

// Links localName in the current frame to other at the given level.
int makeLink(Interp& in, const std::string& cmd, int level, std::string other, std::string local,
             bool nocomplain, bool levelGiven) {
  size_t open = other.find('(');
  if (open != std::string::npos) {
    size_t close = other.rfind(')');
    if (close == std::string::npos || close < open + 2)
      return fail(in, "%s: Invalid array subscript '%s'", cmd.c_str(), other.c_str());
    std::string arrName = other.substr(0, open);
    std::string sub = other.substr(open + 1, close - open - 1);
    CallFrame* f = frameExactly(in, level);
    if (!f) {
      in.result.clear();
      return fail(in, "%s: Error processing %s", cmd.c_str(), other.c_str());
    }
    CallFrame* saved = in.callFrame;
    in.callFrame = f;
    if (!arrayGetElement(in, arrName, sub)) {
      std::string empty;
      if (setVariable(in, other, &empty, false) != OK) {
        in.callFrame = saved;
        return fail(in, "%s: Can't create new parent var '%s'", cmd.c_str(), other.c_str());
      }
    }
    VarPtr arr = f->vars.findPtr(arrName);
    in.callFrame = saved;
    if (!arr) return fail(in, "%s: Variable '%s' not found (can't be created)", cmd.c_str(), arrName.c_str());
    std::string localName = (local.empty() || local.find('(') != std::string::npos) ? other : local;
    VarPtr link = newLink(in, localName, arr);
    link->subscript = sub;
    if (const std::string* e = arrayElementOf(arr.get(), sub)) link->value = *e;
    in.callFrame->vars.add(std::move(link));
    return OK;
  }
  if (local.empty()) {
    local = other;
    if (local.size() >= 2 && local[0] == ':' && local[1] == ':') local = local.substr(2);
  }
  if (in.callFrame->vars.find(local)) return fail(in, "%s: '%s' already exists", cmd.c_str(), local.c_str());
  bool global = other.size() >= 2 && other[0] == ':' && other[1] == ':';
  if (global) {
    if (levelGiven && level > 0)
      return fail(in, "%s: Conflict between requested level %i and global var prefix '%s'", cmd.c_str(), level,
                  other.c_str());
    other = other.substr(2);
    level = 0;
  }
  CallFrame* f = frameAtLevel(in, level);
  if (!f || f->level != level) {
    if (nocomplain) return OK;
    return reportError(in, "%s: Variable '%s' not found at uplevel %i in %s\r\n", cmd.c_str(), other.c_str(), level,
                       procNameOf(in)),
           ERROR;
  }
  VarPtr target = f->vars.findPtr(other);
  if (!target) {
    target = newVarRecord();
    target->name = other;
    target->level = f->level;
    target->assigned = true;
    f->vars.add(target);
  }
  if (target.get() == nullptr) return ERROR;
  VarPtr link = newLink(in, local, target);
  Var* t = varTarget(target.get());
  link->value = t->value;
  link->kind = t->kind;
  link->isConst = t->isConst;
  link->isStatic = t->isStatic;
  link->isPointer = t->isPointer;
  link->noCase = t->noCase;
  link->members = t->members;
  link->table = t->table;
  link->stack = t->stack;
  link->size = t->size;
  if (link.get() == target.get()) return ERROR;
  in.callFrame->vars.add(std::move(link));
  return OK;
}

int orvelCommandUpvar(Interp& in, Args& argv, void*) {
  std::vector<std::string> names;
  bool nocomplain = false;
  for (size_t i = 1; i < argv.size(); i++) {
    if (!argv[i].empty() && argv[i][0] == '-') {
      if (argv[i] == "-nocomplain") nocomplain = true;
      continue;
    }
    names.push_back(argv[i]);
  }
  if (names.empty()) return wrongNumArgs(in, argv);
  int up1 = frameLevel(in) - 1 < 0 ? 0 : frameLevel(in) - 1;
  if (names.size() == 1) return makeLink(in, "upvar", up1, names[0], "", nocomplain, false);
  if (names.size() == 2) {
    const std::string& a = names[0];
    if (!a.empty() && a[0] == '@') return makeLink(in, "upvar", levelFromWord(in, a), names[1], "", nocomplain, true);
    if (!a.empty() && a[0] >= '0' && a[0] <= '9')
      return makeLink(in, "upvar", levelFromWord(in, a), names[1], "", nocomplain, true);
    return makeLink(in, "upvar", up1, a, names[1], nocomplain, false);
  }
  return makeLink(in, "upvar", levelFromWord(in, names[0]), names[1], names[2], nocomplain, true);
}

int orvelCommandGlobal(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  size_t last = argv.size();
  const std::string* initial = nullptr;
  if (argv.size() >= 4 && argv[argv.size() - 2] == "-value") {
    initial = &argv.back();
    last = argv.size() - 2;
  }
  for (size_t i = 1; i < last; i++) {
    std::string name = argv[i];
    std::string local = name;
    size_t colons = name.find("::");
    if (colons != std::string::npos) local = name.substr(colons + 2);
    std::string target = name;
    if (target.size() >= 2 && target[0] == ':' && target[1] == ':') target = target.substr(2);
    Var* existing = globalFrame(in)->vars.find(target);
    bool existed = existing != nullptr;
    Var* here = in.callFrame->vars.find(local);
    if (in.callFrame == globalFrame(in) && local == target) {
      // At the top a global is itself.
      if (!existed) set_var(in, target, "");
    } else if (!(here && here->link && here->subscript.empty() && existing &&
                 varTarget(here) == varTarget(existing))) {
      // A repeated `global x` (a link to that same global) changes nothing;
      // any other variable of that name here is a failure.
      if (makeLink(in, "global", 0, "::" + target, local, false, false) != OK) {
        in.result = "0";
        return fail(in, "%s: %s setting variable '%s'", argv[0].c_str(), "Error", argv[1].c_str());
      }
    }
    if (initial && !existed) set_var(in, "::" + target, *initial);
  }
  in.result = "1";
  return OK;
}

int orvelCommandUplevel(Interp& in, Args& argv, void*) {
  if (argv.size() != 2 && argv.size() != 3) return wrongNumArgs(in, argv);
  int level = argv.size() == 2 ? 0 : levelFromWord(in, argv[1]);
  CallFrame* f = frameExactly(in, level);
  if (!f) return fail(in, "%s: Callframe %i not found", argv[0].c_str(), level);
  CallFrame* saved = in.callFrame;
  in.callFrame = f;
  int code = orvelEval(in, argv.back());
  in.callFrame = saved;
  return code;
}

int orvelCommandLevel(Interp& in, Args&, void*) {
  in.result = intText(frameLevel(in));
  return OK;
}

int orvelCommandIsFlag(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  Var* v = orvelGetVar(in, argv[1]);
  bool r = false;
  if (v) {
    if (argv[0] == "is_const") r = v->isConst;
    else if (argv[0] == "is_static") r = v->isStatic;
    else r = v->isPointer;
  }
  in.result = r ? "1" : "0";
  return OK;
}

int orvelCommandUnset(Interp& in, Args& argv, void*) {
  bool glob = false, nocomplain = false, allowConst = false, nocase = false;
  for (size_t i = 1; i < argv.size(); i++) {
    if (argv[i] == "-glob") glob = true;
    else if (argv[i] == "-nocomplain") nocomplain = true;
    else if (argv[i] == "-const") allowConst = true;
    else if (argv[i] == "-nocase") nocase = true;
  }
  auto report = [&](const char* fmt, auto... a) {
    if (!nocomplain) fail(in, fmt, a...);
  };
  for (size_t i = 1; i < argv.size(); i++) {
    const std::string& w = argv[i];
    if (w == "-glob" || w == "-nocomplain" || w == "-const" || w == "-nocase") continue;
    size_t open = w.find('(');
    if (open != std::string::npos && open > 0 && w.back() == ')') {
      std::string arr = w.substr(0, open), sub = w.substr(open + 1, w.size() - open - 2);
      Var* v = varTarget(getVarGlob(in, arr, nocase));
      bool removed = false;
      if (v && v->kind == VK_ARRAY && v->table && !v->isConst) {
        if (v->table->remove(sub)) removed = true;
        else if (v->noCase || nocase) {
          if (auto* n = v->table->findNoCase(sub)) {
            std::string key(n->key());
            removed = v->table->remove(key);
          }
        }
      }
      if (!removed) {
        in.result = "0";
        report("%s: %s unsetting array element '%s'", argv[0].c_str(), "Error", w.c_str());
        if (nocomplain) continue;
        return ERROR;
      }
      in.result = "1";
      continue;
    }
    std::string_view pattern = w;
    CallFrame* f = in.callFrame;
    if (pattern.size() >= 2 && pattern[0] == ':' && pattern[1] == ':') {
      pattern.remove_prefix(2);
      f = globalFrame(in);
    }
    std::vector<Var*> matches;
    if (glob) {
      for (Var* v : f->vars.list())
        if (wildMatch(pattern, v->name, nocase)) matches.push_back(v);
    } else if (Var* v = f->vars.find(pattern)) {
      matches.push_back(v);
    }
    if (matches.empty()) {
      report("%s: '%s' not found", argv[0].c_str(), w.c_str());
      continue;
    }
    for (Var* v : matches) {
      if (v->isConst && !allowConst) {
        in.result = "0";
        if (nocomplain) continue;
        reportError(in, "%s %s: Can't unset const '%s' (use -const) at level %i in %s\r\n", argv[0].c_str(), "Error",
                    v->name.c_str(), frameLevel(in), procNameOf(in));
        return ERROR;
      }
      if (v->isStatic) {  // -const allows constants, never statics
        if (nocomplain) continue;
        return fail(in, "%s: Static variable '%s' is protected", argv[0].c_str(), v->name.c_str());
      }
      int kind = v->link ? VK_AUTO : v->kind;
      if (v->link && !v->subscript.empty()) kind = VK_AUTO;
      switch (kind) {
        case VK_AUTO:
        case VK_POINTER:
        case VK_DICT:
        case VK_STACK:
        case VK_LIST:
        case VK_VARIANT:
          f->vars.remove(v);
          break;
        case VK_ARRAY: {
          if (glob) {
            if (nocomplain) continue;
            return fail(in, "%s: Can't unset array '%s' (use array unset)", argv[0].c_str(), v->name.c_str());
          }
          if (Command* c = orvelGetCommand(in, "array")) {
            Args a{"array", "unset", f == globalFrame(in) && f != in.callFrame ? "::" + v->name : v->name};
            if (nocomplain) a.push_back("-nocomplain");
            if (allowConst) a.push_back("-const");
            int code = c->handler(in, a, c->pd);
            if (code != OK) {
              if (nocomplain) continue;
              return fail(in, "%s: Failed to unset array '%s'", argv[0].c_str(), w.c_str());
            }
          } else {
            f->vars.remove(v);
          }
          break;
        }
        case VK_STRUCT:
          destroyStruct(in, v);
          break;
        case VK_FIELD:
          setErrorIndex(in, 6, argv[0].c_str());
          return ERROR;
        default:
          if (nocomplain) continue;
          return fail(in, "%s: Unhandled var type '%s' for '%s'", argv[0].c_str(), kindName(v->kind),
                      v->name.c_str());
      }
    }
  }
  return OK;
}

const CommandRegistrar kRegs[] = {
    {"set", orvelCommandSet},         {"=", orvelCommandSet},          {"variable", orvelCommandSet},
    {"const", orvelCommandConst},     {"global", orvelCommandGlobal},  {"upvar", orvelCommandUpvar},
    {"uplevel", orvelCommandUplevel}, {"unset", orvelCommandUnset},    {"level", orvelCommandLevel},
    {"is_const", orvelCommandIsFlag}, {"is_static", orvelCommandIsFlag}, {"is_pointer", orvelCommandIsFlag},
};

}  // namespace
}  // namespace orvel
