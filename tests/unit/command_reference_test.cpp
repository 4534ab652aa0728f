// The command reference: its reader, and that it covers exactly the
// commands a fresh interpreter registers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <set>
#include <string>

#include "commands/system/command_reference.h"
#include "interp/interp.h"

using namespace orvel;

namespace {

TEST(CommandReferenceReader, ReadsTitleSummaryAndEntries) {
  std::vector<std::string> problems;
  ReferenceFamily f = parseReference("demo",
                                     "# Demo family\r\nFirst half\r\nsecond half.\r\n\r\n"
                                     "## one, `**`, two\r\n`one a ?b?`\r\nDoes a\r\nthing.\r\n\r\n"
                                     "## three\n``three `x` ``\nQuotes.\n",
                                     problems);
  EXPECT_TRUE(problems.empty()) << problems.front();
  EXPECT_EQ(f.file, "demo");
  EXPECT_EQ(f.title, "Demo family");
  EXPECT_EQ(f.summary, "First half second half.");
  ASSERT_EQ(f.entries.size(), 2u);
  EXPECT_EQ(f.entries[0].names, (std::vector<std::string>{"one", "**", "two"}));
  EXPECT_EQ(f.entries[0].syntax, "one a ?b?");
  EXPECT_EQ(f.entries[0].text, "Does a thing.");
  EXPECT_EQ(f.entries[1].syntax, "three `x`");
}

TEST(CommandReferenceReader, ReportsMalformedText) {
  struct Case {
    const char* text;
    const char* problem;
  } cases[] = {
      {"## early\n`early`\nText.\n", "entry before the family title"},
      {"# T\n## a\nno backticks\n", "syntax line not in backticks"},
      {"# T\n## a\n## b\n`b`\nText.\n", "entry without a syntax line"},
      {"# T\n## a\n", "entry without a syntax line"},
      {"# T\n## a\n`a`\n", "has no text"},
      {"# T\n# U\n", "second family title"},
      {"Loose text\n# T\n", "text before the family title"},
      {"# T\n## a b\n`a b`\nText.\n", "bad command name 'a b'"},
      {"# T\n## a, \n`a`\nText.\n", "bad command name ''"},
      {"", "no family title"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> problems;
    parseReference("f", c.text, problems);
    bool found = false;
    for (const std::string& p : problems) found = found || p.find(c.problem) != std::string::npos;
    EXPECT_TRUE(found) << "expected \"" << c.problem << "\" for: " << c.text;
  }
}

TEST(CommandReferenceReader, NamesTheLineOfAProblem) {
  std::vector<std::string> problems;
  parseReference("fam", "# T\n\n## a\n`a`\nText.\n\n## b\nplain\n", problems);
  ASSERT_FALSE(problems.empty());
  EXPECT_EQ(problems[0], "fam:8: syntax line not in backticks");
}

// Names listed in ORVEL_REF_PENDING (comma-separated) may lack an entry
// for now: commands still being written elsewhere.
std::set<std::string> pendingNames() {
  std::set<std::string> out;
  const char* env = std::getenv("ORVEL_REF_PENDING");
  std::string s = env ? env : "";
  size_t start = 0;
  while (start <= s.size()) {
    size_t comma = s.find(',', start);
    if (comma == std::string::npos) comma = s.size();
    if (comma > start) out.insert(s.substr(start, comma - start));
    start = comma + 1;
  }
  return out;
}

std::string joined(const std::set<std::string>& names) {
  std::string s;
  for (const std::string& n : names) s += (s.empty() ? "" : " ") + n;
  return s;
}

TEST(CommandReference, EmbeddedFilesAreWellFormed) {
  const CommandReference& ref = commandReference();
  EXPECT_FALSE(ref.families.empty());
  std::string all;
  for (const std::string& p : ref.problems) all += p + "\n";
  EXPECT_TRUE(ref.problems.empty()) << all;
}

TEST(CommandReference, CoversExactlyTheRegisteredCommands) {
  std::set<std::string> registered;
  {
    Interp in;
    orvelInitInterp(in);
    orvelRegisterCoreCommands(in, false);
    for (Command* c : orvelCommandList(in)) registered.insert(c->name);
  }
  ASSERT_TRUE(registered.count("exit"));
  std::map<std::string, std::string> where;  // name -> family file
  std::set<std::string> duplicates, unknown;
  for (const ReferenceFamily& f : commandReference().families)
    for (const ReferenceEntry& e : f.entries)
      for (const std::string& n : e.names) {
        if (!where.emplace(n, f.file).second) duplicates.insert(n + " (" + where[n] + ", " + f.file + ")");
        if (!registered.count(n)) unknown.insert(n + " (" + f.file + ")");
      }
  std::set<std::string> pending = pendingNames(), missing, stalePending;
  for (const std::string& n : registered)
    if (!where.count(n) && !pending.count(n)) missing.insert(n);
  for (const std::string& n : pending)
    if (where.count(n)) stalePending.insert(n);
  EXPECT_TRUE(missing.empty()) << missing.size() << " registered commands without an entry: " << joined(missing);
  EXPECT_TRUE(unknown.empty()) << "entries for names that are not registered: " << joined(unknown);
  EXPECT_TRUE(duplicates.empty()) << "names with more than one entry: " << joined(duplicates);
  EXPECT_TRUE(stalePending.empty()) << "ORVEL_REF_PENDING names that now have an entry: " << joined(stalePending);
}

}  // namespace
