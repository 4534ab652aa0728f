// proc, sub, gosub, call, apply, goto, goto_block, args, procs, clearprocs.
#include <random>

#include "expr/numbers.h"
#include "interp/command_table.h"
#include "interp/list_text.h"
#include "interp/procedure.h"
#include "interp/process_state.h"
#include "platform/system.h"
#include "support/wildcard.h"

namespace orvel {

namespace {

std::string stripQuotes(const std::string& s) {
  if (s.size() >= 2 && s.front() == '"' && s.back() == '"') return s.substr(1, s.size() - 2);
  return s;
}

}  // namespace

int defineProc(Interp& in, const std::string& cmdName, const std::string& name, const std::string& params,
               const std::string& body) {
  auto rec = std::make_shared<ProcRecord>();
  rec->argText = params;
  rec->body = body;
  std::vector<std::string> elems;
  TclTokenised3(params, elems);
  for (auto& e : elems) {
    std::string el = e;
    while (!el.empty() && (el.back() == ' ' || el.back() == '\t')) el.pop_back();
    std::vector<std::string> parts;
    TclTokenised3(el, parts);
    if (parts.size() > 2)
      return fail(in, "%s: Invalid argument '%s'", cmdName.c_str(), e.c_str());
    ProcParam p;
    p.parts = static_cast<int>(parts.size());
    if (!parts.empty()) p.name = stripQuotes(parts[0]);
    if (parts.size() == 2) {
      std::string d = stripQuotes(parts[1]);
      if (d.empty() || d == "{}" || d == "\"\"") {
        p.def.clear();
      } else {
        std::string out;
        if (substituteText(in, d, false, true, false, out)) p.def = out;
        else p.def = d;
      }
    }
    rec->params.push_back(std::move(p));
  }
  rec->script = PreparedScript(rec->body);
  rec->plainParams = true;
  for (size_t i = 0; i < rec->params.size() && rec->plainParams; i++) {
    const std::string& n = rec->params[i].name;
    if (n.empty()) continue;
    if (!isPlainName(n)) rec->plainParams = false;
    for (size_t j = 0; j < i; j++)
      if (rec->params[j].name == n) rec->plainParams = false;
  }
  rec->layoutStamp = newLayoutStamp();
  ProcRecord* raw = rec.get();
  int code = orvelRegisterCommand(in, name, orvelCallProc, raw, 1, rec);
  if (code == DEFINED) return fail(in, "%s: '%s' is already defined", cmdName.c_str(), name.c_str());
  if (code != OK) return code;
  in.result.clear();
  return OK;
}

int orvelCallProc(Interp& in, Args& argv, void* pd) {
  auto* rec = static_cast<ProcRecord*>(pd);
  if (!rec) return fail(in, "proc: NULL pointer in pd");
  if (frameLevel(in) >= ps().recursionLimit) {
    reportError(in, "Stack overflow in proc '%s' at level %li (check recursion) in %s\r\n", argv[0].c_str(),
                static_cast<long>(frameLevel(in)), procNameOf(in));
    return ERROR;
  }
  try {
    CallFrame* frame = orvelPushCallFrame(in);
    size_t nparams = rec->params.size();
    size_t lastNamed = nparams;
    for (size_t i = nparams; i-- > 0;)
      if (!rec->params[i].name.empty()) {
        lastNamed = i;
        break;
      }
    size_t idx = 0;
    std::vector<VarPtr>& bound = in.boundArgs;
    bound.clear();
    for (size_t i = 0; i < nparams; i++) {
      const ProcParam& p = rec->params[i];
      if (p.name.empty()) continue;
      idx++;
      std::string joined;  // the rest of the words, for a last parameter named args
      std::string_view value;
      if (idx < argv.size()) {
        if (i == lastNamed && idx + 1 < argv.size() && p.name == "args") {
          for (size_t k = idx; k < argv.size(); k++) {
            if (k > idx) joined += ' ';
            const std::string& a = argv[k];
            if (a.find_first_of(" \t") != std::string::npos) {
              joined += '{';
              joined += a;
              joined += '}';
            } else {
              joined += a;
            }
          }
          value = joined;
        } else {
          value = argv[idx];
        }
      } else {
        value = p.def;
      }
      if (rec->plainParams) {
        VarPtr v = newVarRecord();
        v->name.assign(p.name);
        v->value.assign(value);
        v->level = frame->level;
        v->assigned = true;
        bound.push_back(std::move(v));
        continue;
      }
      if (set_var(in, p.name, value) != 0) {
        reportError(in, "proc '%s' Failed to set variable '%s' at level %i in %s\r\n", argv[0].c_str(),
                    p.name.c_str(), frameLevel(in), procNameOf(in));
        reportError(in, "proc: Exception calling '%s' at level %i in %s\r\n", argv[0].c_str(), frameLevel(in),
                    procNameOf(in));
        in.result.clear();
        orvelDropCallFrame(in);
        return ERROR;
      }
    }
    if (rec->plainParams) frame->vars.bind(bound, rec->layoutStamp);
    frame->procName = argv[0];
    frame->hasProcName = true;
    int code;
    try {
      code = rec->script.eval(in);
    } catch (...) {
      orvelDropCallFrame(in);
      throw;
    }
    orvelDropCallFrame(in);
    return code == RETURN ? OK : code;
  } catch (...) {
    reportException("proc", "Unhandled exception");
    return ERROR;
  }
}

namespace {

int orvelCommandProc(Interp& in, Args& argv, void*) {
  if (argv.size() < 4) return wrongNumArgs(in, argv);
  return defineProc(in, argv[0], argv[1], argv[2], argv[3]);
}

int orvelCommandSub(Interp& in, Args& argv, void*) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  if (argv[1].empty()) return fail(in, "%s: Name may not be empty", argv[0].c_str());
  return defineProc(in, "sub", argv[1], "", argv[2]) != OK ? ERROR : OK;
}

int orvelCommandGosub(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  Command* c = orvelGetCommand(in, argv[1]);
  if (!c || c->kind != 1 || c->name != argv[1])
    return fail(in, "%s: '%s' is not a valid proc or sub", argv[0].c_str(), argv[1].c_str());
  Args w{argv[1]};
  auto keep = c->owner;
  int code = c->handler(in, w, c->pd);
  return code == RETURN ? OK : code;
}

int orvelCommandCall(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  Command* c = orvelGetCommand(in, argv[1]);
  if (c && c->kind == 1) {
    Args w(argv.begin() + 1, argv.end());
    auto keep = c->owner;
    return orvelCallProc(in, w, c->pd) == ERROR ? ERROR : OK;
  }
  std::string text;
  for (size_t i = 1; i < argv.size(); i++) {
    if (i > 1) text += ' ';
    text += argv[i];
  }
  if (text.empty()) return fail(in, "call: Error calling command");
  return orvelEval(in, text);
}

std::string newGuid() {
  static std::mt19937_64 gen(plat::tickMs() ^ 0x9E3779B97F4A7C15ull);
  uint64_t a = gen(), b = gen();
  return strprintf("%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X", static_cast<unsigned>(a >> 32),
                   static_cast<unsigned>((a >> 16) & 0xFFFF), static_cast<unsigned>(a & 0xFFFF),
                   static_cast<unsigned>(b >> 56), static_cast<unsigned>((b >> 48) & 0xFF),
                   static_cast<unsigned>((b >> 40) & 0xFF), static_cast<unsigned>((b >> 32) & 0xFF),
                   static_cast<unsigned>((b >> 24) & 0xFF), static_cast<unsigned>((b >> 16) & 0xFF),
                   static_cast<unsigned>((b >> 8) & 0xFF), static_cast<unsigned>(b & 0xFF));
}

int orvelCommandApply(Interp& in, Args& argv, void*) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  std::vector<std::string> parts;
  TclTokenised3(argv[1], parts);
  if (parts.size() < 2 || parts.size() > 3) return fail(in, "apply: 1st argument must be a list pair ?namespace?");
  std::string name = newGuid();
  if (parts.size() == 3) name = parts[2] + "::" + name;
  if (defineProc(in, "apply", name, parts[0], parts[1]) != OK) return ERROR;
  Args w;
  w.push_back(name);
  for (size_t i = 2; i < argv.size(); i++) w.push_back(argv[i]);
  int code = OK;
  if (Command* c = orvelGetCommand(in, name)) {
    auto keep = c->owner;
    code = orvelCallProc(in, w, c->pd);
  }
  if (!orvelUnregisterCommand(in, name)) {
    reportError(in, "apply: Failed to undefine temporary proc %s at level %i in %s\r\n", name.c_str(), frameLevel(in),
                procNameOf(in));
    return ERROR;
  }
  return code;
}

