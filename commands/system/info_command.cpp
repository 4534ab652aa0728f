// info: questions about the interpreter, the running script and the
// machine; and commands, the list of the command table.
#include <algorithm>
#include <random>
#include <stdexcept>

#include "expr/numbers.h"
#include "interp/interp.h"
#include "interp/procedure.h"
#include "interp/process_state.h"
#include "platform/files.h"
#include "platform/system.h"
#include "support/ascii_case.h"
#include "support/hash_table.h"
#include "support/wildcard.h"

namespace orvel {

namespace {

const char* const kVersion = "1.27";

std::string listElement(const std::string& s) {
  if (s.empty()) return "{}";
  if (s.find_first_of(" \t") != std::string::npos) return "{" + s + "}";
  return s;
}

std::string doubledBackslashes(std::string_view s) {
  std::string out;
  for (char c : s) {
    out += c;
    if (c == '\\') out += '\\';
  }
  return out;
}

std::string lowerText(std::string s) {
  for (auto& c : s) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return s;
}

int delegate(Interp& in, const char* name, const Args& argv, size_t from) {
  Command* c = orvelGetCommand(in, name);
  if (!c || !c->handler) return fail(in, "%s: Command '%s' not found", argv[0].c_str(), name);
  Args words;
  words.push_back(name);
  for (size_t i = from; i < argv.size(); i++) words.push_back(argv[i]);
  return c->handler(in, words, c->pd);
}

std::string newGuid() {
  static std::mt19937_64 gen(plat::tickMs() ^ 0x9E3779B97F4A7C15ull ^ static_cast<uint64_t>(plat::processId()));
  uint64_t a = gen(), b = gen();
  return strprintf("%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X", static_cast<unsigned>(a >> 32),
                   static_cast<unsigned>((a >> 16) & 0xFFFF), static_cast<unsigned>(a & 0xFFFF),
                   static_cast<unsigned>(b >> 56), static_cast<unsigned>((b >> 48) & 0xFF),
                   static_cast<unsigned>((b >> 40) & 0xFF), static_cast<unsigned>((b >> 32) & 0xFF),
                   static_cast<unsigned>((b >> 24) & 0xFF), static_cast<unsigned>((b >> 16) & 0xFF),
                   static_cast<unsigned>((b >> 8) & 0xFF), static_cast<unsigned>(b & 0xFF));
}

bool memoryFigure(const std::string& sub) {
  static const char* const kNames[] = {"memtotal",     "memavail",        "memtotalpage",  "memavailpage",
                                       "memtotalvirtual", "memavailvirtual", "mempercentfree"};
  for (const char* n : kNames)
    if (sub == n) return true;
  return false;
}

int memoryQuery(Interp& in, const Args& argv, const std::string& sub) {
  plat::MemoryStatus m;
  if (!plat::memoryStatus(m)) return fail(in, "%s: Memory status is not available", argv[0].c_str());
  if (sub == "mempercentfree") {
    double pct = m.totalPhys ? 100.0 * static_cast<double>(m.availPhys) / static_cast<double>(m.totalPhys) : 0.0;
    in.result = strprintf("%.2f", pct);
    return OK;
  }
  uint64_t v = sub == "memtotal"          ? m.totalPhys
               : sub == "memavail"        ? m.availPhys
               : sub == "memtotalpage"    ? m.totalPage
               : sub == "memavailpage"    ? m.availPage
               : sub == "memtotalvirtual" ? m.totalVirtual
                                          : m.availVirtual;
  bool mb = false;
  for (size_t i = 2; i < argv.size(); i++)
    if (argv[i] == "-mb") mb = true;
  in.result = mb ? strprintf("%.2f", static_cast<double>(v) / 1048576.0) : uintText(v);
  return OK;
}

std::string winverText(const Args& argv, size_t from) {
  plat::OsVersion v = plat::osVersion();
  for (size_t i = from; i < argv.size(); i++) {
    if (argv[i] == "-list") return strprintf("%u %u %u %u", v.major, v.minor, v.build, v.platform);
    if (argv[i] == "-vernum") return strprintf("%u.%u", v.major, v.minor);
    if (argv[i] == "-truever") return strprintf("%u.%u.%u", v.major, v.minor, v.build);
  }
  return v.text;
}

std::string varList(Interp& in, CallFrame* frame, const std::string& pattern, bool nocase, bool constOnly) {
  std::vector<std::string> names;
  for (Var* v : frame->vars.list()) {
    if (constOnly && !v->isConst) continue;
    if (!wildMatch(pattern, v->name, nocase)) continue;
    names.push_back(v->name);
  }
  (void)in;
  std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; i++) {
      unsigned char x = static_cast<unsigned char>(asciiLower(a[i])), y = static_cast<unsigned char>(asciiLower(b[i]));
      if (x != y) return x < y;
    }
    return a.size() < b.size();
  });
  std::string out;
  for (const auto& n : names) {
    if (!out.empty()) out += ' ';
    out += listElement(n);
  }
  return out;
}

