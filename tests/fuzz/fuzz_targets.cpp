#include "tests/fuzz/fuzz_targets.h"

#include <string>

#include "interp/interp.h"
#include "interp/process_state.h"
#include "interp/script_runner.h"
#include "platform/console.h"

namespace orvel_fuzz {

using namespace orvel;

void withFuzzInterpreter(void (*fn)(Interp& in, const std::string& text), const std::string& text) {
  ps() = ProcessState();
  ps().escape = true;
  ps().autoexec = false;
  ps().commandLimit = 20000;
  ps().recursionLimit = 200;
  ps().evalNestingLimit = 400;
  std::string sink;
  plat::setCapture(&sink);
  {
    Interp in;
    std::vector<std::string> list{"orvel", "-c"};
    orvelSetupInterp(in, &list);
    for (const char* name : {"exec", "@", "shell", "spawn", "pipe", "exit", "die", "sleep", "after", "vwait",
                             "waitkey", "getkey", "pause", "input", "gets", "cli", "unlink", "rmdir", "ren",
                             "movefile", "copyfile", "writefile", "open", "http", "lib", "md", "mkdir", "mkdirs",
                             "cd", "chdir", "setenv", "play_wav", "beep", "interp", "doevents", "file", "source",
                             "load", "run", "halt", "trace", "msgbox", "console", "inkey", "prompt", "elevate",
                             "timer", "time", "input_csv", "inputbox", "get_fileopen", "get_filesave",
                             "get_folder", "clipboard", "mktemp", "glob", "ls", "walk", "dumpmem", "memcpy", "memset",
                             "ofaddress", "ofaddressb", "setb", "malloc", "free"})
      orvelUnregisterCommand(in, name);
    fn(in, text);
  }
  plat::setCapture(nullptr);
}

int fuzzEval(const uint8_t* data, size_t size) {
  if (size > 4096) return 0;
  withFuzzInterpreter([](Interp& in, const std::string& text) { orvelRunScriptText(in, text); },
                      std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}

Target targetByName(const std::string& name) {
  if (name == "eval") return fuzzEval;
  if (name == "expr") return fuzzExpr;
  if (name == "preproc") return fuzzPreproc;
  if (name == "http_response") return fuzzHttpResponse;
  if (name == "wav_header") return fuzzWavHeader;
  if (name == "base64") return fuzzBase64;
  if (name == "ini") return fuzzIni;
  return nullptr;
}

}  // namespace orvel_fuzz
