// The argument list handed to the simulation script: the program's own
// arguments followed by switches made from the INI settings.
#pragma once
#include <string>
#include <vector>

#include "host/startup_config.h"

namespace hexbury {

// "hexbury.exe", argv[0..argc-1] unchanged, then /silent /status /greenoff
// /noopen /demo, /script path, /soundleft path ... /soundreverse path,
// /w url and /novideocheck, each only when its setting is on or set.
std::vector<std::string> buildScriptArguments(int argc, char** argv, const StartupConfig& cfg);

}  // namespace hexbury
