// Fuzz target for the macro preprocessor and the radix-literal pass: any
// text must come back as a result code without a crash or a hang. #if and
// #exec are not evaluated (they would run arbitrary commands).
#include <cstddef>
#include <cstdint>
#include <string>

#include "interp/interp.h"
#include "interp/process_state.h"
#include "interp/script_runner.h"
#include "platform/console.h"
#include "preproc/preprocessor.h"
#include "tests/fuzz/fuzz_targets.h"

namespace orvel_fuzz {

int fuzzPreproc(const uint8_t* data, size_t size) {
  using namespace orvel;
  if (size == 0 || size > 65536) return 0;
  ps() = ProcessState();
  // The first byte picks the switches the text pass reads.
  ps().escape = (data[0] & 1) != 0;
  ps().echo = (data[0] & 2) != 0;
  ps().autoexec = false;
  ps().commandLimit = 20000;
  ps().recursionLimit = 200;
  std::string sink;
  plat::setCapture(&sink);
  {
    Interp in;
    std::vector<std::string> list{"orvel", "-c"};
    orvelSetupInterp(in, &list);
    std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    int exitCode = 0;
    int rc = preprocess_script(in, &text, "fuzz", false, (data[0] & 4) != 0, &exitCode);
    if (rc > 0) convert_radix_literals(text);
  }
  plat::setCapture(nullptr);
  ps() = ProcessState();
  return 0;
}

}  // namespace orvel_fuzz
