// The process commands with real child processes: captured output of any
// size, standard error, closed standard input, missing programs, children
// killed by a signal, waiting and not waiting.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "interp/interp.h"
#include "interp/process_state.h"
#include "interp/script_runner.h"
#include "platform/console.h"
#include "platform/system.h"
#include "platform/timing.h"

using namespace orvel;

namespace {

class ProcessCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    ps() = ProcessState();
    ps().autoexec = false;
    plat::setCapture(&output);
    std::vector<std::string> list{"orvel", "-c"};
    orvelSetupInterp(in, &list);
  }
  void TearDown() override { plat::setCapture(nullptr); }

  int run(const std::string& script) { return orvelEval(in, script); }
  std::string var(const std::string& name) {
    Var* v = orvelGetVar(in, name);
    return v ? v->value : std::string("<missing>");
  }

  Interp in;
  std::string output;
};

#ifndef _WIN32

TEST_F(ProcessCommands, SpawnCapturesOutputAndErrorTogether) {
  ASSERT_EQ(run("spawn out sh -c {echo one; echo two >&2; exit 3}"), OK);
  EXPECT_EQ(in.result, "8");
  EXPECT_EQ(var("out"), "one\ntwo\n");
}

TEST_F(ProcessCommands, SpawnToResultEscapesTheOutput) {
  ASSERT_EQ(run("spawn - printf {%s} {a$b[c]{d}\\e}"), OK);
  EXPECT_EQ(in.result, "a\\$b\\[c\\]\\{d\\}\\\\e");
  ASSERT_EQ(run("spawn out printf {%s} {x$y}"), OK);
  EXPECT_EQ(in.result, "4");
  EXPECT_EQ(var("out"), "x\\$y");
}

TEST_F(ProcessCommands, SpawnConvertsEscapesWhenTheSwitchIsOn) {
  ps().escape = true;
  ASSERT_EQ(run("spawn - printf {%s} {a\\tb\\q}"), OK);
  EXPECT_EQ(in.result, "a\tbq");
}

TEST_F(ProcessCommands, SpawnWithNoOutputSetsAnEmptyVariable) {
  ASSERT_EQ(run("spawn out true"), OK);
  EXPECT_EQ(in.result, "0");
  EXPECT_EQ(var("out"), "");
  ASSERT_EQ(run("spawn - true"), OK);
  EXPECT_EQ(in.result, "");
  EXPECT_EQ(var("-"), "<missing>");
}

TEST_F(ProcessCommands, SpawnedChildFindsItsInputClosed) {
  uint64_t t0 = plat::tickMs();
  ASSERT_EQ(run("spawn out cat"), OK);
  EXPECT_EQ(in.result, "0");
  EXPECT_LT(plat::tickMs() - t0, 5000u);
}

TEST_F(ProcessCommands, SpawnCapturesFiftyMegabytes) {
  ASSERT_EQ(run("spawn big sh -c {head -c 50000000 /dev/zero | tr '\\0' a; printf end}"), OK);
  EXPECT_EQ(in.result, "50000003");
  const std::string big = var("big");
  ASSERT_EQ(big.size(), 50000003u);
  EXPECT_EQ(big.find_first_not_of('a'), 50000000u);
  EXPECT_EQ(big.substr(big.size() - 3), "end");
}

TEST_F(ProcessCommands, SpawnDrainsLargeOutputOnBothStreams) {
  ASSERT_EQ(run("spawn out sh -c {head -c 1000000 /dev/zero | tr '\\0' e >&2; head -c 1000000 /dev/zero | tr '\\0' o}"),
            OK);
  EXPECT_EQ(in.result, "2000000");
}

TEST_F(ProcessCommands, SpawnKeepsTheOutputOfAChildKilledByASignal) {
  ASSERT_EQ(run("spawn out sh -c {echo before; kill -9 $$; echo after}"), OK);
  EXPECT_EQ(var("out"), "before\n");
}

TEST_F(ProcessCommands, SpawnOfAMissingProgramFailsWithAMessage) {
  EXPECT_EQ(run("spawn out orvel_no_such_program_zz -x"), ERROR);
  EXPECT_NE(output.find("spawn: Error creating child process for:\n'orvel_no_such_program_zz'\r\n"
                        "Command:'orvel_no_such_program_zz -x'"),
            std::string::npos)
      << output;
  EXPECT_EQ(var("out"), "<missing>");
}

TEST_F(ProcessCommands, SpawnWithoutWaitingReturnsAtOnce) {
  uint64_t t0 = plat::tickMs();
  ASSERT_EQ(run("spawn out -nowait sh -c {sleep 1}"), OK);
  EXPECT_LT(plat::tickMs() - t0, 800u);
  EXPECT_EQ(in.result, "0");
  EXPECT_EQ(var("out"), "");
}

