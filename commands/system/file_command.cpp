// The file command and the single file and folder commands it hands on to:
// unlink, ren, filesize, mkdir/md, is_dir, is_file, md5_file, normal_path.
#include <cctype>
#include <cstring>

#include "commands/core/string_common.h"
#include "commands/system/file_streams.h"
#include "expr/numbers.h"
#include "platform/files.h"
#include "platform/system.h"
#include "support/md5.h"

namespace orvel {

namespace {

#ifdef _WIN32
constexpr char kSep = '\\';
#else
constexpr char kSep = '/';
#endif

bool isSep(char c) { return c == '/' || c == '\\'; }

bool hasOption(const Args& argv, size_t from, const char* name) {
  for (size_t i = from; i < argv.size(); i++)
    if (argv[i] == name) return true;
  return false;
}

// Position of the file name within a path (after the last separator or a
// drive colon).
size_t nameStart(std::string_view p) {
  size_t s = p.find_last_of("/\\");
  size_t start = s == std::string_view::npos ? 0 : s + 1;
  if (start == 0 && p.size() >= 2 && p[1] == ':') start = 2;
  return start;
}

std::string dirnameOf(std::string_view p) {
  size_t start = nameStart(p);
  if (start == 0) return ".";
  std::string d(p.substr(0, start));
  while (d.size() > 1 && isSep(d.back()) && !(d.size() == 3 && d[1] == ':')) d.pop_back();
  return d;
}

std::string extensionOf(std::string_view p) {
  std::string_view name = p.substr(nameStart(p));
  size_t dot = name.find_last_of('.');
  if (dot == std::string_view::npos || dot == 0) return {};
  return std::string(name.substr(dot));
}

std::string listOf(const std::vector<std::string>& items) {
  std::string out;
  for (size_t i = 0; i < items.size(); i++) {
    if (i) out += ' ';
    const std::string& s = items[i];
    if (s.empty()) out += "{}";
    else if (s.find_first_of(" \t{}\"") != std::string::npos) out += "{" + s + "}";
    else out += s;
  }
  return out;
}

// Separators folded to one kind, doubled ones collapsed, the trailing one
// removed (or added with addSlash).
std::string stripPath(std::string_view p, char sep, bool addSlash) {
  std::string out;
  for (size_t i = 0; i < p.size(); i++) {
    char c = isSep(p[i]) ? sep : p[i];
    if (c == sep && !out.empty() && out.back() == sep && !(i == 1 && isSep(p[0]))) continue;
    out += c;
  }
  while (out.size() > 1 && out.back() == sep && !(out.size() == 3 && out[1] == ':')) out.pop_back();
  if (addSlash && (out.empty() || out.back() != sep)) out += sep;
  return out;
}

std::string normalPath(const std::string& p, bool unix) {
  std::string full = plat::fullPath(p);
  if (unix) {
    for (auto& c : full)
      if (c == '\\') c = '/';
  }
  return full;
}

int callHandler(Interp& in, Handler h, const std::string& name, const Args& argv, size_t from) {
  Args words;
  words.push_back(name);
  for (size_t i = from; i < argv.size(); i++) words.push_back(argv[i]);
  return h(in, words, nullptr);
}

}  // namespace

int orvelCommandUnlink(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  bool nocomplain = hasOption(argv, 2, "-nocomplain");
  const std::string& path = argv[1];
  in.result = "0";
  if (!plat::pathExists(path)) {
    if (nocomplain) return OK;
    return fail(in, "%s: File '%s' not found", argv[0].c_str(), path.c_str());
  }
  std::string err;
  if (!plat::removeFile(path, err)) {
    if (nocomplain) return OK;
    return fail(in, "%s: Failed to delete '%s' (%s)", argv[0].c_str(), path.c_str(), err.c_str());
  }
  in.result = "1";
  return OK;
}

int orvelCommandRen(Interp& in, Args& argv, void*) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  in.result = "0";
  if (!plat::pathExists(argv[1])) return fail(in, "%s: File '%s' not found", argv[0].c_str(), argv[1].c_str());
  std::string err;
  if (!plat::renamePath(argv[1], argv[2], err))
    return fail(in, "%s: Failed to rename '%s' to '%s' (%s)", argv[0].c_str(), argv[1].c_str(), argv[2].c_str(),
                err.c_str());
  in.result = "1";
  return OK;
}

int orvelCommandFilesize(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  plat::FileStatus st;
  if (!plat::fileStatus(argv[1], st)) {
    in.result = "-1";
    return fail(in, "%s: File '%s' not found", argv[0].c_str(), argv[1].c_str());
  }
  in.result = intText(st.size);
  return OK;
}