ProcRecord* procOf(Interp& in, const std::string& name, const Args& argv, int& code) {
  code = OK;
  Command* c = orvelGetCommand(in, name);
  if (!c) {
    code = fail(in, "proc '%s' not defined", name.c_str());
    return nullptr;
  }
  if (c->kind != 1 || !c->pd) {
    code = fail(in, "proc '%s' data is empty", name.c_str());
    return nullptr;
  }
  (void)argv;
  return static_cast<ProcRecord*>(c->pd);
}

int infoLevel(Interp& in, const Args& argv) {
  int current = frameLevel(in);
  int64_t n = toInt64(argv[2]);
  int64_t want = n > 0 ? n - 1 : current + n - 1;
  if (want < 0) want = 0;
  if (n > current)
    return fail(in, "%s %s: Invalid callframe reference %li", argv[0].c_str(), argv[1].c_str(), static_cast<long>(n));
  CallFrame* f = nullptr;
  for (CallFrame* p = in.callFrame; p; p = p->parent)
    if (p->level == want) f = p;
  if (!f) return fail(in, "%s %s: Failed to locate level %s", argv[0].c_str(), argv[1].c_str(), argv[2].c_str());
  std::string out;
  if (f->argv) {
    for (const auto& w : *f->argv) {
      if (!out.empty()) out += ' ';
      out += listElement(w);
    }
  }
  in.result = std::move(out);
  return OK;
}

bool isAdapterField(const std::string& s) {
  static const char* const kFields[] = {
      "adapter_id",  "adapter_index", "adapter_name", "adapter_type", "dhcp_enabled", "dhcp_end",
      "dhcp_server", "dhcp_start",    "domain",       "fmac_address", "gateway",      "hostname",
      "ip_address",  "mac_address",   "netmask",      "primary_dns",  "primary_wins", "secondary_dns",
      "secondary_wins", "adapter_count"};
  for (const char* f : kFields)
    if (s == f) return true;
  return false;
}

