// Finding files: glob (names matching patterns), ls (one folder's listing)
// and walk (every path below a folder).
//
// Patterns: '*' any run, '?' any one character, [abc] and [a-z] one of a
// set, a backslash takes the next character literally, {a,b} stands for
// each alternative in turn. A pattern matches each part of a path
// separately, so '*' never crosses a '/'. Names beginning with '.' are
// matched only by a part that begins with '.' too. Where the file system
// ignores case (Windows), so does the matching.
#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "interp/interp.h"
#include "interp/list_text.h"
#include "platform/dir_listing.h"
#include "platform/files.h"
#include "platform/system.h"

namespace orvel {

namespace {

// Pattern alternatives from {a,b} groups; more than this many is an error
// rather than an unbounded expansion.
constexpr size_t kMaxAlternatives = 4096;
// walk does not go deeper than this below its folder.
constexpr int kMaxWalkDepth = 256;

bool isSep(char c) { return c == '/' || c == '\\'; }

char fold(char c, bool nocase) {
  return nocase ? static_cast<char>(std::tolower(static_cast<unsigned char>(c))) : c;
}

// Matches a [set] at p[pi] (just past '[') against c; on return pi is past
// the closing ']'. A set without its ']' matches a literal '['.
bool matchSet(std::string_view p, size_t& pi, char c, bool nocase, bool& ok) {
  size_t i = pi;
  bool negate = i < p.size() && (p[i] == '!' || p[i] == '^');
  if (negate) i++;
  bool hit = false, first = true;
  c = fold(c, nocase);
  while (i < p.size() && (p[i] != ']' || first)) {
    first = false;
    char lo = p[i];
    if (lo == '\\' && i + 1 < p.size()) lo = p[++i];
    char hi = lo;
    if (i + 2 < p.size() && p[i + 1] == '-' && p[i + 2] != ']') {
      hi = p[i + 2];
      if (hi == '\\' && i + 3 < p.size()) hi = p[++i + 2];
      i += 2;
    }
    lo = fold(lo, nocase);
    hi = fold(hi, nocase);
    if (lo > hi) std::swap(lo, hi);
    if (c >= lo && c <= hi) hit = true;
    i++;
  }
  if (i >= p.size()) {  // no closing bracket: '[' stands for itself
    ok = c == '[';
    return false;
  }
  pi = i + 1;
  ok = hit != negate;
  return true;
}

// Wildcard match of one path part.
bool partMatch(std::string_view p, std::string_view t, bool nocase) {
  size_t pi = 0, ti = 0, starP = std::string_view::npos, starT = 0;
  while (ti < t.size()) {
    bool step = false;
    if (pi < p.size() && p[pi] == '*') {
      starP = ++pi;
      starT = ti;
      continue;
    }
    if (pi < p.size()) {
      if (p[pi] == '?') {
        step = true;
        pi++;
      } else if (p[pi] == '[') {
        size_t at = pi + 1;
        bool ok = false;
        bool closed = matchSet(p, at, t[ti], nocase, ok);
        if (ok) {
          step = true;
          pi = closed ? at : pi + 1;
        }
      } else {
        char pc = p[pi];
        size_t len = 1;
        if (pc == '\\' && pi + 1 < p.size()) {
          pc = p[pi + 1];
          len = 2;
        }
        if (fold(pc, nocase) == fold(t[ti], nocase)) {
          step = true;
          pi += len;
        }
      }
    }
    if (step) {
      ti++;
    } else if (starP != std::string_view::npos) {
      pi = starP;
      ti = ++starT;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == '*') pi++;
  return pi == p.size();
}

bool hasWildcards(std::string_view s) {
  for (size_t i = 0; i < s.size(); i++) {
    if (s[i] == '\\' && i + 1 < s.size() && !isSep(s[i + 1])) {
      i++;
      continue;
    }
    if (s[i] == '*' || s[i] == '?' || s[i] == '[') return true;
  }
  return false;
}

// A part without wildcards, with its backslash escapes removed.
std::string literalPart(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size(); i++) {
    if (s[i] == '\\' && i + 1 < s.size()) i++;
    out += s[i];
  }
  return out;
}

// Expands the first {a,b,...} group (and, recursively, the rest). False
// when the expansion grows beyond the cap.
bool expandBraces(const std::string& pattern, std::vector<std::string>& out) {
  size_t open = std::string::npos;
  for (size_t i = 0; i < pattern.size(); i++) {
    if (pattern[i] == '\\') {
      i++;
      continue;
    }
    if (pattern[i] == '{') {
      open = i;
      break;
    }
  }
  if (open == std::string::npos) {
    if (out.size() >= kMaxAlternatives) return false;
    out.push_back(pattern);
    return true;
  }
  int depth = 0;
  std::vector<size_t> commas;
  size_t close = std::string::npos;
  for (size_t i = open; i < pattern.size() && close == std::string::npos; i++) {
    char c = pattern[i];
    if (c == '\\') {
      i++;
    } else if (c == '{') {
      depth++;
    } else if (c == '}') {
      if (--depth == 0) close = i;
    } else if (c == ',' && depth == 1) {
      commas.push_back(i);
    }
  }
  if (close == std::string::npos) {  // unbalanced: taken literally
    if (out.size() >= kMaxAlternatives) return false;
    out.push_back(pattern);
    return true;
  }
  std::string head = pattern.substr(0, open), tail = pattern.substr(close + 1);
  size_t from = open + 1;
  commas.push_back(close);
  for (size_t c : commas) {
    if (!expandBraces(head + pattern.substr(from, c - from) + tail, out)) return false;
    from = c + 1;
  }
  return true;
}

std::string joinPath(const std::string& a, const std::string& b) {
  if (a.empty()) return b;
  if (isSep(a.back())) return a + b;
  return a + "/" + b;
}

struct GlobSearch {
  bool nocase = false;
  bool wantDirs = true, wantFiles = true, typed = false;
  bool dirsOnly = false;  // the pattern ended with a separator
  std::vector<std::string>* found = nullptr;