int orvelCommandGoto(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  in.result = argv[1];
  return GOTO;
}

int orvelCommandGotoBlock(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  std::vector<std::string> items;
  TclTokenised3(argv[1], items);
  if (items.size() < 2 || items.size() % 2) return fail(in, "%s: Invalid argument", argv[0].c_str());
  size_t pairs = items.size() / 2;
  std::vector<std::string> labels(pairs), bodies(pairs);
  for (size_t i = 0; i < pairs; i++) {
    std::string l;
    if (!substituteText(in, items[2 * i], true, false, false, l)) l = items[2 * i];
    labels[i] = l;
    bodies[i] = items[2 * i + 1];
  }
  std::vector<size_t> returnStack;
  bool inGosub = false;
  int code = OK;
  size_t pos = 0;
  auto findLabel = [&](const std::string& target, bool nocase) -> size_t {
    for (size_t i = 0; i < pairs; i++)
      if (nocase ? equalsNoCase(labels[i], target) : labels[i] == target) return i;
    return pairs;
  };
  while (pos < pairs) {
    if (labels[pos] == "goto" || labels[pos] == "gosub") {
      size_t t = findLabel(bodies[pos], false);
      if (t == pairs) return fail(in, "goto: label '%s' not found", bodies[pos].c_str());
      if (labels[pos] == "gosub") {
        if (returnStack.size() >= 1000) return fail(in, "goto: gosub stack overflow");
        returnStack.push_back(pos);
        inGosub = true;
      }
      pos = t;
      continue;
    }
    if (bodies[pos].empty()) {
      in.result.clear();
      code = OK;
    } else {
      if (!labels[pos].empty()) set_var(in, "this", labels[pos]);
      code = orvelEval(in, bodies[pos]);
    }
    switch (code) {
      case ERROR:
      case EXIT:
      case STOP:
        return code;
      case RETURN:
        if (inGosub) {
          inGosub = false;
          if (!returnStack.empty()) {
            pos = returnStack.back() + 1;
            returnStack.pop_back();
          } else {
            pos++;
          }
          continue;
        }
        return OK;
      case BREAK:
        return OK;
      case GOTO: {
        std::string target = in.result;
        size_t t = target.empty() ? pairs : findLabel(target, true);
        if (t == pairs) return fail(in, "goto: label '%s' not found", target.c_str());
        pos = t;
        continue;
      }
      default:
        if (inGosub && !returnStack.empty()) {
          inGosub = false;
          pos = returnStack.back() + 1;
          returnStack.pop_back();
        } else {
          pos++;
        }
    }
  }
  return code;
}

