// Reader of the command reference format (see command_reference.h).
#include "commands/system/command_reference.h"

namespace orvel {

namespace {

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// A name may stand in backticks, so that operator names such as * render
// as themselves.
std::vector<std::string> splitNames(std::string_view s) {
  std::vector<std::string> names;
  while (true) {
    size_t comma = s.find(',');
    std::string_view one = trimmed(s.substr(0, comma));
    if (one.size() >= 2 && one.front() == '`' && one.back() == '`') one = trimmed(one.substr(1, one.size() - 2));
    names.emplace_back(one);
    if (comma == std::string_view::npos) break;
    s.remove_prefix(comma + 1);
  }
  return names;
}

// `text` or ``text`` (the double form lets the text hold a backtick).
bool unquoteSyntax(std::string_view line, std::string& out) {
  size_t fence = line.size() >= 4 && line.substr(0, 2) == "``" && line.substr(line.size() - 2) == "``" ? 2
                 : line.size() >= 2 && line.front() == '`' && line.back() == '`'                       ? 1
                                                                                                         : 0;
  if (!fence) return false;
  out = std::string(trimmed(line.substr(fence, line.size() - 2 * fence)));
  return !out.empty();
}

}  // namespace

ReferenceFamily parseReference(std::string_view file, std::string_view text, std::vector<std::string>& problems) {
  ReferenceFamily fam;
  fam.file = std::string(file);
  ReferenceEntry* entry = nullptr;
  bool wantSyntax = false;
  int lineNo = 0;
  auto problem = [&](const std::string& what) {
    problems.push_back(std::string(file) + ":" + std::to_string(lineNo) + ": " + what);
  };
  auto append = [](std::string& to, std::string_view line) {
    if (!to.empty()) to += ' ';
    to += line;
  };
  while (!text.empty()) {
    size_t nl = text.find('\n');
    std::string_view line = trimmed(text.substr(0, nl));
    text.remove_prefix(nl == std::string_view::npos ? text.size() : nl + 1);
    lineNo++;
    if (line.substr(0, 3) == "## ") {
      if (fam.title.empty()) problem("entry before the family title");
      if (wantSyntax) problem("entry without a syntax line");
      fam.entries.push_back(ReferenceEntry{});
      entry = &fam.entries.back();
      entry->names = splitNames(line.substr(3));
      for (const std::string& n : entry->names)
        if (n.empty() || n.find_first_of(" \t") != std::string::npos) problem("bad command name '" + n + "'");
      wantSyntax = true;
    } else if (line.substr(0, 2) == "# ") {
      if (!fam.title.empty()) problem("second family title");
      else fam.title = std::string(trimmed(line.substr(2)));
    } else if (line.empty()) {
      continue;
    } else if (wantSyntax) {
      if (!unquoteSyntax(line, entry->syntax)) problem("syntax line not in backticks");
      wantSyntax = false;
    } else if (entry) {
      append(entry->text, line);
    } else if (!fam.title.empty()) {
      append(fam.summary, line);
    } else {
      problem("text before the family title");
    }
  }
  if (wantSyntax) problem("entry without a syntax line");
  if (fam.title.empty()) problem("no family title");
  for (const ReferenceEntry& e : fam.entries)
    if (e.text.empty()) problems.push_back(std::string(file) + ": entry '" + e.names.front() + "' has no text");
  return fam;
}

const ReferenceEntry* CommandReference::find(std::string_view name, const ReferenceFamily** family) const {
  for (const ReferenceFamily& f : families)
    for (const ReferenceEntry& e : f.entries)
      for (const std::string& n : e.names)
        if (n == name) {
          if (family) *family = &f;
          return &e;
        }
  return nullptr;
}

const CommandReference& commandReference() {
  static const CommandReference ref = [] {
    CommandReference r;
    for (const ReferenceFile* f = kReferenceFiles; f->name; f++)
      r.families.push_back(parseReference(f->name, f->text, r.problems));
    return r;
  }();
  return ref;
}

}  // namespace orvel