TEST_F(ProcessCommands, SpawnEchoCopiesTheOutputAsItArrives) {
  ASSERT_EQ(run("spawn out -echo sh -c {echo shown}"), OK);
  EXPECT_EQ(var("out"), "shown\n");
  EXPECT_NE(output.find("shown\n"), std::string::npos);
}

TEST_F(ProcessCommands, SpawnNeedsAProgram) {
  EXPECT_EQ(run("spawn out -echo"), STOP);
  EXPECT_EQ(run("spawn out -echo -nowait"), STOP);
  EXPECT_EQ(run("spawn out"), STOP);
}

TEST_F(ProcessCommands, ExecReportsAChildKilledByASignal) {
  ASSERT_EQ(run("exec {kill -9 $$}"), OK);
  EXPECT_EQ(in.result, "137");
}

TEST_F(ProcessCommands, ExecConvertsEscapesWhenTheSwitchIsOn) {
  ps().escape = true;
  ASSERT_EQ(run("exec {exit 1\\2}"), OK);
  EXPECT_EQ(in.result, "12");
}

TEST_F(ProcessCommands, ExecRunsThroughTheShell) {
  ASSERT_EQ(run("exec {test \"$(echo a b)\" = \"a b\" && exit 7}"), OK);
  EXPECT_EQ(in.result, "7");
}

// Plain command lines start their program without the shell; whatever
// the program cannot do by itself still ends as the shell would end it.
TEST_F(ProcessCommands, PlainCommandLinesGiveTheShellsResults) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "orvel_exec_plain";
  std::filesystem::create_directories(dir);
  const std::string script = (dir / "no_interpreter_line").string();
  const std::string data = (dir / "not_runnable").string();
  std::ofstream(script) << "exit 5\n";
  std::ofstream(data) << "x\n";
  std::filesystem::permissions(script, std::filesystem::perms::owner_all);
  ASSERT_EQ(run("exec " + script), OK);  // no #! line: the shell reads it
  EXPECT_EQ(in.result, "5");
  ASSERT_EQ(run("exec " + data), OK);
  EXPECT_EQ(in.result, "126");
  ASSERT_EQ(run("exec orvel_no_such_program_here a b"), OK);
  EXPECT_EQ(in.result, "127");
  ASSERT_EQ(run("exec false"), OK);
  EXPECT_EQ(in.result, "1");
  ASSERT_EQ(run("exec /bin/sh -c exit\\ 3"), OK);  // a backslash: through the shell
  EXPECT_EQ(in.result, "3");
  ASSERT_EQ(run("exec env A=1 /bin/sh -c exit"), OK);
  EXPECT_EQ(in.result, "0");
  std::filesystem::remove_all(dir);
}

TEST_F(ProcessCommands, AutoexecRunsUnknownCommands) {
  ps().autoexec = true;
  ASSERT_EQ(run("test 1 -eq 2"), OK);
  EXPECT_EQ(in.result, "1");
  ASSERT_EQ(run("autoexec off"), OK);
  EXPECT_EQ(run("test 1 -eq 2"), ERROR);
}

TEST_F(ProcessCommands, ElevateAnswersAsAnOrdinaryUser) {
  ASSERT_EQ(run("elevate"), OK);
  EXPECT_EQ(in.result, "0");
  ASSERT_EQ(run("elevate a b"), OK);
  EXPECT_EQ(in.result, "0");
}

#else

TEST_F(ProcessCommands, SpawnCapturesTheOutput) {
  ASSERT_EQ(run("spawn out cmd /c echo one"), OK);
  EXPECT_EQ(var("out"), "one\r\n");
  EXPECT_EQ(in.result, "5");
}

TEST_F(ProcessCommands, SpawnOfAMissingProgramFailsWithAMessage) {
  EXPECT_EQ(run("spawn out orvel_no_such_program_zz"), ERROR);
  EXPECT_NE(output.find("spawn: Error creating child process for:"), std::string::npos) << output;
}

TEST_F(ProcessCommands, SpawnWithoutWaitingReturnsAtOnce) {
  ASSERT_EQ(run("spawn out -nowait cmd /c exit 0"), OK);
  EXPECT_EQ(in.result, "0");
}

TEST_F(ProcessCommands, AutoexecRunsUnknownCommands) {
  ps().autoexec = true;
  ASSERT_EQ(run("cmd /c exit 4"), OK);
  EXPECT_EQ(in.result, "4");
}

#endif

}  // namespace