int orvelCommandMkdir(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  bool nocomplain = hasOption(argv, 2, "-nocomplain");
  in.result = "0";
  if (plat::isDirectory(argv[1])) {
    if (nocomplain) return OK;
    return fail(in, "%s: Folder '%s' already exists", argv[0].c_str(), argv[1].c_str());
  }
  std::string err;
  if (!plat::makeDirectory(argv[1], err)) {
    if (nocomplain) return OK;
    return fail(in, "%s: Failed to create folder '%s' (%s)", argv[0].c_str(), argv[1].c_str(), err.c_str());
  }
  in.result = "1";
  return OK;
}

int orvelCommandIsDir(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  bool yes = argv[0] == "is_file" || argv[0] == "isfile" ? plat::isRegularFile(argv[1]) : plat::isDirectory(argv[1]);
  in.result = yes ? "1" : "0";
  return OK;
}

int orvelCommandMd5File(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  in.result.clear();
  if (!plat::pathExists(argv[1])) return fail(in, "%s: File '%s' not found", argv[0].c_str(), argv[1].c_str());
  std::string data, err;
  if (!plat::readWholeFile(argv[1], data, err))
    return fail(in, "%s: Error reading file '%s' (%s)", argv[0].c_str(), argv[1].c_str(), err.c_str());
  in.result = md5Hex(data);
  return OK;
}

int orvelCommandNormalPath(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  in.result = normalPath(argv[1], hasOption(argv, 2, "-unix"));
  return OK;
}