int infoTwoWords(Interp& in, const Args& argv, const std::string& sub, bool& matched) {
  matched = true;
  auto is = [&](const char* n) { return sub == n; };
  if (is("commands")) return delegate(in, "commands", argv, 2);
  if (is("disks")) {
    std::string d = plat::driveLetters();
    in.result = d.empty() ? "{}" : d;
    return OK;
  }
  if (is("executablename") || is("nameofexecutable")) {
    Var* v = orvelGetVar(in, "::exe_name");
    in.result = v ? v->value : std::string();
    return OK;
  }
  if (is("vars") || is("locals")) {
    in.result = varList(in, in.callFrame, "*", false, false);
    return OK;
  }
  if (is("globals")) {
    in.result = varList(in, globalFrame(in), "*", false, false);
    return OK;
  }
  if (is("patchlevel")) {
    in.result = "0";
    return OK;
  }
  if (is("cmdcount")) {
    in.result = uintText(static_cast<uint64_t>(in.commandCounter));
    return OK;
  }
  if (is("level") || is("frame")) {
    in.result = intText(frameLevel(in));
    return OK;
  }
  if (is("procname")) {
    in.result = in.callFrame && in.callFrame->hasProcName ? in.callFrame->procName : std::string();
    return OK;
  }
  if (is("is_elevated")) return delegate(in, "is_elevated", argv, 2);
  if (is("is_networked")) {
    in.result = plat::isNetworked() ? "1" : "0";
    return OK;
  }
  if (is("lib")) {
    std::string exe = plat::modulePath();
    size_t s = exe.find_last_of("/\\");
    std::string dir = s == std::string::npos ? std::string() : exe.substr(0, s);
    in.result = doubledBackslashes(dir) + "\\lib";
    return OK;
  }
  if (is("winver")) {
    in.result = winverText(argv, 2);
    return OK;
  }
  if (is("username")) return delegate(in, "username", argv, 2);
  if (is("adapter_count") || is("hostname")) return delegate(in, "hostname", argv, 1);
  if (is("script")) {
    in.result = doubledBackslashes(ps().scriptName);
    return OK;
  }
  if (is("scriptpath")) {
    const std::string& s = ps().scriptName;
    size_t at = s.find_last_of("/\\");
    in.result = s.empty() ? "{}" : at == std::string::npos ? std::string(".") : s.substr(0, at == 0 ? 1 : at);
    return OK;
  }
  if (is("tclversion")) {
    in.result = kVersion;
    return OK;
  }
  if (is("monitorcount")) {
    in.result = intText(plat::monitorCount());
    return OK;
  }
  if (is("functions")) return delegate(in, "functions", argv, 2);
  if (is("guid")) {
    in.result = newGuid();
    return OK;
  }
  if (is("procs")) return delegate(in, "procs", argv, 2);
  if (is("args")) {
    Args copy = argv;
    return wrongNumArgs(in, copy);
  }
  if (is("is_dll")) {
    in.result = "0";
    return OK;
  }
  matched = false;
  return OK;
}

int infoWithArgs(Interp& in, const Args& argv, const std::string& sub, bool& matched) {
  matched = true;
  auto is = [&](const char* n) { return sub == n; };
  const std::string& a = argv[2];
  if (is("exists")) {
    bool nocase = argv.size() > 3 && argv[3] == "-nocase";
    bool found;
    size_t open = a.find('(');
    if (open != std::string::npos && open > 0 && a.back() == ')')
      found = arrayGetElement(in, a.substr(0, open), std::string_view(a).substr(open + 1, a.size() - open - 2),
                              nocase) != nullptr;
    else found = orvelGetVar(in, a, -1) != nullptr;
    in.result = found ? "1" : "0";
    return OK;
  }
  if (is("procs")) return delegate(in, "procs", argv, 2);
  if (is("commands")) return delegate(in, "commands", argv, 2);
  if (is("argcount")) {
    Var* v = orvelGetVar(in, a);
    while (v && v->link) v = v->link.get();
    if (!v || v->kind != VK_ARRAY) return fail(in, "%s: '%s' is not an array", argv[0].c_str(), a.c_str());
    if (!v->table) return fail(in, "%s: Array '%s' does not exist", argv[0].c_str(), a.c_str());
    int64_t n = 0;
    for (const std::string& val : v->table->values())
      if (!val.empty() && val[0] != '/') n++;
    in.result = intText(n);
    return OK;
  }
  if (is("winver")) {
    in.result = winverText(argv, 2);
    return OK;
  }
  if (is("default")) {
    if (argv.size() != 5) {
      Args copy = argv;
      return wrongNumArgs(in, copy);
    }
    Command* c = orvelGetCommand(in, a);
    in.result = "0";
    if (!c || c->kind != 1 || !c->pd) return OK;
    auto* rec = static_cast<ProcRecord*>(c->pd);
    for (const ProcParam& p : rec->params) {
      if (p.name == argv[3] && p.parts == 2) {
        if (set_var(in, argv[4], p.def) != OK) {
          in.result.clear();
          return fail(in, "%s %s: Failed to set '%s'", argv[0].c_str(), argv[1].c_str(), argv[4].c_str());
        }
        in.result = "1";
        return OK;
      }
    }
    if (set_var(in, argv[4], "") != OK) return ERROR;
    in.result = "0";
    return OK;
  }
  if (is("vars") || is("locals") || is("globals")) {
    std::string pattern = "*";
    bool nocase = false, constOnly = false;
    for (size_t i = 2; i < argv.size(); i++) {
      if (argv[i] == "-nocase") nocase = true;
      else if (argv[i] == "-const") constOnly = true;
      else if (i == 2 && !argv[i].empty() && argv[i][0] != '-') pattern = argv[i];
    }
    in.result = varList(in, is("globals") ? globalFrame(in) : in.callFrame, pattern, nocase, constOnly);
    return OK;
  }
  if (is("args") || is("body")) {
    int code = OK;
    ProcRecord* rec = procOf(in, a, argv, code);
    if (!rec) return code;
    if (is("body")) {
      in.result = rec->body;
      return OK;
    }
    std::string out;
    for (const ProcParam& p : rec->params) {
      if (!out.empty()) out += ' ';
      out += listElement(p.name);
    }
    in.result = std::move(out);
    return OK;
  }
  if (is("disksize")) {
    in.result = intText(plat::diskSize(a));
    return OK;
  }
  if (is("disktype")) {
    in.result = intText(plat::diskType(a));
    return OK;
  }
  if (is("frame")) {
    in.result = intText(frameLevel(in));
    return OK;
  }
  if (is("level")) return infoLevel(in, argv);
  if (isAdapterField(sub)) return delegate(in, "hostname", argv, 1);
  matched = false;
  return OK;
}

