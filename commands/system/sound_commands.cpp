// Sound commands: play_wav, stop_wav and beep.
#include <memory>

#include "expr/numbers.h"
#include "interp/interp.h"
#include "platform/sound.h"
#include "support/base64.h"

namespace orvel {

namespace {

// play_wav file ?-loop? ?-var name?
int orvelCommandPlay_wav(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  bool loop = false;
  const std::string* varName = nullptr;
  for (size_t i = 1; i < argv.size(); i++) {
    if (argv[i] == "-loop") loop = true;
    else if (argv[i] == "-var" && i + 1 < argv.size()) varName = &argv[++i];
  }
  bool played;
  if (varName) {
    Var* v = orvelGetVar(in, *varName);
    std::string value;
    if (!v || v->kind != VK_AUTO || v->table || v->stack || v->members || !readVarValue(in, v, value))
      return fail(in, "%s: Invalid variable '%s'", argv[0].c_str(), varName->c_str());
    auto image = std::make_shared<std::string>();
    if (!base64Decode(value, *image))
      return fail(in, "%s: Invalid variable contents '%s'", argv[0].c_str(), varName->c_str());
    played = plat::playWav(std::move(image), loop);
  } else {
    played = plat::playWavFile(argv[1], loop);
  }
  in.result = played ? "1" : "0";
  return OK;
}

int orvelCommandStop_wav(Interp& in, Args&, void*) {
  plat::stopWav();
  in.result = "1";
  return OK;
}

// beep ?frequency? ?duration?: "-" keeps a default, a negative value is 0.
int orvelCommandBeep(Interp& in, Args& argv, void*) {
  int64_t freq = 700, ms = 200;
  if (argv.size() > 1 && argv[1] != "-") freq = std::max<int64_t>(0, toInt64(argv[1]));
  if (argv.size() > 2 && argv[2] != "-") ms = std::max<int64_t>(0, toInt64(argv[2]));
  if (ms > 60000) ms = 60000;  // one tone never holds the script longer than a minute
  plat::beepTone(int(std::min<int64_t>(freq, 1000000)), int(ms));
  in.result.clear();
  return OK;
}

const CommandRegistrar kRegs[] = {
    {"play_wav", orvelCommandPlay_wav},
    {"stop_wav", orvelCommandStop_wav},
    {"beep", orvelCommandBeep},
};

}  // namespace

}  // namespace orvel