int orvelCommandFile(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  std::string sub = argv[1];
  for (auto& c : sub) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  auto is = [&](const char* n) { return sub == n; };
  in.result.clear();
  if (is("volumes")) {
    std::string out;
    for (const auto& r : plat::volumeRoots()) out += (out.empty() ? "" : " ") + r;
    in.result = out;
    return OK;
  }
  if (is("exepath")) {
    in.result = normalPath(plat::modulePath(), false);
    return OK;
  }
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  const std::string& path = argv[2];

  struct Hand {
    const char* sub;
    Handler h;
  };
  static const Hand kStreams[] = {{"open", orvelCommandOpen},   {"close", orvelCommandClose},
                                  {"eof", orvelCommandEof},     {"flush", orvelCommandFlush},
                                  {"gets", orvelCommandGets},   {"rewind", orvelCommandRewind},
                                  {"seek", orvelCommandSeek},   {"tell", orvelCommandTell},
                                  {"delete", orvelCommandUnlink}, {"unlink", orvelCommandUnlink},
                                  {"rename", orvelCommandRen},  {"size", orvelCommandFilesize},
                                  {"mkdir", orvelCommandMkdir}, {"isdirectory", orvelCommandIsDir},
                                  {"isfile", orvelCommandIsDir}, {"md5", orvelCommandMd5File},
                                  {"normal_path", orvelCommandNormalPath}};
  for (const Hand& h : kStreams)
    if (is(h.sub)) return callHandler(in, h.h, sub, argv, 2);

  if (is("exists")) {
    std::string p = filePathArg(path);
    while (p.size() > 1 && isSep(p.back())) p.pop_back();
    in.result = plat::pathExists(p) ? "1" : "0";
    return OK;
  }
  if (is("attributes")) {
    plat::FileAttributes a;
    if (!plat::fileAttributes(path, a))
      return fail(in, "%s %s: File '%s' not found", argv[0].c_str(), argv[1].c_str(), path.c_str());
    in.result = std::string("-archive ") + (a.archive ? "1 " : "0 ") + "-hidden " + (a.hidden ? "1 " : "0 ") +
                "-system " + (a.system ? "1 " : "0 ") + "-readonly " + (a.readonly ? "1 " : "0 ") +
                "-longname " + listOf({a.longName}) + " -shortname " + listOf({a.shortName});
    return OK;
  }
  if (is("dirname")) {
    in.result = dirnameOf(path);
    return OK;
  }
  if (is("extension")) {
    in.result = extensionOf(path);
    return OK;
  }
  if (is("name") || is("tail")) {
    in.result = path.substr(nameStart(path));
    return OK;
  }
  if (is("normalize")) {
    in.result = normalPath(path, false);
    return OK;
  }
  if (is("readable")) {
    in.result = plat::canRead(path) ? "1" : "0";
    return OK;
  }
  if (is("writeable") || is("writable")) {
    in.result = plat::canWrite(path) ? "1" : "0";
    return OK;
  }
  if (is("executable")) {
    if (plat::pathExists(path)) in.result = plat::isExecutableFile(path) ? "1" : "0";
    return OK;
  }
  if (is("isroot")) {
    const std::string& p = path;
    bool root = p == "/" || p == "\\";
    if (p.size() >= 3 && std::isalpha(static_cast<unsigned char>(p[0])) && p[1] == ':') {
      std::string rest = p.substr(2);
      root = rest == "/" || rest == "\\" || rest == "\\\\";
    }
    in.result = root ? "1" : "0";
    return OK;
  }
  if (is("split")) {
    std::string drive, rest = path;
    if (rest.size() >= 2 && std::isalpha(static_cast<unsigned char>(rest[0])) && rest[1] == ':') {
      drive = rest.substr(0, 2);
      rest = rest.substr(2);
    }
    size_t start = nameStart(rest);
    std::string dir = rest.substr(0, start);
    std::string name = rest.substr(start);
    std::string ext = extensionOf(name);
    name.resize(name.size() - ext.size());
    in.result = listOf({drive, dir, name, ext});
    return OK;
  }
  if (is("stat")) {
    if (argv.size() < 4) return wrongNumArgs(in, argv);
    const std::string& arr = argv[3];
    if (orvelGetVar(in, arr))
      return fail(in, "%s %s: Variable '%s' already exists", argv[0].c_str(), argv[1].c_str(), arr.c_str());
    plat::FileStatus st;
    if (!plat::fileStatus(path, st)) {
      in.result = "0";
      return OK;
    }
    std::string drive = st.drive >= 0 ? std::string(1, static_cast<char>('A' + st.drive)) : std::string();
    const std::pair<const char*, std::string> items[] = {
        {"atime", intText(st.atime)},      {"ctime", intText(st.ctime)},  {"dev", uintText(st.dev)},
        {"gid", intText(st.gid)},          {"ino", uintText(st.ino)},     {"mode", uintText(st.mode)},
        {"mtime", intText(st.mtime)},      {"nlink", intText(st.nlink)},  {"size", intText(st.size)},
        {"drive", drive},                  {"rdev", uintText(st.rdev)},   {"uid", intText(st.uid)}};
    for (const auto& it : items)
      if (arraySetElement(in, arr, it.first, it.second) != OK) return ERROR;
    in.result = "1";
    return OK;
  }
  if (is("pathcount")) {
    std::string p = strings::unescapeText(path);
    int64_t n = 0;
    size_t i = 0;
    while (i <= p.size()) {
      size_t j = p.find_first_of("/\\", i);
      if (j == std::string::npos) j = p.size();
      if (j > i) n++;
      i = j + 1;
    }
    in.result = intText(n);
    return OK;
  }
  if (is("type")) {
    if (!plat::pathExists(path)) return OK;
    std::string ext = extensionOf(path);
    if (equalsNoCase(ext, ".lnk")) in.result = "link";
    else in.result = plat::isDirectory(path) ? "directory" : "file";
    return OK;
  }
  if (is("crc")) {
    Command* c = orvelGetCommand(in, "file_crc");
    if (!c || !c->handler) {
      reportErrorText(in, strprintf("file %s: lib orvel_crc is not loaded\r\n", argv[1].c_str()));
      return ERROR;
    }
    Args words;
    words.push_back("file_crc");
    for (size_t i = 2; i < argv.size(); i++) words.push_back(argv[i]);
    return c->handler(in, words, c->pd);
  }
  if (is("runtype")) {
    std::string type;
    if (!plat::executableType(path, type))
      return fail(in, "%s %s: Error checking file", argv[0].c_str(), argv[1].c_str());
    if (hasOption(argv, 3, "-v")) {
      static const std::pair<const char*, const char*> kText[] = {
          {"32bit", "32-bit Windows-based application"}, {"64bit", "64-bit Windows-based application"},
          {"dos", "MS-DOS-based application"},           {"wow", "16-bit Windows-based application"},
          {"pif", "PIF file that executes an MS-DOS-based application"},
          {"posix", "POSIX-based application"},          {"os216", "16-bit OS/2-based application"}};
      for (const auto& t : kText)
        if (type == t.first) type = t.second;
    }
    in.result = type;
    return OK;
  }
  if (is("pathstrip") || is("resolve")) {
    char sep = hasOption(argv, 3, "-unix") ? '/' : kSep;
    std::string p = is("resolve") ? plat::fullPath(path) : path;
    in.result = stripPath(p, sep, hasOption(argv, 3, "-addslash"));
    return OK;
  }
  return fail(in, "%s: Invalid command '%s'", argv[0].c_str(), argv[1].c_str());
}

namespace {
const CommandRegistrar kRegs[] = {
    {"file", orvelCommandFile},         {"unlink", orvelCommandUnlink},   {"ren", orvelCommandRen},
    {"filesize", orvelCommandFilesize}, {"mkdir", orvelCommandMkdir},     {"md", orvelCommandMkdir},
    {"is_dir", orvelCommandIsDir},      {"is_file", orvelCommandIsDir},   {"md5_file", orvelCommandMd5File},
    {"normal_path", orvelCommandNormalPath},
};
}  // namespace

}  // namespace orvel
