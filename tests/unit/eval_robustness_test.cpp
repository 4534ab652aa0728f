// Inputs that must end with a clear failure rather than a crash.
#include <gtest/gtest.h>

#include <string>

#include "interp/interp.h"
#include "interp/process_state.h"
#include "interp/script_runner.h"
#include "platform/console.h"
#include "platform/system.h"

using namespace orvel;

namespace {

struct Outcome {
  int code;
  std::string output;
};

struct Job {
  std::string text;
  Outcome out;
};

void runJob(void* p) {
  Job& j = *static_cast<Job*>(p);
  ps() = ProcessState();
  ps().autoexec = false;
  plat::setCapture(&j.out.output);
  {
    Interp in;
    std::vector<std::string> list{"orvel", "-c"};
    orvelSetupInterp(in, &list);
    j.out.code = orvelEval(in, j.text);
  }
  plat::setCapture(nullptr);
}

// Runs on a large stack, as the programs do.
Outcome run(const std::string& text) {
  Job j{text, {}};
  plat::runWithLargeStack(size_t(512) << 20, runJob, &j);
  return j.out;
}

}  // namespace

TEST(EvalRobustness, DeeplyNestedBracketsEndWithAnError) {
  Outcome o = run(std::string(15000, '['));
  EXPECT_EQ(o.code, ERROR);
  EXPECT_NE(o.output.find("Nesting too deep"), std::string::npos);
}

TEST(EvalRobustness, DeepProcedureRecursionStopsAtTheLimit) {
  Outcome o = run("proc r {} { r }\nr");
  EXPECT_EQ(o.code, ERROR);
  EXPECT_NE(o.output.find("Stack overflow in proc 'r' at level 1000"), std::string::npos);
}

TEST(EvalRobustness, MutualRecursionThroughSubstitution) {
  Outcome o = run("proc a {} { set x [b] }\nproc b {} { set y [a] }\na");
  EXPECT_EQ(o.code, ERROR);
  EXPECT_NE(o.output.find("Stack overflow in proc"), std::string::npos);
}

TEST(EvalRobustness, UnbalancedTextNeverHangs) {
  for (const char* t : {"{", "}", "[", "]", "\"", "$", "${", "$(", "{*}", "{*} x", "set a(", "set $a(1",
                        "puts \"[", "proc", "proc p", "proc p {", "\\", "#", ";;;", "$a(1).b"}) {
    Outcome o = run(t);
    EXPECT_TRUE(o.code == OK || o.code == ERROR || o.code == STOP) << t;
  }
}

TEST(EvalRobustness, RenamingARunningCommandAwayIsSafe) {
  Outcome o = run("proc p {} { rename puts {}; return done }\np\nundef -glob * -nocomplain\nset x 1");
  EXPECT_EQ(o.code, ERROR);  // set was removed too
}