  bool fits(const std::string& path) const {
    if (dirsOnly) return plat::isDirectory(path);
    if (!typed) return plat::pathExists(path) || plat::isSymbolicLink(path);
    return (wantDirs && plat::isDirectory(path)) || (wantFiles && plat::isRegularFile(path));
  }

  // real: the path on disk; shown: the same path as the result shows it.
  void match(const std::string& real, const std::string& shown, const std::vector<std::string>& parts,
             size_t i) const {
    if (i == parts.size()) {
      if (fits(real.empty() ? std::string(".") : real)) found->push_back(dirsOnly ? joinPath(shown, "") : shown);
      return;
    }
    const std::string& part = parts[i];
    bool last = i + 1 == parts.size();
    if (!hasWildcards(part)) {
      std::string name = literalPart(part);
      std::string next = joinPath(real, name);
      if (last || plat::isDirectory(next)) match(next, joinPath(shown, name), parts, i + 1);
      return;
    }
    std::vector<plat::DirEntry> entries;
    std::string err;
    if (!plat::listDirectory(real.empty() ? std::string(".") : real, entries, err)) return;
    for (const auto& e : entries) {
      if (e.name[0] == '.' && part[0] != '.') continue;
      if (!last && !e.isDir) continue;
      if (!partMatch(part, e.name, nocase)) continue;
      match(joinPath(real, e.name), joinPath(shown, e.name), parts, i + 1);
    }
  }
};

std::string homeFolder() {
  std::string home;
  if (plat::getEnv("HOME", home) && !home.empty()) return home;
  if (plat::getEnv("USERPROFILE", home)) return home;
  return {};
}

// Splits a pattern into its root ("/", "C:/", "" for a relative one) and
// its parts.
void splitPattern(const std::string& pattern, std::string& root, std::vector<std::string>& parts) {
  size_t i = 0;
  root.clear();
  if (pattern.size() >= 2 && std::isalpha(static_cast<unsigned char>(pattern[0])) && pattern[1] == ':') {
    root = pattern.substr(0, 2);
    i = 2;
  }
  if (i < pattern.size() && isSep(pattern[i])) {
    root += '/';
    while (i < pattern.size() && isSep(pattern[i])) i++;
  }
  parts.clear();
  std::string cur;
  for (; i < pattern.size(); i++) {
    // A backslash before a wildcard character escapes it; elsewhere it
    // separates folders as '/' does.
    if (pattern[i] == '\\' && i + 1 < pattern.size() && std::string_view("*?[]{}\\").find(pattern[i + 1]) !=
                                                            std::string_view::npos) {
      cur += pattern[i];
      cur += pattern[++i];
      continue;
    }
    if (isSep(pattern[i])) {
      if (!cur.empty()) parts.push_back(cur);
      cur.clear();
    } else {
      cur += pattern[i];
    }
  }
  if (!cur.empty()) parts.push_back(cur);
}

// glob ?-nocomplain? ?-directory dir? ?-types d|f? ?-tails? ?--? pattern ...:
// the paths matching the patterns, sorted and without duplicates.
int orvelCommandGlob(Interp& in, Args& argv, void*) {
  bool nocomplain = false, tails = false;
  std::string dir;
  bool haveDir = false;
  GlobSearch search;
  search.nocase = plat::namesIgnoreCase();
  std::vector<std::string> patterns;
  bool optionsDone = false;
  for (size_t i = 1; i < argv.size(); i++) {
    const std::string& a = argv[i];
    if (optionsDone || a.empty() || a[0] != '-') {
      patterns.push_back(a);
      continue;
    }
    if (a == "--") {
      optionsDone = true;
    } else if (a == "-nocomplain") {
      nocomplain = true;
    } else if (a == "-tails") {
      tails = true;
    } else if (a == "-directory" || a == "-types") {
      if (i + 1 == argv.size()) return fail(in, "%s: Missing value for option '%s'", argv[0].c_str(), a.c_str());
      const std::string& v = argv[++i];
      if (a == "-types") {
        std::vector<std::string> kinds;
        TclTokenised3(v, kinds);
        search.typed = true;
        search.wantDirs = search.wantFiles = false;
        for (const auto& k : kinds) {
          if (k == "d") search.wantDirs = true;
          else if (k == "f") search.wantFiles = true;
          else return fail(in, "%s: Invalid type '%s' (use d or f)", argv[0].c_str(), k.c_str());
        }
        if (kinds.empty()) return fail(in, "%s: Invalid type '' (use d or f)", argv[0].c_str());
      } else {
        dir = v;
        haveDir = true;
      }
    } else {
      return fail(in, "%s: Unknown option '%s'", argv[0].c_str(), a.c_str());
    }
  }
  if (patterns.empty()) return wrongNumArgs(in, argv);
  if (tails && !haveDir) return fail(in, "%s: -tails needs -directory", argv[0].c_str());
  if (haveDir && dir.size() >= 2 && dir[0] == '~' && isSep(dir[1])) dir = homeFolder() + dir.substr(1);

  std::vector<std::string> found;
  search.found = &found;
  for (const auto& pattern : patterns) {
    std::vector<std::string> alternatives;
    if (!expandBraces(pattern, alternatives))
      return fail(in, "%s: Too many alternatives in '%s'", argv[0].c_str(), pattern.c_str());
    for (std::string p : alternatives) {
      if (p.empty()) continue;
      if (p[0] == '~' && (p.size() == 1 || isSep(p[1]))) p = homeFolder() + p.substr(1);
      std::string root;
      std::vector<std::string> parts;
      splitPattern(p, root, parts);
      search.dirsOnly = isSep(p.back()) && !parts.empty();
      if (!root.empty()) search.match(root, root, parts, 0);
      else if (haveDir) search.match(dir, tails ? std::string() : dir, parts, 0);
      else search.match(std::string(), std::string(), parts, 0);
    }
  }
  std::sort(found.begin(), found.end());
  found.erase(std::unique(found.begin(), found.end()), found.end());
  if (found.empty() && !nocomplain) {
    std::string all;
    for (const auto& p : patterns) all += (all.empty() ? "" : " ") + p;
    return fail(in, "%s: No files matched glob pattern%s '%s'", argv[0].c_str(), patterns.size() > 1 ? "s" : "",
                all.c_str());
  }
  in.result = listBuild(found);
  return OK;
}

// Entries of a folder sorted by name without regard to case (then byte
// order, so that names differing only in case keep a fixed order).
bool sortedEntries(const std::string& folder, std::vector<plat::DirEntry>& entries, std::string& err) {
  if (!plat::listDirectory(folder, entries, err)) return false;
  std::sort(entries.begin(), entries.end(), [](const plat::DirEntry& a, const plat::DirEntry& b) {
    int c = 0;
    for (size_t i = 0; i < a.name.size() && i < b.name.size() && c == 0; i++) {
      int x = std::tolower(static_cast<unsigned char>(a.name[i]));
      int y = std::tolower(static_cast<unsigned char>(b.name[i]));
      c = x < y ? -1 : x > y ? 1 : 0;
    }
    if (c != 0) return c < 0;
    if (a.name.size() != b.name.size()) return a.name.size() < b.name.size();
    return a.name < b.name;
  });
  return true;
}

// ls ?path? ?pattern?: the names in a folder (the current one by default),
// folders marked with a trailing '/', as a list sorted by name. A path
// whose last part holds wildcards lists the matching names of its folder;
// a file gives its own name.
int orvelCommandLs(Interp& in, Args& argv, void*) {
  if (argv.size() > 3) return wrongNumArgs(in, argv);
  std::string folder = argv.size() >= 2 ? argv[1] : std::string(".");
  std::string pattern = argv.size() == 3 ? argv[2] : std::string("*");
  if (folder.empty()) folder = ".";
  if (argv.size() == 2 && hasWildcards(folder) && !plat::pathExists(folder)) {
    size_t slash = folder.find_last_of("/\\");
    pattern = slash == std::string::npos ? folder : folder.substr(slash + 1);
    folder = slash == std::string::npos ? std::string(".") : folder.substr(0, slash == 0 ? 1 : slash);
  }
  if (plat::isRegularFile(folder) && argv.size() == 2) {
    size_t slash = folder.find_last_of("/\\");
    in.result = listQuote(slash == std::string::npos ? folder : folder.substr(slash + 1));
    return OK;
  }
  if (!plat::isDirectory(folder)) return fail(in, "%s: No folder '%s'", argv[0].c_str(), folder.c_str());
  std::vector<plat::DirEntry> entries;
  std::string err;
  if (!sortedEntries(folder, entries, err))
    return fail(in, "%s: Cannot read '%s' (%s)", argv[0].c_str(), folder.c_str(), err.c_str());
  bool nocase = plat::namesIgnoreCase();
  std::string out;
  for (const auto& e : entries) {
    if (!partMatch(pattern, e.name, nocase)) continue;
    listAppendElement(out, e.isDir ? e.name + "/" : e.name);
  }
  in.result = out;
  return OK;
}

// One walk through a folder tree, depth first, each folder's entries in
// name order; a folder comes before its contents. Links to folders are
// listed but not entered, so a link loop cannot trap the walk.
struct Walker {
  explicit Walker(Interp& interp) : in(interp) {}
  Interp& in;
  const std::string* varName = nullptr;  // walk dir var script
  const std::string* script = nullptr;   // walk dir script (path appended)
  PreparedScript body;
  std::string list;  // walk dir: the result
  int64_t count = 0;

