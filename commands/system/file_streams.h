// Open file streams by number, shared by puts and the file commands.
#pragma once
#include <cstdint>
#include <string_view>

namespace orvel {

// Writes text to an open stream; false when the handle names no open stream.
bool fileStreamWrite(int64_t handle, std::string_view text);

}  // namespace orvel
