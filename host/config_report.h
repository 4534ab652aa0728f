// The configuration report printed by /config, /info and /debug.
#pragma once
#include "host/startup_config.h"

namespace hexbury {

// Prints the report: folders, INI file and every setting read from it
// (command-line switches do not appear).
void printConfigReport(const StartupConfig& cfg);

}  // namespace hexbury
