// Looking at the interpreter's state: inspect, type, checkheap, sysfree;
// and the switches and handlers of error reporting: echo and on.
#include <cctype>
#include <cstdlib>
#include <map>
#include <string>

#include "commands/core/list_common.h"
#include "commands/core/memory_blocks.h"
#include "expr/numbers.h"
#include "interp/interp.h"
#include "interp/list_text.h"
#include "interp/struct_access.h"
#include "interp/struct_data.h"
#include "platform/files.h"
#include "support/hash_table.h"
#include "support/stack.h"

namespace orvel {

namespace {

// A value as inspect shows it: quoted, control characters written as
// escapes, cut after 60 characters.
std::string shownValue(const std::string& v) {
  std::string out = "'";
  size_t n = 0;
  for (unsigned char c : v) {
    if (n++ == 60) {
      out += "...";
      break;
    }
    if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else if (c == '\t') out += "\\t";
    else if (c < 32 || c == 127) out += strprintf("\\x%02X", c);
    else out += static_cast<char>(c);
  }
  return out + "'";
}

std::string plural(int64_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

// The description of the record a name finally stands for (t), seen
// through the record v that the name found.
std::string describe(Interp& in, Var* v, Var* t) {
  std::string d;
  std::string flags;
  if (v->isConst || t->isConst) flags += ", const";
  if (v->isStatic || t->isStatic) flags += ", static";
  switch (t->kind) {
    case VK_AUTO:
      if (t->isPointer) {
        d = "buffer" + flags + ", " + plural(static_cast<int64_t>(t->value.size()), "byte", "bytes");
      } else {
        std::string value;
        readVarValue(in, v, value);
        d = "scalar" + flags + ", " + plural(static_cast<int64_t>(value.size()), "character", "characters") +
            ", value " + shownValue(value);
      }
      break;
    case VK_ARRAY:
      d = "array" + flags + ", " + plural(t->table ? t->table->entryCount() : 0, "element", "elements");
      if (t->noCase) d += ", subscripts ignore case";
      break;
    case VK_DICT:
      d = "dictionary" + flags + ", " + plural(t->table ? t->table->entryCount() : 0, "entry", "entries");
      break;
    case VK_STACK:
      d = "stack" + flags + ", " + plural(t->stack ? t->stack->count() : 0, "item", "items");
      break;
    case VK_STRUCT: {
      d = "struct" + flags + ", " + plural(t->size, "byte", "bytes");
      std::string members;
      int64_t count = 0;
      if (t->members)
        for (auto& w : t->members->members)
          if (auto m = w.lock()) {
            std::string own = m->name.substr(m->name.find('.') + 1);
            members += (count ? ", " : "") + own + " " + std::to_string(m->size);
            count++;
          }
      d += ", " + plural(count, "member", "members");
      if (count) d += ": " + members;
      break;
    }
    case VK_FIELD: {
      std::string value;
      readFieldValue(in, t, value);
      std::string owner = t->members ? t->members->structName : std::string();
      d = "struct member of '" + owner + "'" + flags + ", offset " + std::to_string(t->book[0]) + ", width " +
          std::to_string(t->size) + ", value " + shownValue(value);
      break;
    }
    default:
      d = std::string(kindName(t->kind)) + flags;
  }
  return d;
}

// inspect name: a readable one-line description of a variable (or of a
// memory block handle).
int orvelCommandInspect(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  const std::string& name = argv[1];
  Var* v = orvelGetVar(in, name);
  if (!v) v = structMemberVar(in, name);
  if (!v) {
    bool freed = false;
    if (auto* blk = memoryBlockOf(in, name, &freed)) {
      in.result = name + ": memory block, " + plural(static_cast<int64_t>(blk->size()), "byte", "bytes");
      return OK;
    }
    if (freed) {
      in.result = name + ": freed memory block";
      return OK;
    }
    return fail(in, "%s: Variable '%s' not found", argv[0].c_str(), name.c_str());
  }
  if (v->link && !v->subscript.empty()) {
    Var* arr = varTarget(v->link.get());
    std::string value;
    readVarValue(in, v, value);
    in.result = name + ": link to element " + (arr->level == 0 ? "::" : "") + arr->name + "(" + v->subscript +
                "), value " + shownValue(value);
    return OK;
  }
  Var* t = varTarget(v);
  in.result = name + ": " + describe(in, v, t);
  if (t != v) in.result += ", link to " + std::string(t->level == 0 ? "::" : "") + t->name;
  return OK;
}

std::string typeOfValue(const std::string& v) {
  if (v.empty()) return "empty";
  int64_t i;
  if (lists::strictInt(v, i)) return "int";
  if (double d; readDecimalRealText(v, d)) return "double";
  std::vector<std::string> elements;
  if (TclTokenised3(v, elements) > 1) return "list";
  return "string";
}

// type value   or   type -var name
int orvelCommandType(Interp& in, Args& argv, void*) {
  if (argv.size() == 2) {
    in.result = typeOfValue(argv[1]);
    return OK;
  }
  if (argv.size() != 3 || argv[1] != "-var") return wrongNumArgs(in, argv);
  const std::string& name = argv[2];
  Var* v = orvelGetVar(in, name);
  if (!v) v = structMemberVar(in, name);
  if (!v) {
    size_t open = name.find('(');
    if (open != std::string::npos && open > 0 && name.back() == ')') {
      if (const std::string* e = arrayGetElement(in, std::string_view(name).substr(0, open),
                                                 std::string_view(name).substr(open + 1, name.size() - open - 2))) {
        in.result = typeOfValue(*e);
        return OK;
      }
    }
    return fail(in, "%s: Variable '%s' not found", argv[0].c_str(), name.c_str());
  }
  Var* t = varTarget(v);
  switch (t->kind) {
    case VK_ARRAY: in.result = "array"; break;
    case VK_DICT: in.result = "dict"; break;
    case VK_STRUCT: in.result = "struct"; break;
    case VK_FIELD: in.result = "field"; break;
    case VK_STACK: in.result = "stack"; break;
    case VK_AUTO:
      if (t->isPointer) {
        in.result = "buffer";
      } else {
        std::string value;
        readVarValue(in, v, value);
        in.result = typeOfValue(value);
      }
      break;
    default: in.result = kindName(t->kind);
  }
  return OK;
}

// checkheap: checks the memory the interpreter owns for scripts (memory
// blocks, struct blocks) against its own records and counts what there is.
int orvelCommandCheckheap(Interp& in, Args& argv, void*) {
  if (argv.size() != 1) return wrongNumArgs(in, argv);
  MemoryBlockStats blocks = memoryBlockStats(in);
  if (blocks.bytes != blocks.recordedBytes)
    return fail(in, "%s: Memory blocks hold %lld bytes, but %lld are recorded", argv[0].c_str(),
                static_cast<long long>(blocks.bytes), static_cast<long long>(blocks.recordedBytes));
  int64_t frames = 0, vars = 0, arrays = 0, elements = 0, structs = 0, structBytes = 0;
  for (CallFrame* f = in.callFrame; f; f = f->parent) {
    frames++;
    for (Var* v : f->vars.list()) {
      vars++;
      if (v->link) continue;
      if (v->kind == VK_ARRAY) {
        arrays++;
        if (v->table) elements += v->table->entryCount();
      } else if (v->kind == VK_STRUCT && v->members) {
        structs++;
        int64_t size = static_cast<int64_t>(v->members->block.size());
        if (size != v->size)
          return fail(in, "%s: Struct '%s' has a block of %lld bytes, but its size is %lld", argv[0].c_str(),
                      v->name.c_str(), static_cast<long long>(size), static_cast<long long>(v->size));
        for (auto& w : v->members->members)
          if (auto m = w.lock())
            if (m->book[0] < 0 || m->size <= 0 || m->book[0] + m->size > size)
              return fail(in, "%s: Member '%s' lies outside its struct's block", argv[0].c_str(), m->name.c_str());
        structBytes += size;
      }
    }
  }
  in.result = strprintf("blocks %lld blockbytes %lld structs %lld structbytes %lld frames %lld variables %lld "
                        "arrays %lld elements %lld",
                        static_cast<long long>(blocks.count), static_cast<long long>(blocks.bytes),
                        static_cast<long long>(structs), static_cast<long long>(structBytes),
                        static_cast<long long>(frames), static_cast<long long>(vars), static_cast<long long>(arrays),
                        static_cast<long long>(elements));
  return OK;
}

// sysfree ?-total?: the physical memory still available (or installed), in
// bytes.
int orvelCommandSysfree(Interp& in, Args& argv, void*) {
  if (argv.size() > 2) return wrongNumArgs(in, argv);
  bool total = argv.size() == 2;
  if (total && argv[1] != "-total") return fail(in, "%s: Unknown option '%s'", argv[0].c_str(), argv[1].c_str());
  plat::MemoryStatus ms;
  if (!plat::memoryStatus(ms)) return fail(in, "%s: The system does not report its memory", argv[0].c_str());
  in.result = std::to_string(total ? ms.totalPhys : ms.availPhys);
  return OK;
}

// echo ?on|off|push|pop ...?: the error echo switch, as `option echo`.
int orvelCommandEcho(Interp& in, Args& argv, void*) {
  for (size_t i = 1; i < argv.size(); i++) {
    const std::string& w = argv[i];
    if (!equalsNoCase(w, "on") && !equalsNoCase(w, "off") && !equalsNoCase(w, "push") && !equalsNoCase(w, "pop") &&
        !equalsNoCase(w, "reset"))
      return fail(in, "%s: Unknown word '%s' (use on, off, push, pop or reset)", argv[0].c_str(), w.c_str());
  }
  Command* option = orvelGetCommand(in, "option");
  if (!option || !option->handler) return fail(in, "%s: The option command is missing", argv[0].c_str());
  auto keep = option->owner;
  Args words{"option", "echo"};
  words.insert(words.end(), argv.begin() + 1, argv.end());
  return option->handler(in, words, option->pd);
}

// The events `on` knows and the commands the interpreter calls for them.
struct Event {
  const char* name;
  const char* command;
};
const Event kEvents[] = {{"error", "on_error"}, {"exit", "at_exit"}};

// on                  the events that have a script, with their scripts
// on event            the script of the event
// on event script     runs the script on the event ("" removes it)
int orvelCommandOn(Interp& in, Args& argv, void*) {
  if (argv.size() > 3) return wrongNumArgs(in, argv);
  auto& slot = in.attached["on scripts"];
  if (!slot) slot = std::make_shared<std::map<std::string, std::string>>();
  auto& scripts = *static_cast<std::map<std::string, std::string>*>(slot.get());
  if (argv.size() == 1) {
    std::vector<std::string> items;
    for (const Event& e : kEvents) {
      auto it = scripts.find(e.name);
      if (it == scripts.end() || !orvelGetCommand(in, e.command)) continue;
      items.push_back(e.name);
      items.push_back(it->second);
    }
    in.result = listBuild(items);
    return OK;
  }
  const Event* ev = nullptr;
  for (const Event& e : kEvents)
    if (equalsNoCase(argv[1], e.name)) ev = &e;
  if (!ev) return fail(in, "%s: Unknown event '%s' (use error or exit)", argv[0].c_str(), argv[1].c_str());
  if (argv.size() == 2) {
    auto it = scripts.find(ev->name);
    in.result = it != scripts.end() && orvelGetCommand(in, ev->command) ? it->second : std::string();
    return OK;
  }
  const std::string& script = argv[2];
  orvelUnregisterCommand(in, ev->command);
  scripts.erase(ev->name);
  if (!script.empty()) {
    Args words{"sub", ev->command, script};
    int code = orvelEvalWords(in, words);
    if (code != OK) return code;
    scripts[ev->name] = script;
  }
  in.result.clear();
  return OK;
}

const CommandRegistrar reg[] = {
    {"inspect", orvelCommandInspect}, {"type", orvelCommandType}, {"checkheap", orvelCommandCheckheap},
    {"sysfree", orvelCommandSysfree}, {"echo", orvelCommandEcho}, {"on", orvelCommandOn},
};

}  // namespace

}  // namespace orvel
