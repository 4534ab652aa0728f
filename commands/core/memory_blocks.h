// The interpreter's memory blocks as other command families see them: a
// block is named by its handle ("mem3") and reached only through these.
#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

#include "interp/interp.h"

namespace orvel {

// The bytes of the live block a handle names, or null. freed (when given)
// tells whether the handle named a block that has since been freed.
std::vector<unsigned char>* memoryBlockOf(Interp& in, std::string_view handle, bool* freed = nullptr);

struct MemoryBlockStats {
  int64_t count = 0;         // live blocks
  int64_t bytes = 0;         // their sizes added up
  int64_t recordedBytes = 0; // the running total the allocator keeps
  int64_t freedHandles = 0;  // handles remembered as freed
};
MemoryBlockStats memoryBlockStats(Interp& in);

}  // namespace orvel
