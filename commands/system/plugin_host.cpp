// The host side of the plug-in calling interface. Plug-ins are C code: every
// routine here has C linkage, lets no exception out, and hands out only
// memory that the plug-in gives back through these same routines.
#include "commands/system/plugin_host.h"

#include <cstdlib>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "interp/command_table.h"
#include "interp/list_text.h"

namespace orvel {

namespace {

Interp* asInterp(void* interp) { return static_cast<Interp*>(interp); }

// Runs fn with in.callFrame set to the frame at the given level (a negative
// level keeps the current frame).
template <typename F>
auto atLevel(Interp& in, int level, F fn) {
  CallFrame* saved = in.callFrame;
  if (level >= 0) {
    CallFrame* f = frameAtLevel(in, level);
    if (f) in.callFrame = f;
  }
  struct Restore {
    Interp& in;
    CallFrame* f;
    ~Restore() { in.callFrame = f; }
  } restore{in, saved};
  return fn();
}

char* heapCopy(const char* text, size_t n) {
  char* p = static_cast<char*>(std::malloc(n + 1));
  if (!p) return nullptr;
  if (n) std::memcpy(p, text, n);
  p[n] = '\0';
  return p;
}

// What a plug-in sees of a variable. The texts are copies that change only
// when the variable's name or value does, so a pointer handed out stays
// valid until the variable is changed.
struct VariableView {
  orvel_variable c{};
  std::string name, value;
};

// Keyed by the variable record. A record that is freed and whose address is
// reused simply refreshes the view; the table is emptied when it grows past
// a bound, so a plug-in that looks up many variables does not grow memory.
std::unordered_map<const Var*, std::unique_ptr<VariableView>>& variableViews() {
  static std::unordered_map<const Var*, std::unique_ptr<VariableView>> views;
  return views;
}
constexpr size_t kMaxViews = 65536;

struct CommandView {
  orvel_command_info c{};
  std::string name;
};
std::unordered_map<std::string, std::unique_ptr<CommandView>>& commandViews() {
  static std::unordered_map<std::string, std::unique_ptr<CommandView>> views;
  return views;
}

}  // namespace

}  // namespace orvel

using namespace orvel;

