#include "commands/system/file_streams.h"

namespace orvel {

bool fileStreamWrite(int64_t, std::string_view) { return false; }

}  // namespace orvel
