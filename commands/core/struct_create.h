// `struct create`: the field list and the making of a struct with its
// member variables.
#pragma once
#include <cstddef>

#include "interp/interp.h"

namespace orvel {

// Creates the struct named by argv[nameIndex] (2 for `struct create name`,
// 1 for the short form `struct name`). The result is the block address.
int structCreate(Interp& in, const Args& argv, size_t nameIndex);

}  // namespace orvel