int orvelCommandInfo(Interp& in, Args& argv, void*) {
  try {
    if (argv.size() == 1) {
      std::string out = std::string("Tcl Version\t") + kVersion + "\r\n";
      std::string os = plat::osVersion().text;
      if (!os.empty()) out += "Windows:\t" + os + "\r\n";
      Var* exe = orvelGetVar(in, "::exe_name");
      if (exe && !exe->value.empty()) {
        std::string e;
        for (char c : exe->value) e += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : c == '\t' ? std::string("\\t") : std::string(1, c);
        out += "Executable:\t" + e + "\r\n";
      }
      out += strprintf("Commands:\t%li\r\n", static_cast<long>(in.commandCounter));
      in.result = std::move(out);
      return OK;
    }
    std::string sub = lowerText(argv[1]);
    if ((argv.size() == 2 || argv.size() == 3) && memoryFigure(sub)) return memoryQuery(in, argv, sub);
    bool matched = false;
    int code = argv.size() == 2 ? infoTwoWords(in, argv, sub, matched) : infoWithArgs(in, argv, sub, matched);
    if (matched) return code;
    in.result.clear();
    return fail(in, "%s: Unknown argument '%s'", argv[0].c_str(), argv[1].c_str());
  } catch (const std::exception&) {
    reportErrorText(in, strprintf("%s %s: Exception at line %li\r\n", argv[0].c_str(),
                                  argv.size() > 1 ? argv[1].c_str() : "", static_cast<long>(ps().location)));
    return ERROR;
  }
}

int orvelCommandCommands(Interp& in, Args& argv, void*) {
  std::string out;
  bool filter = argv.size() > 1;
  for (Command* c : orvelCommandList(in)) {
    if (filter && !wildMatch(argv[1], c->name, true)) continue;
    if (!out.empty()) out += ' ';
    out += c->name;
  }
  in.result = std::move(out);
  return OK;
}

const CommandRegistrar kRegs[] = {
    {"info", orvelCommandInfo},
    {"commands", orvelCommandCommands},
};

}  // namespace

}  // namespace orvel