extern "C" {

// Calls a command of the host for a plug-in that found it through
// orvelHostGetCommand; privdata is that command's view.
static int ORVEL_CDECL orvelHostCallCommand(void* interp, int argc, char** argv, void* privdata) {
  if (!interp || !privdata) return ORVEL_ERROR;
  Interp& in = *asInterp(interp);
  try {
    const CommandView* view = static_cast<const CommandView*>(privdata);
    Command* c = orvelGetCommand(in, view->name);
    if (!c || !c->handler) return fail(in, "%s: Command not found", view->name.c_str());
    Args words;
    for (int i = 0; i < argc && argv; i++) words.emplace_back(argv[i] ? argv[i] : "");
    if (words.empty()) words.push_back(view->name);
    std::shared_ptr<void> keep = c->owner;  // the command may remove itself
    return c->handler(in, words, c->pd);
  } catch (...) {
    return ORVEL_ERROR;
  }
}

/*  1 */ static const orvel_variable* ORVEL_CDECL orvelHostGetVar(void* interp, const char* name, int level) {
  if (!interp || !name) return nullptr;
  Interp& in = *asInterp(interp);
  try {
    Var* v = atLevel(in, level, [&] { return orvelGetVar(in, name); });
    if (!v) return nullptr;
    auto& views = variableViews();
    if (views.size() >= kMaxViews && !views.count(v)) views.clear();
    auto& slot = views[v];
    if (!slot) slot = std::make_unique<VariableView>();
    VariableView& view = *slot;
    if (view.name != v->name) view.name = v->name;
    std::string value;
    if (!readVarValue(in, v, value)) value = v->value;
    if (view.value != value) view.value = std::move(value);
    view.c.name = view.name.c_str();
    view.c.value = view.value.c_str();
    view.c.kind = v->kind;
    view.c.is_const = v->isConst ? 1 : 0;
    view.c.is_static = v->isStatic ? 1 : 0;
    view.c.level = v->level;
    return &view.c;
  } catch (...) {
    return nullptr;
  }
}

/*  2 */ static int ORVEL_CDECL orvelHostSetVar(void* interp, const char* name, const char* value, int level) {
  if (!interp || !name) return ORVEL_ERROR;
  Interp& in = *asInterp(interp);
  try {
    return atLevel(in, level, [&] { return set_var(in, name, value ? value : ""); });
  } catch (...) {
    return ORVEL_ERROR;
  }
}

/*  3 */ static char* ORVEL_CDECL orvelHostStringAppend(char** str, const char* text, int maxLength) {
  if (!str) return nullptr;
  size_t add = 0;
  if (text) add = maxLength > 0 ? strnlen(text, static_cast<size_t>(maxLength)) : std::strlen(text);
  size_t old = *str ? std::strlen(*str) : 0;
  char* p = static_cast<char*>(std::realloc(*str, old + add + 1));
  if (!p) return *str;
  if (add) std::memcpy(p + old, text, add);
  p[old + add] = '\0';
  *str = p;
  return p;
}

/*  4 */ static void ORVEL_CDECL orvelHostStringFree(char** str) {
  if (!str) return;
  std::free(*str);
  *str = nullptr;
}

/*  5 */ static void* ORVEL_CDECL orvelHostFrameAtLevel(void* interp, int level) {
  if (!interp) return nullptr;
  return frameAtLevel(*asInterp(interp), level);
}

/*  6 */ static int ORVEL_CDECL orvelHostFindCommand(const orvel_command_info* const* array, int count,
                                                      const char* name, int) {
  if (!array || !name || count <= 0) return 0;
  auto nameAt = [&](int i) -> const char* { return array[i] && array[i]->name ? array[i]->name : nullptr; };
  auto compare = [&](int i) {
    const char* n = nameAt(i);
    return n ? std::strcmp(n, name) : -1;
  };
  if (compare(0) == 0) return 1;
  if (compare(count - 1) == 0) return count;
  int lo = 0, hi = count - 1;
  while (hi - lo > 1) {
    int mid = lo + (hi - lo) / 2;
    int r = compare(mid);
    if (r == 0) return mid + 1;
    if (r > 0) hi = mid;
    else lo = mid;
  }
  return 0;
}

/*  7 */ static const orvel_command_info* ORVEL_CDECL orvelHostGetCommand(void* interp, const char* name) {
  if (!interp || !name) return nullptr;
  Interp& in = *asInterp(interp);
  try {
    Command* c = orvelGetCommand(in, name);
    if (!c) return nullptr;
    auto& slot = commandViews()[c->name];
    if (!slot) {
      slot = std::make_unique<CommandView>();
      slot->name = c->name;
    }
    CommandView& view = *slot;
    view.c.name = view.name.c_str();
    view.c.kind = c->kind;
    if (orvel_command_fn fn = pluginFunctionOf(*c)) {
      view.c.handler = fn;
      view.c.privdata = nullptr;
    } else {
      view.c.handler = orvelHostCallCommand;
      view.c.privdata = &view;
    }
    return &view.c;
  } catch (...) {
    return nullptr;
  }
}

/*  8 */ static int ORVEL_CDECL orvelHostSplitList(const char* text, char*** words, int, int) {
  if (!words) return 0;
  *words = nullptr;
  if (!text) return 0;
  try {
    std::vector<std::string> parts;
    TclTokenised3(text, parts);
    char** arr = static_cast<char**>(std::calloc(parts.size() + 1, sizeof(char*)));
    if (!arr) return 0;
    for (size_t i = 0; i < parts.size(); i++) {
      arr[i] = heapCopy(parts[i].data(), parts[i].size());
      if (!arr[i]) {
        for (size_t j = 0; j < i; j++) std::free(arr[j]);
        std::free(arr);
        return 0;
      }
    }
    *words = arr;
    return static_cast<int>(parts.size());
  } catch (...) {
    return 0;
  }
}

/*  9 */ static void ORVEL_CDECL orvelHostFreeStringArray(char*** array, int count) {
  if (!array || !*array) return;
  for (int i = 0; i < count; i++) std::free((*array)[i]);
  std::free(*array);
  *array = nullptr;
}

/* 10 */ static void ORVEL_CDECL orvelHostSetResult(void* interp, const char* text, int length) {
  if (!interp) return;
  Interp& in = *asInterp(interp);
  try {
    if (!text) in.result.clear();
    else if (length > 0) in.result.assign(text, static_cast<size_t>(length));
    else in.result.assign(text);
  } catch (...) {
  }
}

/* 11 */ static void* ORVEL_CDECL orvelHostAlloc(size_t size) { return std::malloc(size ? size : 1); }

/* 12 */ static void ORVEL_CDECL orvelHostFree(void* block) { std::free(block); }

/* 13 */ static const char* ORVEL_CDECL orvelHostGetElement(void* interp, const char* array, const char* index,
                                                             int* found, int noCase) {
  if (found) *found = 0;
  if (!interp || !array || !index) return "";
  try {
    const std::string* v = arrayGetElement(*asInterp(interp), array, index, noCase != 0);
    if (!v) return "";
    if (found) *found = 1;
    return v->c_str();
  } catch (...) {
    return "";
  }
}

/* 14 */ static int ORVEL_CDECL orvelHostSetElement(void* interp, const char* array, const char* index,
                                                     const char* value, int, int noCase, int report) {
  if (!interp || !array || !index) return ORVEL_ERROR;
  try {
    return arraySetElement(*asInterp(interp), array, index, value ? value : "", noCase != 0, report != 0);
  } catch (...) {
    return ORVEL_ERROR;
  }
}

/* 15 */ static int ORVEL_CDECL orvelHostStringArrayAdd(char*** array, int count, char** source, int add,
                                                         int maxCount) {
  if (!array || count < 0) return count < 0 ? 0 : count;
  if (!source || add <= 0) return count;
  if (maxCount > 0) {
    if (count >= maxCount) return count;
    if (add > maxCount - count) add = maxCount - count;
  }
  size_t total = static_cast<size_t>(count) + static_cast<size_t>(add);
  char** arr = static_cast<char**>(std::realloc(*array, (total + 1) * sizeof(char*)));
  if (!arr) return count;
  *array = arr;
  int n = count;
  for (int i = 0; i < add; i++) {
    const char* s = source[i] ? source[i] : "";
    char* copy = heapCopy(s, std::strlen(s));
    if (!copy) break;
    arr[n++] = copy;
  }
  arr[n] = nullptr;
  return n;
}

/* 16 */ static int ORVEL_CDECL orvelHostDeleteVar(void* interp, const char* name) {
  if (!interp || !name) return 0;
  try {
    return orvelDeleteVar(*asInterp(interp), name) ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

/* 17 */ static int ORVEL_CDECL orvelHostAssign(void* interp, const char* name, const char* value) {
  if (!interp || !name) return ORVEL_ERROR;
  try {
    std::string v = value ? value : "";
    return setVariable(*asInterp(interp), name, &v, true);
  } catch (...) {
    return ORVEL_ERROR;
  }
}

}  // extern "C"

namespace orvel {

int pluginCommandHandler(Interp& in, Args& argv, void* pd) {
  // Keep the record alive while the plug-in runs: the plug-in may remove or
  // replace its own command.
  Command* self = argv.empty() ? nullptr : orvelGetCommand(in, argv[0]);
  std::shared_ptr<void> keep = self ? self->owner : nullptr;
  auto* pc = static_cast<PluginCommand*>(pd);
  if (!pc || !pc->fn) return fail(in, "%s: Plug-in command has no handler", argv.empty() ? "lib" : argv[0].c_str());
  if (!pc->alive || !*pc->alive)
    return fail(in, "%s: Library '%s' is not loaded", argv[0].c_str(), pc->module.c_str());
  std::vector<char*> words;
  words.reserve(argv.size() + 1);
  for (std::string& w : argv) words.push_back(w.data());
  words.push_back(nullptr);
  in.result.clear();
  int code;
  try {
    code = pc->fn(&in, static_cast<int>(argv.size()), words.data(), nullptr);
  } catch (...) {
    return fail(in, "%s: Unhandled exception", argv[0].c_str());
  }
  if (code == ERROR) {
    // A plug-in fails by setting its message as the result; it is reported
    // like the failure of any other command.
    std::string result = in.result;
    std::string msg = result.empty() ? argv[0] + ": Failed" : result;
    if (msg.size() < 2 || msg.compare(msg.size() - 2, 2, "\r\n") != 0) msg += "\r\n";
    reportErrorText(in, msg);
    in.result = std::move(result);
  }
  return code;
}

orvel_command_fn pluginFunctionOf(const Command& c) {
  if (c.handler != pluginCommandHandler || !c.pd) return nullptr;
  return static_cast<const PluginCommand*>(c.pd)->fn;
}

int exportHostRoutines(orvel_export_common_routines_fn fn) {
  if (!fn) return 0;
  return fn(orvelHostGetVar, orvelHostSetVar, orvelHostStringAppend, orvelHostStringFree, orvelHostFrameAtLevel,
            orvelHostFindCommand, orvelHostGetCommand, orvelHostSplitList, orvelHostFreeStringArray,
            orvelHostSetResult, orvelHostAlloc, orvelHostFree, orvelHostGetElement, orvelHostSetElement,
            orvelHostStringArrayAdd, orvelHostDeleteVar, orvelHostAssign);
}

}  // namespace orvel
