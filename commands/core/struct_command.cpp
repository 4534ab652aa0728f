// The `struct` command and the member accessors `->` and `=>>`.
#include <cinttypes>
#include <cstring>
#include <exception>

#include "commands/core/struct_create.h"
#include "expr/numbers.h"
#include "interp/struct_access.h"
#include "interp/struct_data.h"
#include "support/wildcard.h"

namespace orvel {

namespace {

bool isOption(const std::string& w) { return !w.empty() && w[0] == '-'; }

// The member a `name.member` reference stands for, with the messages of
// `struct set` (forSet) or `struct item`; nullptr after a reported failure.
Var* memberForReference(Interp& in, const std::string& subcommand, const std::string& ref, bool forSet) {
  size_t dot = ref.find('.');
  if (dot == std::string::npos) {
    fail(in, "struct %s: Member field '%s' is invalid (Requires .)", subcommand.c_str(), ref.c_str());
    return nullptr;
  }
  const std::string_view structName = std::string_view(ref).substr(0, dot);
  const std::string_view member = std::string_view(ref).substr(dot + 1);
  Var* sv = varTarget(orvelGetVar(in, structName));
  if (forSet) {
    if (!sv) {
      fail(in, "struct put: Struct variable '%s' not found", std::string(structName).c_str());
      return nullptr;
    }
    if (!usableStruct(sv)) {
      fail(in, "%s %s: Unexpected error", "struct", subcommand.c_str());
      return nullptr;
    }
  } else if (!usableStruct(sv)) {
    fail(in, "struct item: struct variable '%s' not found", std::string(structName).c_str());
    return nullptr;
  }
  Var* m = structMemberOf(sv, member);
  if (!m) {
    if (forSet) fail(in, "struct put: Struct member '%s' not found", ref.c_str());
    else fail(in, "struct item: struct member '%s' not found", ref.c_str());
    return nullptr;
  }
  return m;
}

int structItem(Interp& in, const std::string& subcommand, const std::string& ref) {
  in.result.clear();
  Var* m = memberForReference(in, subcommand, ref, false);
  if (!m) return ERROR;
  std::string content;
  readFieldValue(in, m, content);
  in.result = std::move(content);
  return OK;
}

int structSet(Interp& in, Args& argv) {
  if (argv.size() == 3) return structItem(in, argv[1], argv[2]);
  in.result.clear();
  const std::string& ref = argv[2];
  if (ref.find('.') == std::string::npos)
    return fail(in, "struct %s: Member field '%s' is invalid (Requires .)", argv[1].c_str(), ref.c_str());
  int64_t length = -1;
  if (argv.size() > 4) {
    length = toInt64(argv[4]);
    if (length <= 0)
      return fail(in, "struct %s: Invalid struct member length '%s'", argv[1].c_str(), argv[4].c_str());
  }
  Var* m = memberForReference(in, argv[1], ref, true);
  if (!m) return ERROR;
  if (m->value.empty()) return fail(in, "struct put: Invalid address");
  if (m->size <= 0) return fail(in, "struct put: Field size %" PRId64 " <= 0", m->size);
  const std::string& value = argv[3];
  std::string_view text = value;
  if (length >= 0 && static_cast<uint64_t>(length) < text.size()) text = text.substr(0, static_cast<size_t>(length));
  if (!writeFieldValue(m, text)) return fail(in, "struct put: Invalid address");
  in.result = m->value;
  return OK;
}

int structSize(Interp& in, Args& argv) {
  Var* v = varTarget(orvelGetVar(in, argv[2]));
  if (!v && argv[2].find('.') != std::string::npos) v = structMemberVar(in, argv[2]);
  if (!v) {
    in.result.clear();
    return fail(in, "%s: '%s' not found", "struct size", argv[2].c_str());
  }
  in.result = intText(v->size);
  return OK;
}

int structElements(Interp& in, Args& argv) {
  bool withSize = false, withValue = false;
  for (size_t i = 3; i < argv.size(); i++) {
    if (argv[i] == "-size") withSize = true;
    else if (argv[i] == "-value") withValue = true;
  }
  Var* sv = varTarget(orvelGetVar(in, argv[2]));
  in.result.clear();
  if (!sv || sv->kind != VK_STRUCT || !sv->members)
    return fail(in, "%s: Struct '%s' not found or not a struct", "struct elements", argv[2].c_str());
  std::string out;
  std::string sizeText = intText(sv->size);
  for (auto& w : sv->members->members) {
    VarPtr m = w.lock();
    if (!m) continue;
    out += withValue ? m->value : withSize ? sizeText : m->name;
    out += ' ';
  }
  in.result = std::move(out);
  return OK;
}

int structClear(Interp& in, Args& argv) {
  Var* sv = varTarget(orvelGetVar(in, argv[2]));
  in.result.clear();
  if (!usableStruct(sv)) return fail(in, "%s: Variable '%s' not found", "struct clear", argv[2].c_str());
  std::memset(sv->members->block.data(), 0, sv->members->block.size());
  return OK;
}

int structCopy(Interp& in, Args& argv) {
  if (argv.size() < 4) return wrongNumArgs(in, argv);
  in.result.clear();
  Var* target = varTarget(orvelGetVar(in, argv[2]));
  if (!target) return fail(in, "struct copy: Target struct '%s' does not exist", argv[2].c_str());
  if (!usableStruct(target)) return fail(in, "struct copy: Invalid target struct '%s'", argv[2].c_str());
  // Only struct variables are accepted as sources, never raw addresses.
  Var* source = varTarget(orvelGetVar(in, argv[3]));
  if (!usableStruct(source)) return fail(in, "struct copy: Invalid source struct '%s'", argv[3].c_str());
  std::vector<char>& to = target->members->block;
  const std::vector<char>& from = source->members->block;
  if (source->size != target->size || from.size() != to.size())
    return fail(in, "struct copy: Source struct (%" PRId64 ") differs from target (%" PRId64 ")", source->size,
                target->size);
  if (&to != &from) std::memcpy(to.data(), from.data(), to.size());
  in.result = intText(static_cast<int64_t>(to.size()));
  return OK;
}

int structUnset(Interp& in, Args& argv) {
  bool nocomplain = false, allowConst = false, nocase = false, glob = false;
  for (size_t i = 2; i < argv.size(); i++) {
    if (argv[i] == "-nocomplain") nocomplain = true;
    else if (argv[i] == "-const") allowConst = true;
    else if (argv[i] == "-nocase") nocase = true;
    else if (argv[i] == "-glob") glob = true;
  }
  in.result.clear();
  auto notFound = [&](const std::string& name) {
    fail(in, "%s: '%s' not found", "struct unset", name.c_str());
    return fail(in, "%s %s: Error unsetting '%s'", argv[0].c_str(), argv[1].c_str(), name.c_str());
  };
  int64_t removed = 0;
  for (size_t i = 2; i < argv.size(); i++) {
    const std::string& w = argv[i];
    if (isOption(w)) continue;
    std::vector<std::string> names;
    if (glob || nocase) {
      std::string_view pattern = w;
      std::string prefix;
      CallFrame* f = in.callFrame;
      if (pattern.size() >= 2 && pattern[0] == ':' && pattern[1] == ':') {
        pattern.remove_prefix(2);
        prefix = "::";
        f = globalFrame(in);
      }
      for (Var* v : f->vars.list()) {
        Var* t = varTarget(v);
        bool match = glob ? wildMatch(pattern, v->name, nocase) : equalsNoCase(pattern, v->name);
        if (match && t && t->kind == VK_STRUCT) names.push_back(prefix + v->name);
      }
    } else {
      names.push_back(w);
    }
    if (names.empty()) {
      if (nocomplain) continue;
      return notFound(w);
    }
    for (const std::string& name : names) {
      Var* rec = orvelGetVar(in, name);
      Var* sv = varTarget(rec);
      if (!sv || sv->kind != VK_STRUCT) {
        if (nocomplain) continue;
        return notFound(name);
      }
      if ((rec->isConst || sv->isConst) && !allowConst) {
        in.result = "0";
        if (nocomplain) return OK;
        int code = fail(in, "%s %s: Can't unset const '%s' (use -const)", argv[0].c_str(), argv[1].c_str(),
                        name.c_str());
        in.result = "0";
        return code;
      }
      if (rec != sv) {
        // Reached through a link: the struct goes, and so does the link.
        destroyStruct(in, sv);
        for (CallFrame* f = in.callFrame; f; f = f->parent)
          if (f->vars.remove(rec)) break;
      } else {
        destroyStruct(in, sv);
      }
      removed++;
    }
  }
  in.result = intText(removed);
  return OK;
}

// setb, ofaddressb and dump go to the stand-alone commands of those names.
int handOn(Interp& in, Args& argv, const char* command) {
  Command* c = orvelGetCommand(in, command);
  if (!c || !c->handler) return fail(in, "struct %s: Not implemented", argv[1].c_str());
  auto keep = c->owner;
  Args words(argv.begin() + 1, argv.end());
  words[0] = command;
  return c->handler(in, words, c->pd);
}

int orvelCommandStruct(Interp& in, Args& argv, void*) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  try {
    const std::string& sub = argv[1];
    if (equalsNoCase(sub, "create")) return structCreate(in, argv, 2);
    if (equalsNoCase(sub, "set")) {
      if (argv.size() > 5) return wrongNumArgs(in, argv);
      return structSet(in, argv);
    }
    if (equalsNoCase(sub, "item")) return structItem(in, sub, argv[2]);
    if (equalsNoCase(sub, "size")) return structSize(in, argv);
    if (equalsNoCase(sub, "elements")) return structElements(in, argv);
    if (equalsNoCase(sub, "clear")) return structClear(in, argv);
    if (equalsNoCase(sub, "copy")) return structCopy(in, argv);
    if (equalsNoCase(sub, "unset")) return structUnset(in, argv);
    if (equalsNoCase(sub, "setb")) return handOn(in, argv, "setb");
    if (equalsNoCase(sub, "ofaddressb")) return handOn(in, argv, "ofaddressb");
    if (equalsNoCase(sub, "dump")) return handOn(in, argv, "dump");
    return structCreate(in, argv, 1);
  } catch (const std::exception& e) {
    reportException("orvelCommandStruct", e.what());
  } catch (...) {
    reportException("orvelCommandStruct", nullptr);
  }
  in.result.clear();
  return ERROR;
}

// `-> name.member`; the evaluator may also call it with the words
// "item" and the name.
int orvelCommandStructItem(Interp& in, Args& argv, void*) {
  if (argv.size() < 2 || argv.size() > 3) return wrongNumArgs(in, argv);
  try {
    return structItem(in, "item", argv.back());
  } catch (const std::exception& e) {
    reportException("orvelCommandStructItem", e.what());
  } catch (...) {
    reportException("orvelCommandStructItem", nullptr);
  }
  in.result.clear();
  return ERROR;
}

// `=>> name.member ?arg...?`: runs the member's content as a command with
// each arg appended in braces.
int orvelCommandStructDereference(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  try {
    int code = structItem(in, "item", argv[1]);
    if (code != OK) return code;
    if (in.result.empty()) return OK;
    std::string command = std::move(in.result);
    in.result.clear();
    for (size_t i = 2; i < argv.size(); i++) {
      command += " {";
      command += argv[i];
      command += '}';
    }
    return orvelEval(in, command);
  } catch (const std::exception& e) {
    reportException("orvelCommandStructDereference", e.what());
  } catch (...) {
    reportException("orvelCommandStructDereference", nullptr);
  }
  in.result.clear();
  return ERROR;
}

const CommandRegistrar kRegs[] = {
    {"struct", orvelCommandStruct},
    {"->", orvelCommandStructItem},
    {"=>>", orvelCommandStructDereference},
};

}  // namespace
}  // namespace orvel
