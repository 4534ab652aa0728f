// The command reference: one Markdown text per family of commands, embedded
// in the program by the build, and the reader of its format:
//
//   # Family title
//   One sentence on the family.
//
//   ## name1, name2
//   `name1 arg ?option?`
//   What it does, in a sentence or two.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace orvel {

// The embedded files (generated source), ending with {nullptr, nullptr}.
struct ReferenceFile {
  const char* name;  // file name without ".md"
  const char* text;
};
extern const ReferenceFile kReferenceFiles[];

struct ReferenceEntry {
  std::vector<std::string> names;
  std::string syntax;  // without the enclosing backticks
  std::string text;    // the lines after the syntax line, joined by blanks
};

struct ReferenceFamily {
  std::string file;
  std::string title;
  std::string summary;
  std::vector<ReferenceEntry> entries;
};

// Reads one file; what does not fit the format goes to `problems` as
// "file:line: what" and the rest is still read.
ReferenceFamily parseReference(std::string_view file, std::string_view text,
                               std::vector<std::string>& problems);

struct CommandReference {
  std::vector<ReferenceFamily> families;
  std::vector<std::string> problems;
  // The entry that names `name` (exact), or nullptr; family set to its family.
  const ReferenceEntry* find(std::string_view name, const ReferenceFamily** family = nullptr) const;
};

// The embedded reference, read once.
const CommandReference& commandReference();

}  // namespace orvel