  // OK to go on, BREAK when the script ended the walk, or a failing code.
  int visit(const std::string& path) {
    count++;
    if (!script && !varName) {
      listAppendElement(list, path);
      return OK;
    }
    int code;
    if (varName) {
      if (set_var(in, *varName, path) != OK) return ERROR;
      code = body.eval(in);
    } else {
      std::string call = *script;
      call += ' ';
      call += listQuote(path);
      code = orvelEval(in, call);
    }
    if (code == OK || code == CONTINUE) return OK;
    return code;
  }

  int walk(const std::string& folder, int depth, std::string& err) {
    if (depth > kMaxWalkDepth) {
      err = "folders nested deeper than " + std::to_string(kMaxWalkDepth) + " levels below '" + folder + "'";
      return ERROR;
    }
    std::vector<plat::DirEntry> entries;
    if (!sortedEntries(folder, entries, err)) {
      err = "cannot read '" + folder + "' (" + err + ")";
      return ERROR;
    }
    for (const auto& e : entries) {
      std::string path = joinPath(folder, e.name);
      int code = visit(path);
      if (code != OK) return code;
      if (e.isDir && !e.isLink) {
        code = walk(path, depth + 1, err);
        if (code != OK) return code;
      }
    }
    return OK;
  }
};

// walk dir ?script? | walk dir varName script: visits every file and folder
// below dir. Without a script the result is the list of their paths; with
// one, the script runs for each (with the path as an added last word, or
// with the path in varName) and the result is the number of paths visited.
// break in the script ends the walk, continue goes on with the next path.
int orvelCommandWalk(Interp& in, Args& argv, void*) {
  if (argv.size() < 2 || argv.size() > 4) return wrongNumArgs(in, argv);
  const std::string& dir = argv[1];
  if (!plat::isDirectory(dir)) return fail(in, "%s: No folder '%s'", argv[0].c_str(), dir.c_str());
  Walker w(in);
  if (argv.size() == 3) w.script = &argv[2];
  if (argv.size() == 4) {
    if (argv[2].empty()) return fail(in, "%s: Empty variable name", argv[0].c_str());
    w.varName = &argv[2];
    w.body = PreparedScript(argv[3]);
  }
  std::string err;
  int code = w.walk(dir, 0, err);
  if (code == BREAK) code = OK;
  if (code == ERROR && !err.empty()) return fail(in, "%s: %s", argv[0].c_str(), err.c_str());
  if (code != OK) return code;
  if (w.script || w.varName) in.result = std::to_string(w.count);
  else in.result = std::move(w.list);
  return OK;
}

// link_to_path link: the path a symbolic link (or, on Windows, a shortcut
// file) finally leads to.
int orvelCommandLinkToPath(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  std::string target, err;
  if (!plat::resolveLink(argv[1], target, err))
    return fail(in, "%s: Cannot resolve '%s' (%s)", argv[0].c_str(), argv[1].c_str(), err.c_str());
  in.result = target;
  return OK;
}

const CommandRegistrar reg[] = {
    {"glob", orvelCommandGlob},
    {"ls", orvelCommandLs},
    {"walk", orvelCommandWalk},
    {"link_to_path", orvelCommandLinkToPath},
};

}  // namespace

}  // namespace orvel
