// help: reads the embedded command reference.
//   help            the families, each with its title and command names
//   help name       the entry of one command
//   help pattern    the names matching a * ? pattern, with their syntax lines
#include <algorithm>

#include "commands/system/command_reference.h"
#include "interp/interp.h"
#include "platform/console.h"
#include "support/wildcard.h"

namespace orvel {

namespace {

constexpr size_t kWidth = 78;

// Words of `text` laid out in lines of at most kWidth columns, each line
// starting with `indent`.
std::string wrapped(std::string_view text, std::string_view indent) {
  std::string out, line(indent);
  bool lineEmpty = true;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == ' ') i++;
    size_t end = text.find(' ', i);
    if (end == std::string_view::npos) end = text.size();
    if (end == i) break;
    std::string_view word = text.substr(i, end - i);
    if (!lineEmpty && line.size() + 1 + word.size() > kWidth) {
      out += line + "\r\n";
      line = std::string(indent);
      lineEmpty = true;
    }
    if (!lineEmpty) line += ' ';
    line += word;
    lineEmpty = false;
    i = end;
  }
  if (!lineEmpty) out += line + "\r\n";
  return out;
}

std::string joinedNames(const ReferenceEntry& e) {
  std::string s;
  for (const std::string& n : e.names) s += (s.empty() ? "" : ", ") + n;
  return s;
}

std::string familiesText(const CommandReference& ref) {
  std::vector<const ReferenceFamily*> fams;
  for (const ReferenceFamily& f : ref.families) fams.push_back(&f);
  std::sort(fams.begin(), fams.end(), [](auto* a, auto* b) { return a->title < b->title; });
  std::string out;
  for (const ReferenceFamily* f : fams) {
    out += f->title + "\r\n";
    std::string names;
    for (const ReferenceEntry& e : f->entries)
      for (const std::string& n : e.names) names += (names.empty() ? "" : " ") + n;
    out += wrapped(names, "  ");
  }
  out += "\r\nhelp NAME shows the entry of one command; help PATTERN (with * and ?) lists the names that match.\r\n";
  return out;
}

std::string entryText(const ReferenceFamily& fam, const ReferenceEntry& e) {
  std::string out = joinedNames(e) + " (" + fam.title + ")\r\n";
  out += "  " + e.syntax + "\r\n";
  out += wrapped(e.text, "  ");
  return out;
}

// The entry's syntax line as written for `name`, when the line begins with
// another name of the same entry (`ne a b` from `eq a b`).
std::string syntaxFor(const ReferenceEntry& e, const std::string& name) {
  size_t end = e.syntax.find(' ');
  std::string first = e.syntax.substr(0, end);
  for (const std::string& n : e.names)
    if (n == first) return name + (end == std::string::npos ? "" : e.syntax.substr(end));
  return e.syntax;
}

int orvelCommandHelp(Interp& in, Args& argv, void*) {
  in.result.clear();
  if (argv.size() > 2) return wrongNumArgs(in, argv);
  const CommandReference& ref = commandReference();
  if (argv.size() == 1) {
    plat::writeOut(familiesText(ref));
    return OK;
  }
  std::string_view name = argv[1];
  if (name == "/?" || name == "--help") name = "help";
  const ReferenceFamily* fam = nullptr;
  if (const ReferenceEntry* e = ref.find(name, &fam)) {
    plat::writeOut(entryText(*fam, *e));
    return OK;
  }
  if (name.find_first_of("*?") != std::string_view::npos) {
    std::vector<std::pair<std::string, const ReferenceEntry*>> found;
    for (const ReferenceFamily& f : ref.families)
      for (const ReferenceEntry& e : f.entries)
        for (const std::string& n : e.names)
          if (wildMatch(name, n)) found.emplace_back(n, &e);
    if (found.empty()) return fail(in, "%s: No command matches '%.100s'", argv[0].c_str(), argv[1].c_str());
    std::sort(found.begin(), found.end(), [](auto& a, auto& b) { return a.first < b.first; });
    std::string out;
    for (auto& [n, e] : found) {
      out += n;
      out += n.size() < 16 ? std::string(16 - n.size(), ' ') : std::string(" ");
      out += syntaxFor(*e, n) + "\r\n";
    }
    plat::writeOut(out);
    return OK;
  }
  if (Command* c = orvelGetCommand(in, name); c && c->kind == 1)
    return fail(in, "%s: No help for '%.100s' (a script procedure)", argv[0].c_str(), argv[1].c_str());
  return fail(in, "%s: No help for '%.100s'", argv[0].c_str(), argv[1].c_str());
}

const CommandRegistrar reg[] = {{"help", orvelCommandHelp}};

}  // namespace

}  // namespace orvel