int orvelCommandArgs(Interp& in, Args& argv, void*) {
  std::string out;
  for (size_t i = 1; i < argv.size(); i++) {
    if (i > 1) out += ' ';
    const std::string& w = argv[i];
    if (w.empty()) out += "{}";
    else if (w.find_first_of(" \t") != std::string::npos && w[0] != '{') {
      out += '{';
      out += w;
      out += '}';
    } else {
      out += w;
    }
  }
  in.result = std::move(out);
  return OK;
}

int orvelCommandProcs(Interp& in, Args& argv, void*) {
  std::string out;
  for (Command* c : orvelCommandList(in)) {
    if (c->kind != 1) continue;
    if (argv.size() > 1 && !wildMatch(argv[1], c->name, true)) continue;
    if (!out.empty()) out += ' ';
    out += c->name;
  }
  in.result = std::move(out);
  return OK;
}

int orvelCommandClearprocs(Interp& in, Args& argv, void*) {
  std::string pattern = "*";
  bool nocomplain = argv.size() > 1 && argv.back() == "-nocomplain";
  if (argv.size() > 1 && argv[1] != "-nocomplain") pattern = argv[1];
  std::vector<std::string> names;
  for (Command* c : orvelCommandList(in))
    if (c->kind == 1 && wildMatch(pattern, c->name, true)) names.push_back(c->name);
  int64_t removed = 0;
  for (auto& n : names) {
    Args w{"rename", n, ""};
    if (nocomplain) w.push_back("-nocomplain");
    if (orvelEvalWords(in, w) == OK) removed++;
  }
  in.result = intText(removed);
  return OK;
}

const CommandRegistrar kRegs[] = {
    {"proc", orvelCommandProc},   {"sub", orvelCommandSub},        {"gosub", orvelCommandGosub},
    {"call", orvelCommandCall},   {"apply", orvelCommandApply},    {"goto", orvelCommandGoto},
    {"goto_block", orvelCommandGotoBlock}, {"args", orvelCommandArgs}, {"procs", orvelCommandProcs},
    {"clearprocs", orvelCommandClearprocs},
};

}  // namespace
}  // namespace orvel
