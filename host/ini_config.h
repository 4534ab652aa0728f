// Where the program and its configuration live, and reading the settings
// from hexbury.ini.
#pragma once
#include "host/startup_config.h"

namespace hexbury {

// The per-user folder (<local app data>/hexbury/), created when missing,
// component by component; empty when the system has no such folder. A
// failed creation is ignored.
std::string prepareUserFolder();

// The folder of the running program, absolute, ending in a separator.
std::string executableFolder();

// exe_folder/hexbury.ini when that file exists, else user_folder/hexbury.ini
// (when there is a user folder).
std::string locateIni(const std::string& exeFolder, const std::string& userFolder);

// Reads the Config section of cfg.ini_path into cfg (a missing file or key
// leaves the defaults).
void readConfiguration(StartupConfig& cfg);

}  // namespace hexbury
