// The lib command: loads plug-in libraries, registers the commands they
// export, lists and queries loaded modules, and unloads them again.
#include <cinttypes>
#include <cstring>
#include <vector>

#include "commands/system/plugin_host.h"
#include "interp/interp.h"
#include "interp/process_state.h"
#include "platform/console.h"
#include "platform/dynlib.h"
#include "platform/event_pump.h"

namespace orvel {

namespace {

using ListFn = const char** (ORVEL_CDECL*)(void);
using IntFn = int(ORVEL_CDECL*)(void);
using TextFn = const char*(ORVEL_CDECL*)(void);
using InitFn = void(ORVEL_CDECL*)(void);
using CleanupFn = int(ORVEL_CDECL*)(int);

// One loaded module. The list is process-wide, in load order.
struct Module {
  std::string name;
  plat::LibHandle handle = nullptr;
  std::shared_ptr<bool> alive;
  orvel_pump_events_fn pump = nullptr;
};

std::vector<Module>& modules() {
  static std::vector<Module> list;
  return list;
}

Module* findModule(std::string_view name) {
  for (Module& m : modules())
    if (equalsNoCase(m.name, name)) return &m;
  return nullptr;
}

void dropModule(plat::LibHandle handle) {
  auto& list = modules();
  for (size_t i = 0; i < list.size(); i++)
    if (list[i].handle == handle) {
      if (list[i].alive) *list[i].alive = false;
      if (list[i].pump) plat::removeEventPump(list[i].pump);
      list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
      return;
    }
}

template <typename T>
T symbol(plat::LibHandle h, const char* name) {
  return reinterpret_cast<T>(plat::librarySymbol(h, name));
}

bool isSeparator(char c) { return c == '/' || c == '\\'; }

bool hasFolder(std::string_view s) {
  for (char c : s)
    if (isSeparator(c) || c == ':') return true;
  return false;
}

// The escapes \r, \n and \t become their characters; any other escaped
// character is taken literally.
std::string unescapePath(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size(); i++) {
    if (s[i] == '\\' && i + 1 < s.size()) {
      char c = s[++i];
      out += c == 'r' ? '\r' : c == 'n' ? '\n' : c == 't' ? '\t' : c;
    } else {
      out += s[i];
    }
  }
  return out;
}

size_t baseStart(std::string_view file) {
  size_t b = 0;
  for (size_t i = 0; i < file.size(); i++)
    if (isSeparator(file[i]) || file[i] == ':') b = i + 1;
  return b;
}

// The library folder that completes bare names; empty in this program.
std::string& libraryFolder() {
  static std::string folder;
  return folder;
}

std::string resolveFile(std::string_view name) {
  std::string file;
  if (!hasFolder(name)) {
    file = libraryFolder();
    if (!file.empty()) file += '\\';
    file += name;
  } else {
    file = unescapePath(name);
  }
  if (file.find('.', baseStart(file)) == std::string::npos) file += plat::libraryExtension();
  return file;
}

std::string moduleNameOf(std::string_view file) {
  std::string_view base = file.substr(baseStart(file));
  size_t dot = base.rfind('.');
  if (dot != std::string_view::npos) base = base.substr(0, dot);
  return std::string(base);
}

// The first count entries of a list a plug-in returned; a null entry ends it.
std::vector<std::string> exportList(const char** list, int count) {
  std::vector<std::string> out;
  if (!list) return out;
  for (int i = 0; i < count && list[i]; i++) out.emplace_back(list[i]);
  return out;
}

std::string handleText(plat::LibHandle h) {
  return strprintf("0x%" PRIxPTR, reinterpret_cast<uintptr_t>(h));
}

// Removes every command of this interpreter whose handler is fn.
void removeCommandsOf(Interp& in, orvel_command_fn fn) {
  std::vector<std::string> names;
  for (Command* c : orvelCommandList(in))
    if (pluginFunctionOf(*c) == fn) names.push_back(c->name);
  for (auto& n : names) orvelUnregisterCommand(in, n);
}

struct Options {
  bool nocomplain = false, verbose = false, list = false, unload = false, replace = false, info = false,
       commands = false, description = false, modules = false, loaded = false;
};

int runLib(Interp& in, Args& argv, const Options& o) {
  const char* cmd = argv[0].c_str();
  auto failWith = [&](auto... args) -> int {
    if (o.nocomplain) return OK;
    return fail(in, args...);
  };
  // Reports that do not end the command.
  auto report = [&](const std::string& msg) {
    if (!o.nocomplain) reportErrorText(in, msg);
  };
  auto atLevel = [&] { return strprintf(" at level %i in %s\r\n", frameLevel(in), procNameOf(in)); };
  bool talk = o.verbose || ps().debug;

  if (o.loaded) {
    const std::string& other = argv[1] == "-loaded" ? argv[2] : argv[1];
    in.result = findModule(other) ? "1" : "0";
    return OK;
  }
  if (o.modules) {
    std::string names;
    for (Module& m : modules()) {
      if (!names.empty()) names += ' ';
      names += m.name;
    }
    in.result = names;
    return OK;
  }

  const std::string file = resolveFile(argv[1]);
  const std::string modName = moduleNameOf(file);
  Module* mod = findModule(modName);
  if (mod && o.verbose && !o.unload) plat::writeOut(strprintf("lib: Module %s already loaded\r\n", mod->name.c_str()));

  if (o.unload) {
    if (!mod) return failWith("%s: Module '%s' is not loaded", cmd, modName.c_str());
    if (auto cleanup = symbol<CleanupFn>(mod->handle, "_lib_cleanup")) {
      if (cleanup(0) == 255) {
        in.result = "0";
        return failWith("%s: Module %s is busy. Can't be unloaded", cmd, mod->name.c_str());
      }
    }
  } else if (o.commands) {
    if (!mod) return failWith("%s: Module '%s' is not loaded", cmd, modName.c_str());
    auto list = symbol<ListFn>(mod->handle, "_get_command_list");
    auto count = symbol<IntFn>(mod->handle, "_get_export_count");
    const char** names = list ? list() : nullptr;
    if (!names || !count) return failWith("%s: Failed to link to exports in '%s'", cmd, mod->name.c_str());
    std::string out;
    for (auto& n : exportList(names, count())) {
      if (!out.empty()) out += ' ';
      out += n;
    }
    in.result = out;
    return OK;
  } else if (o.info) {
    if (!mod) return failWith("%s: Module '%s' is not loaded", cmd, modName.c_str());
    auto version = symbol<IntFn>(mod->handle, "_get_dll_version");
    auto date = symbol<TextFn>(mod->handle, "_get_dll_date");
    if (!version || !date) return o.nocomplain ? OK : ERROR;
    const char* d = date();
    in.result = strprintf("%.2f %s ", version() / 100.0, d ? d : "") + handleText(mod->handle);
    return OK;
  } else if (mod && !o.replace) {
    if (o.description) {
      auto comment = symbol<TextFn>(mod->handle, "_get_dll_comment");
      const char* text = comment ? comment() : nullptr;
      in.result = text ? text : "";
      return OK;
    }
    return failWith("%s: Library '%s' already loaded", cmd, modName.c_str());
  } else if (!mod) {
    std::string why;
    plat::LibHandle h = plat::loadLibrary(file, &why);
    if (!h) return failWith("%s: Failed to link to library %s", cmd, file.c_str());
    if (reinterpret_cast<uintptr_t>(h) <= 32) {
      plat::freeLibrary(h);
      return failWith("%s: Can't load library '%s' (Bad handle 0x%" PRIxPTR ")", cmd, file.c_str(),
                      reinterpret_cast<uintptr_t>(h));
    }
    modules().push_back(Module{modName, h, std::make_shared<bool>(true), nullptr});
    mod = &modules().back();
  }

  // Registration (or removal) of the module's commands.
  const plat::LibHandle handle = mod->handle;
  const std::string name = mod->name;
  const std::shared_ptr<bool> alive = mod->alive;
  if (reinterpret_cast<uintptr_t>(handle) <= 32) {
    if (o.unload) return failWith("%s: Can't find or unload library '%s'", cmd, file.c_str());
    return failWith("%s: Can't load library '%s' (Bad handle 0x%" PRIxPTR ")", cmd, file.c_str(),
                    reinterpret_cast<uintptr_t>(handle));
  }
  auto functionList = symbol<ListFn>(handle, "_get_function_list");
  auto commandList = symbol<ListFn>(handle, "_get_command_list");
  auto exportCount = symbol<IntFn>(handle, "_get_export_count");
  auto versionFn = symbol<IntFn>(handle, "_get_dll_version");
  auto dateFn = symbol<TextFn>(handle, "_get_dll_date");
  auto routinesFn = symbol<orvel_export_common_routines_fn>(handle, "_export_common_routines");
  if (!o.unload)
    if (auto init = symbol<InitFn>(handle, "_lib_init")) init();

  // Read everything the messages need while the module is still mapped.
  bool haveVersion = versionFn && dateFn;
  double version = 0;
  std::string date;
  if (haveVersion) {
    version = versionFn() / 100.0;
    const char* d = dateFn();
    date = d ? d : "";
  }
  std::vector<std::string> functions, names;
  int count = exportCount ? exportCount() : 0;
  if (count < 0) count = 0;
  if (functionList && commandList && exportCount) {
    const char** f = functionList();
    const char** c = commandList();
    if (f && c) {
      functions = exportList(f, count);
      names = exportList(c, count);
    } else {
      functionList = nullptr;
    }
  }
  std::vector<orvel_command_fn> exported;  // the export of each function-list entry, or null

  int counted = 0;
  std::string listed;
  if (functionList && commandList && exportCount) {
    size_t n = std::min(functions.size(), names.size());
    for (size_t i = 0; i < n; i++) {
      auto fn = symbol<orvel_command_fn>(handle, functions[i].c_str());
      exported.push_back(fn);
      if (!fn) {
        report(strprintf("%s: No exported DLL function '%s' in library %s", cmd, functions[i].c_str(), name.c_str()) +
               atLevel());
        continue;
      }
      if (o.unload) {
        removeCommandsOf(in, fn);
        counted++;
        continue;
      }
      const std::string& cmdName = names[i];
      if (o.replace && orvelGetCommand(in, cmdName)) orvelUnregisterCommand(in, cmdName);
      int r = ERROR;
      if (!cmdName.empty()) {
        auto pc = std::make_shared<PluginCommand>();
        pc->fn = fn;
        pc->alive = alive;
        pc->module = name;
        void* pd = pc.get();
        r = orvelRegisterCommand(in, cmdName, pluginCommandHandler, pd, 0, std::move(pc));
      }
      if (r == DEFINED) {
        report(strprintf("lib: Command '%s' already defined", cmdName.c_str()) + atLevel());
      } else if (r == OK) {
        if (talk) plat::writeOut(strprintf("%s: Loaded command '%s'\r\n", cmd, cmdName.c_str()));
        listed += cmdName;
        listed += ' ';
        counted++;
      } else {
        report(strprintf("%s: Failed to register command '%s' -> '%s'", cmd, cmdName.c_str(), functions[i].c_str()) +
               atLevel());
      }
    }
  } else {
    report(strprintf("%s: No exported functions found", cmd) + atLevel());
  }

  if (o.unload) {
    dropModule(handle);
    plat::freeLibrary(handle);
  }

  if (!o.list || o.unload) {
    if (talk) {
      if (o.unload) plat::writeOut(strprintf("%s: Unloaded '%s'\r\n", cmd, file.c_str()));
      else plat::writeOut(strprintf("%s: Loaded %s - %li command(s)'\r\n", cmd, file.c_str(), static_cast<long>(counted)));
      if (o.info && haveVersion) plat::writeOut(strprintf("v%.2f %s\r\n", version, date.c_str()));
    }
    in.result = std::to_string(counted);
  } else {
    if (!listed.empty()) listed.pop_back();
    in.result = listed;
  }

  if (!o.unload && routinesFn) {
    int got = exportHostRoutines(routinesFn);
    if (got != ORVEL_HOST_ROUTINE_COUNT) {
      for (orvel_command_fn fn : exported)
        if (fn) removeCommandsOf(in, fn);
      dropModule(handle);
      plat::freeLibrary(handle);
      if (o.nocomplain) return OK;
      reportErrorText(in, strprintf("lib: Error exporting common functions for '%s'. Check library version (%li export(s))\r\n",
                                    name.c_str(), static_cast<long>(got)));
      return ERROR;
    }
  }
  if (!o.unload) {
    if (Module* m = findModule(name)) {
      auto pump = symbol<orvel_pump_events_fn>(handle, "_pump_events");
      if (pump && m->pump != pump) {
        plat::addEventPump(pump);
        m->pump = pump;
      }
    }
  }
  return OK;
}

int orvelCommandLib(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  Options o;
  for (size_t i = 1; i < argv.size(); i++) {
    const std::string& w = argv[i];
    if (w == "-nocomplain") o.nocomplain = true;
    else if (w == "-verbose") o.verbose = true;
    else if (w == "-list") o.list = true;
    else if (w == "-unload") o.unload = true;
    else if (w == "-replace") o.replace = true;
    else if (w == "-info") o.info = true;
    else if (w == "-commands") o.commands = true;
    else if (w == "-description") o.description = true;
    else if (w == "-modules") o.modules = true;
    else if (w == "-loaded") o.loaded = true;
  }
  // -loaded needs a name beside it.
  if (o.loaded && argv.size() < 3) return wrongNumArgs(in, argv);
  try {
    return runLib(in, argv, o);
  } catch (...) {
    return fail(in, "%s: Unhandled exception", argv[0].c_str());
  }
}

const CommandRegistrar reg[] = {{"lib", orvelCommandLib}};

}  // namespace

}  // namespace orvel
