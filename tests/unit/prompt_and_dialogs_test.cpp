// The prompt's completion candidates and the dialogs' unattended cancel.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "commands/system/prompt_editor.h"
#include "interp/process_state.h"
#include "interp/script_runner.h"
#include "platform/console.h"
#include "platform/dialogs.h"
#include "platform/line_editor.h"

using namespace orvel;

TEST(LineEditor, CommonPrefixOfCandidates) {
  EXPECT_EQ(plat::commonPrefix({}), "");
  EXPECT_EQ(plat::commonPrefix({"array_to_list", "array_to_string"}), "array_to_");
  EXPECT_EQ(plat::commonPrefix({"strto", "strtok", "strtor"}), "strto");
  EXPECT_EQ(plat::commonPrefix({"abc", "xyz"}), "");
}

TEST(LineEditor, CompletionOffersCommandsAndProcedures) {
  std::string sink;
  plat::setCapture(&sink);
  {
    Interp in;
    std::vector<std::string> list{"orvel", "-c"};
    orvelSetupInterp(in, &list);
    EXPECT_EQ(commandNamesStartingWith(in, "lrev"), std::vector<std::string>{"lreverse"});
    EXPECT_EQ(commandNamesStartingWith(in, "is_di"), (std::vector<std::string>{"is_digit", "is_dir"}));
    EXPECT_TRUE(commandNamesStartingWith(in, "no_such_prefix_").empty());
    // A procedure defined in the session is offered as soon as it exists.
    EXPECT_EQ(orvelEval(in, "proc lrevisit {} {}"), OK);
    EXPECT_EQ(commandNamesStartingWith(in, "lrev"), (std::vector<std::string>{"lreverse", "lrevisit"}));
  }
  plat::setCapture(nullptr);
}

TEST(LineEditor, HistoryFileIsInTheHomeFolder) {
  std::string f = plat::defaultHistoryFile();
  if (!f.empty()) {
    EXPECT_NE(f.find(".orvel_history"), std::string::npos);
  }
}

// A dialog asked for with an automatic cancel comes back on its own: as
// cancelled where dialogs can be shown, as unavailable where they cannot.
TEST(Dialogs, AutomaticCancelEndsEveryDialog) {
  using clock = std::chrono::steady_clock;
  auto start = clock::now();
  std::string answer = "unchanged", path = "unchanged";
  auto ok = [](plat::DialogOutcome r) {
    std::printf("dialog outcome: %s\n", r == plat::DialogOutcome::Cancelled     ? "cancelled"
                                         : r == plat::DialogOutcome::Unavailable ? "unavailable"
                                                                                 : "chosen");
    return r == plat::DialogOutcome::Cancelled || r == plat::DialogOutcome::Unavailable;
  };
  EXPECT_TRUE(ok(plat::askTextDialog("Title", "Question?", "default", answer, 300)));
  EXPECT_TRUE(ok(plat::askOpenFileDialog("Open", "", path, 300)));
  EXPECT_TRUE(ok(plat::askSaveFileDialog("Save", "", path, 300)));
  EXPECT_TRUE(ok(plat::askFolderDialog("Folder", "", path, 300)));
  EXPECT_EQ(answer, "unchanged");
  EXPECT_EQ(path, "unchanged");
  EXPECT_LT(std::chrono::duration_cast<std::chrono::seconds>(clock::now() - start).count(), 60);
#ifndef _WIN32
  EXPECT_FALSE(plat::dialogsAvailable());
  EXPECT_EQ(plat::askTextDialog("t", "q", "", answer, 0), plat::DialogOutcome::Unavailable);
#endif
}
