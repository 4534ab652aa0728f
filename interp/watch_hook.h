// Watched variables: the evaluator calls watchCheck after every command
// while the watch list is not empty, and it reports the watched variables
// whose value changed.
#pragma once
#include "interp/interp.h"

namespace orvel {

void watchCheck(Interp& in);

}  // namespace orvel
