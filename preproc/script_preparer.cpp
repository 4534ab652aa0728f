// Every script text the orvel program runs is prepared the way `source`
// prepares a file: the macro preprocessor, then the radix-literal pass.
#include "interp/script_runner.h"
#include "preproc/preprocessor.h"

namespace orvel {

namespace {

bool prepareScript(Interp& in, std::string& text, int& exitCode, int& rawCode) {
  int code = -1;
  // The messages follow the echo and debug switches as they stand at each
  // message (a #exec may switch them during the pass).
  int rc = preprocess_script(in, &text, "", true, false, &code);
  rawCode = rc;
  if (rc > 0) {
    convert_radix_literals(text);
    return true;
  }
  // A text that is empty, or holds nothing but comments and directives,
  // runs as an empty script.
  if (rc == 0 || rc == PP_NO_TEXT_BACK) {
    text.clear();
    return true;
  }
  exitCode = rc == PP_EXIT ? code : 1;
  return false;
}

struct InstallPreparer {
  InstallPreparer() { setScriptPreparer(prepareScript); }
} const kInstall;

}  // namespace

}  // namespace orvel
