// The script's own closing command, run on every way the script ends.
#pragma once
#include "interp/interp.h"

namespace hexbury {

// Runs the script-defined command at_exit, when there is one, with the one
// word "at_exit". It runs at most once per process; an exception inside it
// is reported under the name at_exit.
void run_at_exit(orvel::Interp& in);

}  // namespace hexbury
